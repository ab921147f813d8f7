#include "movielabel.h"

#include <QMovie>
#include <QResizeEvent>
#include <QTimer>

namespace QMWidgets {

MovieLabel::MovieLabel(const QString &fileName, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("MovieLabel"));
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_movie = new QMovie(fileName, QByteArray(), this);
    setMovie(m_movie);

    // One owned timer instead of loose single shots: a stop pending from an
    // earlier show cannot cut a later one short.
    stopTimer = new QTimer(this);
    stopTimer->setSingleShot(true);
    connect(stopTimer, SIGNAL(timeout()), m_movie, SLOT(stop()));
}

void MovieLabel::setSpeed(int percent)
{
    m_movie->setSpeed(percent);
}

void MovieLabel::resizeEvent(QResizeEvent *event)
{
    const QSize size = event->size();
    m_movie->setScaledSize(QSize(qRound(size.width() / 1.1f), qRound(size.height() / 1.1f)));
    QLabel::resizeEvent(event);
}

void MovieLabel::showEvent(QShowEvent *event)
{
    m_movie->start();
    if (stopAfter > 0)
        stopTimer->start(stopAfter);
    QLabel::showEvent(event);
}

void MovieLabel::hideEvent(QHideEvent *event)
{
    stopTimer->stop();
    m_movie->stop();
    QLabel::hideEvent(event);
}

} // namespace QMWidgets
