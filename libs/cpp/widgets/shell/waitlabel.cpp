#include "waitlabel.h"

#include <QMovie>
#include <QVBoxLayout>

namespace QMWidgets {

WaitLabel::WaitLabel(const QString &text, QWidget *parent)
    : QLabel(parent)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowOpacity(0.5);
    setText(text);
    setFixedSize(width(), 300);

    auto *animation = new QLabel;
    // The movie is the wait label's child, so it lives exactly as long as the label.
    auto *movie = new QMovie(QStringLiteral(":/pix/loading.gif"), QByteArray(), this);
    animation->setMovie(movie);
    if (movie->isValid())
        movie->start();
    animation->setFixedSize(movie->currentImage().size() + QSize(5, 5));

    auto *layout = new QVBoxLayout;
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(10);
    layout->addWidget(animation);
    setLayout(layout);
}

} // namespace QMWidgets
