#include "movielabel.h"

#include "filehelpers.h"
#include "imagedecoder.h"
#include "imageheader.h"

#include <QBuffer>
#include <QFile>
#include <QMovie>
#include <QResizeEvent>
#include <QTimer>

namespace QMWidgets {

namespace {

// The bytes of a regular file (or of one of the program's resources) whose
// picture fits the decoding budget, read once. The file is judged by its
// headers before the rest is read, so a refused file costs no more than its
// headers; the caller judges the bytes read, which are what plays.
bool readMovieFile(const QString &fileName, QByteArray *bytes)
{
    QFile file;
    if (!MTools::openResourceOrRegularFile(fileName, &file)
        || MGraphX::ImageDecoder::judge(&file) != MGraphX::ImageDecoder::Taken)
        return false;
    const qint64 size = file.size();
    if (size > MGraphX::ImageHeader::MaxBytes || !file.seek(0))
        return false;
    // A file that grew since its size was taken is refused after all.
    *bytes = file.read(size + 1);
    return file.error() == QFileDevice::NoError && bytes->size() <= size;
}

} // namespace

MovieLabel::MovieLabel(const QString &fileName, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("MovieLabel"));
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_movie = new QMovie(this);
    // The movie plays the bytes that were judged, read once: each time it
    // starts again it reads them anew, never the file, which may have been
    // rewritten meanwhile.
    QByteArray bytes;
    if (readMovieFile(fileName, &bytes)) {
        auto *buffer = new QBuffer(m_movie);
        buffer->setData(bytes);
        if (buffer->open(QIODevice::ReadOnly) && MGraphX::ImageDecoder::judge(buffer) == MGraphX::ImageDecoder::Taken)
            m_movie->setDevice(buffer);
        else
            delete buffer;
    }
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
    // A movie played from a device starts again with a new reader, which
    // must find the data's beginning where the device stands.
    if (m_movie->currentFrameNumber() >= 0 && m_movie->device())
        m_movie->device()->seek(0);
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
