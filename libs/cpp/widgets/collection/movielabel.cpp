#include "movielabel.h"

#include "filehelpers.h"
#include "imageheader.h"
#include "skippingdevice.h"

#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QResizeEvent>
#include <QTimer>

#include <memory>

namespace QMWidgets {

namespace {

// The formats whose headers ImageHeader reads: data in which it found none
// of them but that a decoder still takes for one of them is damaged.
bool readByHeaders(const QByteArray &format)
{
    static const QList<QByteArray> known = {"png", "jpeg", "jpg", "gif", "bmp", "ico", "cur"};
    return known.contains(format.toLower());
}

// Opens a regular file (or one of the program's resources) whose every frame
// fits the decoding budget, judged from its headers before any decoder runs:
// a GIF's frames are built on its logical screen; for formats the headers do
// not read, the decoder's announced size and pixel format are judged.
bool openMovieFile(const QString &fileName, QFile *file)
{
    if (!MTools::openResourceOrRegularFile(fileName, file))
        return false;
    const MGraphX::ImageHeader header(file);
    MGraphX::ImageHeader::Verdict verdict = MGraphX::ImageHeader::Unreadable;
    if (!header.format().isEmpty()) {
        verdict = header.verdict(QSize(), 0);
    } else {
        QImageReader probe(file);
        const QByteArray format = probe.format();
        const QImage::Format pixels = probe.imageFormat();
        const int bits = pixels > QImage::Format_Invalid && pixels < QImage::NImageFormats
            ? QImage::toPixelFormat(pixels).bitsPerPixel()
            : 0;
        if (!format.isEmpty() && !readByHeaders(format))
            verdict = header.verdict(probe.size(), bits);
    }
    if (verdict != MGraphX::ImageHeader::Fits || !file->seek(0)) {
        file->close();
        return false;
    }
    return true;
}

} // namespace

MovieLabel::MovieLabel(const QString &fileName, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("MovieLabel"));
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_movie = new QMovie(this);
    // The movie reads the file it was judged by, opened once. It sees the
    // file through a plain view: given a QFile, QMovie would open the file
    // again by its name to play the movie once more.
    std::unique_ptr<QFile> file(new QFile);
    if (openMovieFile(fileName, file.get())) {
        auto *view = new MGraphX::SkippingDevice(file.get(), 0, {});
        view->setParent(m_movie);
        file.release()->setParent(view);
        m_movie->setDevice(view);
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
