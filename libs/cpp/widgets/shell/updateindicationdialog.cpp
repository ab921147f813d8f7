#include "updateindicationdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QTimer>

namespace QMWidgets {

UpdateIndicationDialog::UpdateIndicationDialog(QWidget *parent)
    : QDialog(parent)
    , m_timer(new QTimer(this))
{
    // Repeating on purpose: hiding the dialog stops it anyway.
    m_timer->setInterval(10000);
    connect(m_timer, SIGNAL(timeout()), this, SLOT(slotTimeOut()));

    setMinimumHeight(70);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowOpacity(0.8);

    m_animationLabel = new QLabel;
    m_textLabel = new QLabel;

    // A missing animation leaves an invalid movie: nothing plays, nothing fails.
    m_movie = new QMovie(QStringLiteral(":/pix/loading.gif"), QByteArray(), this);
    m_movie->setSpeed(300);
    m_animationLabel->setMovie(m_movie);

    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addWidget(m_animationLabel);
    layout->addWidget(m_textLabel);
    setLayout(layout);
}

void UpdateIndicationDialog::setText(const QString &text)
{
    m_textLabel->setText(text);
}

void UpdateIndicationDialog::slotTimeOut()
{
    accept();
}

void UpdateIndicationDialog::showEvent(QShowEvent *event)
{
    m_movie->start();
    m_animationLabel->setFixedSize(m_movie->currentImage().size());
    QDialog::showEvent(event);
    m_timer->start();
}

void UpdateIndicationDialog::hideEvent(QHideEvent *event)
{
    m_movie->stop();
    m_timer->stop();
    QDialog::hideEvent(event);
}

} // namespace QMWidgets
