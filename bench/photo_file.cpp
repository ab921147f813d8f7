// Writes the benchmarks' photo-like picture as a JPEG file of quality 92,
// with an Exif orientation when one other than 1 is given; for driving the
// real program by hand (scripts/responsiveness.sh).
//
//   photo_file WIDTHxHEIGHT ORIENTATION FILE
#include "photolike.h"
#include "picturebytes.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: photo_file WIDTHxHEIGHT ORIENTATION FILE\n");
        return 2;
    }
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(QString::fromLocal8Bit(argv[1]));
    const int orientation = QByteArray(argv[2]).toInt();
    if (!m.hasMatch() || orientation < 1 || orientation > 8) {
        std::fprintf(stderr, "usage: photo_file WIDTHxHEIGHT ORIENTATION FILE\n");
        return 2;
    }
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!photoLike(m.captured(1).toInt(), m.captured(2).toInt(), false, 20240611u).save(&buffer, "JPEG", 92))
            return 1;
    }
    if (orientation != 1)
        bytes = PictureBytes::withOrientation(bytes, orientation);
    QFile file(QString::fromLocal8Bit(argv[3]));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? 0 : 1;
}
