// What reading a file costs through the libraries' readers that take a path.
// Run by hand, one file a process, with /usr/bin/time -f "%e s %M KB":
//   bench_pathreaders make <case> <file>   writes a test file (cases below)
//   bench_pathreaders <reader> <file>      reads it with one reader
// Readers: bytes, floats, doubles (ImageProcess, ImageProcessFloat,
// ImageProcessDouble from a file), movie (a shown MovieLabel's first frame),
// mstring (MString::loadFromFile).
// Cases: gif16000 and gif8000 (35-byte GIFs on 16000 and 8000 square
// screens), photo (a photo-like 3000 x 2000 JPEG).

#include "imageprocess.h"
#include "imageprocessdouble.h"
#include "imageprocessfloat.h"
#include "movielabel.h"
#include "mstring.h"
#include "photolike.h"
#include "picturebytes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QMovie>
#include <cstdio>

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool make(const QString &name, const QString &path)
{
    if (name == "gif16000")
        return writeBytes(path, PictureBytes::gifOnScreen(16000, 16000));
    if (name == "gif8000")
        return writeBytes(path, PictureBytes::gifOnScreen(8000, 8000));
    if (name == "photo") {
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        return writer.write(photoLike(3000, 2000, false, 7));
    }
    return false;
}

// The size a reader read, and a hash of what it read (FNV-1a).
struct Read
{
    QSize size;
    quint64 hash = 14695981039346656037ULL;
    void add(quint64 value) { hash = (hash ^ value) * 1099511628211ULL; }
};

template <typename Planes>
Read planes(const QByteArray &name)
{
    Planes image(name.constData());
    Read read;
    read.size = QSize(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            read.add(quint64(image.pixel(unsigned(x), unsigned(y))));
    return read;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == "make")
        return make(args.at(2), args.at(3)) ? 0 : 1;
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: bench_pathreaders make <case> <file> | <reader> <file>\n");
        return 2;
    }
    const QString reader = args.at(1);
    const QByteArray name = QFile::encodeName(args.at(2));
    QElapsedTimer timer;
    timer.start();
    Read read;
    if (reader == "bytes") {
        read = planes<MGraphX::ImageProcess>(name);
    } else if (reader == "floats") {
        read = planes<MGraphX::ImageProcessFloat>(name);
    } else if (reader == "doubles") {
        read = planes<MGraphX::ImageProcessDouble>(name);
    } else if (reader == "movie") {
        QMWidgets::MovieLabel label(args.at(2));
        label.resize(110, 110); // frames scaled to 100 x 100
        label.show();
        const QImage frame = label.movie()->currentImage();
        read.size = frame.size();
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                read.add(frame.pixel(x, y));
    } else if (reader == "mstring") {
        MString bytes("");
        try {
            bytes.loadFromFile(name.constData());
        } catch (const char *) {
        }
        read.size = QSize(int(bytes.length()), 1);
        for (unsigned i = 0; i < bytes.length(); ++i)
            read.add(uchar(bytes.data()[i]));
    } else {
        return 2;
    }
    std::printf("%s: %dx%d (hash %016llx), %lld ms\n", read.size.isEmpty() ? "refused" : "taken",
                read.size.width(), read.size.height(), static_cast<unsigned long long>(read.hash),
                timer.elapsed());
    return 0;
}
