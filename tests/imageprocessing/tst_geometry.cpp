#include "graphx.h"
#include "picturebytes.h"
#include "pngbytes.h"
#include "testmain.h"
#include "textcodecs.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>

#include <climits>

using namespace MGraphX;

namespace {

// A w x h picture whose pixels differ from their neighbours.
QImage numbered(int w, int h, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(10 * x % 256, 10 * y % 256, x * y % 256, 200 + (x + y) % 56));
    return image;
}

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// The pixels row by row, to compare pictures with their positions.
QVector<QRgb> pixels(const QImage &image)
{
    QVector<QRgb> all;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            all << image.pixel(x, y);
    return all;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG whose header claims width x height; the image data stays tiny.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    filled(1, 1, qRgb(1, 2, 3)).save(&buffer, "PNG");
    auto put32 = [&png](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = char(v >> (24 - 8 * i));
    };
    put32(16, width);
    put32(20, height);
    put32(29, crc32(png.mid(12, 17))); // "IHDR" and its 13 data bytes
    return png;
}

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT

    static QStringList s_messages;
    static void collectMessage(QtMsgType, const QMessageLogContext &, const QString &text) { s_messages << text; }

private slots:
    void turnsMovePixelsExactly_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("target");
        QTest::addColumn<QPoint>("source");
        QTest::newRow("left: top-left from top-right") << "left" << QSize(2, 3) << QPoint(0, 0) << QPoint(2, 0);
        QTest::newRow("left: bottom-left from top-left") << "left" << QSize(2, 3) << QPoint(0, 2) << QPoint(0, 0);
        QTest::newRow("left: bottom-right") << "left" << QSize(2, 3) << QPoint(1, 2) << QPoint(0, 1);
        QTest::newRow("right: top-left from bottom-left") << "right" << QSize(2, 3) << QPoint(0, 0) << QPoint(0, 1);
        QTest::newRow("right: top-right from top-left") << "right" << QSize(2, 3) << QPoint(1, 0) << QPoint(0, 0);
        QTest::newRow("half: corner") << "half" << QSize(3, 2) << QPoint(0, 0) << QPoint(2, 1);
        QTest::newRow("half: middle") << "half" << QSize(3, 2) << QPoint(1, 1) << QPoint(1, 0);
        QTest::newRow("mirror h") << "mirror" << QSize(3, 2) << QPoint(0, 1) << QPoint(2, 1);
    }

    void turnsMovePixelsExactly()
    {
        QFETCH(QString, operation);
        QFETCH(QSize, size);
        QFETCH(QPoint, target);
        QFETCH(QPoint, source);
        // arrange: a 3 x 2 picture of distinct pixels
        const QImage input = numbered(3, 2);
        // act
        QImage turned;
        if (operation == "left")
            turned = GraphX::rotateLeft(input);
        else if (operation == "right")
            turned = GraphX::rotateRight(input);
        else if (operation == "half")
            turned = GraphX::rotate180(input);
        else
            turned = GraphX::mirror(input, true, false);
        // assert
        QCOMPARE(turned.size(), size);
        QCOMPARE(turned.format(), input.format());
        QCOMPARE(turned.pixel(target), input.pixel(source));
    }

    void turnsUndoEachOther()
    {
        const QImage input = numbered(5, 3, QImage::Format_RGB32);
        QCOMPARE(GraphX::rotateRight(GraphX::rotateLeft(input)), input);
        QCOMPARE(GraphX::rotate180(GraphX::rotate180(input)), input);
        QCOMPARE(GraphX::rotateLeft(GraphX::rotateLeft(input)), GraphX::rotate180(input));
        QVERIFY(GraphX::rotateLeft(QImage()).isNull());
        // Indexed input is turned through ARGB32.
        const QImage indexed = input.convertToFormat(QImage::Format_Indexed8);
        QCOMPARE(pixels(GraphX::rotate180(GraphX::rotate180(indexed))), pixels(indexed));
    }

    void cropsCutTheRightRectangle_data()
    {
        QTest::addColumn<bool>("percent");
        QTest::addColumn<QVector<int>>("margins"); // left, right, top, bottom
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("origin"); // input pixel now at (0, 0)
        QTest::newRow("margins") << false << QVector<int>{1, 2, 1, 0} << QSize(6, 4) << QSize(3, 3) << QPoint(1, 1);
        QTest::newRow("no margins") << false << QVector<int>{0, 0, 0, 0} << QSize(6, 4) << QSize(6, 4) << QPoint(0, 0);
        QTest::newRow("negative margins count as 0") << false << QVector<int>{-3, 1, -1, -9} << QSize(6, 4)
                                                    << QSize(5, 4) << QPoint(0, 0);
        QTest::newRow("margins eat the width") << false << QVector<int>{3, 3, 0, 0} << QSize(6, 4) << QSize()
                                              << QPoint();
        QTest::newRow("margins beyond the height") << false << QVector<int>{0, 0, 2, INT_MAX} << QSize(6, 4)
                                                  << QSize() << QPoint();
        QTest::newRow("percent") << true << QVector<int>{10, 10, 0, 0} << QSize(95, 40) << QSize(77, 40)
                                 << QPoint(9, 0);
        QTest::newRow("percent top") << true << QVector<int>{0, 0, 50, 0} << QSize(10, 10) << QSize(10, 5)
                                     << QPoint(0, 5);
        QTest::newRow("percent above 100") << true << QVector<int>{0, 1000, 0, 0} << QSize(10, 10) << QSize()
                                           << QPoint();
        QTest::newRow("negative percent") << true << QVector<int>{-50, 0, 0, 0} << QSize(10, 10) << QSize(10, 10)
                                          << QPoint(0, 0);
    }

    void cropsCutTheRightRectangle()
    {
        QFETCH(bool, percent);
        QFETCH(QVector<int>, margins);
        QFETCH(QSize, imageSize);
        QFETCH(QSize, size);
        QFETCH(QPoint, origin);
        const QImage input = numbered(imageSize.width(), imageSize.height());

        const QImage cropped = percent
            ? GraphX::cropPercent(input, margins[0], margins[1], margins[2], margins[3])
            : GraphX::cropMargins(input, margins[0], margins[1], margins[2], margins[3]);

        if (!size.isValid()) {
            QVERIFY(cropped.isNull());
            return;
        }
        QCOMPARE(cropped.size(), size);
        QCOMPARE(cropped.pixel(0, 0), input.pixel(origin));
        QCOMPARE(cropped.pixel(size.width() - 1, size.height() - 1),
                 input.pixel(origin + QPoint(size.width() - 1, size.height() - 1)));
    }

    void borderFollowsTheWidth_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("border");
        QTest::newRow("10 % of 95 is 9") << 10 << 9;
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("negative adds none") << -20 << 0;
        QTest::newRow("huge is refused") << INT_MAX << -1;
    }

    void borderFollowsTheWidth()
    {
        QFETCH(int, percent);
        QFETCH(int, border);
        const QImage input = numbered(95, 4);
        const QColor colour(1, 2, 3);

        const QImage framed = GraphX::addBorder(input, percent, colour);

        if (border < 0) {
            QVERIFY(framed.isNull());
            return;
        }
        QCOMPARE(framed.size(), QSize(95 + 2 * border, 4 + 2 * border));
        QCOMPARE(framed.pixel(border, border), input.pixel(0, 0));
        QCOMPARE(framed.pixel(border + 94, border + 3), input.pixel(94, 3));
        if (border > 0) {
            QCOMPARE(framed.pixel(0, 0), colour.rgb());
            QCOMPARE(framed.pixel(framed.width() - 1, framed.height() - 1), colour.rgb());
        }
    }

    void fitCentresThePicture_data()
    {
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<QRect>("picture"); // where the red picture lands
        QTest::newRow("wide into square") << QSize(4, 2) << QSize(4, 4) << QRect(0, 1, 4, 2);
        QTest::newRow("tall into square") << QSize(2, 4) << QSize(4, 4) << QRect(1, 0, 2, 4);
        QTest::newRow("same aspect") << QSize(2, 2) << QSize(6, 6) << QRect(0, 0, 6, 6);
        QTest::newRow("zero size") << QSize(2, 2) << QSize(0, 5) << QRect();
        QTest::newRow("negative size") << QSize(2, 2) << QSize(-4, -4) << QRect();
    }

    void fitCentresThePicture()
    {
        QFETCH(QSize, imageSize);
        QFETCH(QSize, target);
        QFETCH(QRect, picture);
        const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
        const QImage input = filled(imageSize.width(), imageSize.height(), red);

        const QImage fitted = GraphX::fitIntoSize(input, target, QColor(blue));

        if (picture.isNull()) {
            QVERIFY(fitted.isNull());
            return;
        }
        QCOMPARE(fitted.size(), target);
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x)
                QCOMPARE(fitted.pixel(x, y), picture.contains(x, y) ? red : blue);
    }

    void mixingBlendsByTheStatedShare_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("expected"); // share of second, in percent
        QTest::newRow("mask nowhere: 0 %") << "mask0" << 0;
        QTest::newRow("dissimilar: 0 %") << "similar0" << 0;
        QTest::newRow("average: 50 %") << "average" << 50;
        QTest::newRow("interleave half: 50 %") << "half" << 50;
        QTest::newRow("interleave three quarters: 75 %") << "threeQuarters" << 75;
        QTest::newRow("mask everywhere: 100 %") << "mask100" << 100;
        QTest::newRow("similar within tolerance: 100 %") << "similarWide" << 100;
    }

    void mixingBlendsByTheStatedShare()
    {
        QFETCH(QString, operation);
        QFETCH(int, expected);
        // arrange: black first, white second (both opaque)
        const QImage first = filled(6, 4, qRgb(0, 0, 0));
        const QImage second = filled(6, 4, qRgb(200, 200, 200));
        // act
        QImage mixed;
        if (operation == "mask0")
            mixed = GraphX::maskedCopy(first, second, filled(6, 4, qRgb(0, 0, 1)));
        else if (operation == "mask100")
            mixed = GraphX::maskedCopy(first, second, filled(6, 4, qRgba(0, 0, 0, 255)));
        else if (operation == "similar0")
            mixed = GraphX::replaceSimilar(first, second, 200);
        else if (operation == "similarWide")
            mixed = GraphX::replaceSimilar(first, second, 201);
        else if (operation == "average")
            mixed = GraphX::average(first, second);
        else if (operation == "half")
            mixed = GraphX::interleaveHalf(first, second);
        else
            mixed = GraphX::interleaveThreeQuarters(first, second);
        // assert
        QCOMPARE(mixed.size(), first.size());
        const int want = 200 * expected / 100;
        for (const QRgb p : pixels(mixed)) {
            QVERIFY2(qAbs(qRed(p) - want) <= 1, qPrintable(QString::number(qRed(p))));
            QCOMPARE(qGreen(p), qRed(p));
            QCOMPARE(qAlpha(p), 255);
        }
    }

    void twoImageOperationsWorkOnTheOverlapOnly()
    {
        const QImage first = filled(4, 3, qRgba(200, 100, 50, 255));
        const QImage second = filled(2, 5, qRgba(100, 150, 0, 100));

        const QImage avg = GraphX::average(first, second);
        const QImage diff = GraphX::difference(first, second);
        const QImage self = GraphX::difference(first, first);

        QCOMPARE(avg.pixel(1, 2), qRgba(150, 125, 25, 177));
        QCOMPARE(avg.pixel(2, 0), first.pixel(2, 0));
        QCOMPARE(diff.pixel(0, 0), qRgba(100, 50, 50, 255));
        QCOMPARE(diff.pixel(3, 2), first.pixel(3, 2));
        for (const QRgb p : pixels(self))
            QCOMPARE(p, qRgba(0, 0, 0, 255));
        QVERIFY(GraphX::average(QImage(), second).isNull());
        QCOMPARE(GraphX::interleaveHalf(first, QImage()), first);
        // A mask smaller than the overlap leaves the uncovered pixels alone.
        const QImage masked = GraphX::maskedCopy(first, second, filled(1, 1, qRgb(0, 0, 0)));
        QCOMPARE(masked.pixel(0, 0), second.pixel(0, 0));
        QCOMPARE(masked.pixel(1, 0), first.pixel(1, 0));
    }

    void alphaMaskTakesTheMaskRed()
    {
        const QPixmap pixmap = QPixmap::fromImage(filled(4, 4, qRgb(10, 20, 30)));
        QImage mask(2, 1, QImage::Format_RGB32);
        mask.setPixel(0, 0, qRgb(255, 0, 9));
        mask.setPixel(1, 0, qRgb(0, 255, 255));

        const QImage result = GraphX::applyAlphaMask(pixmap, QPixmap::fromImage(mask))
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32);

        QCOMPARE(result.size(), QSize(4, 4));
        QCOMPARE(result.pixel(1, 3), qRgba(10, 20, 30, 255));
        QCOMPARE(qAlpha(result.pixel(2, 0)), 0);
        QVERIFY(GraphX::applyAlphaMask(QPixmap(), pixmap).isNull());
    }

    void captionDrawsABoxAndLeavesTheRest()
    {
        QImage canvas = filled(120, 60, qRgb(0, 0, 0));
        const QImage before = canvas;
        QFont font;
        font.setPixelSize(12);
        {
            QPainter painter(&canvas);
            GraphX::drawCaption(&painter, QPoint(5, 5), "Caption", font, QColor(255, 0, 0), true, 1.0f);
            QCOMPARE(painter.opacity(), 1.0); // state restored
        }
        GraphX::drawCaption(nullptr, QPoint(), "x", font, Qt::red, false, 1.0f); // no crash

        int changed = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                changed += canvas.pixel(x, y) != before.pixel(x, y);
        QVERIFY(changed > 50);
        QCOMPARE(canvas.pixel(119, 59), before.pixel(119, 59));
        QCOMPARE(canvas.pixel(0, 59), before.pixel(0, 59));
    }

    void captionFarOffTheCanvasDrawsNothing_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::newRow("right and top ends of int") << QPoint(INT_MAX, INT_MIN);
        QTest::newRow("left and bottom ends of int") << QPoint(INT_MIN, INT_MAX);
    }

    void captionFarOffTheCanvasDrawsNothing()
    {
        QFETCH(QPoint, position);
        QImage canvas = filled(40, 20, qRgb(0, 0, 0));
        QFont font;
        font.setPixelSize(12);

        {
            QPainter painter(&canvas);
            GraphX::drawCaption(&painter, position, "Caption", font, QColor(255, 0, 0), true, 1.0f);
        }

        QCOMPARE(pixels(canvas), pixels(filled(40, 20, qRgb(0, 0, 0))));
    }

    void dataUriRoundTripKeepsPixels_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("PNG") << "PNG" << "data:image/png;base64,";
        QTest::newRow("bmp") << "bmp" << "data:image/bmp;base64,";
    }

    void dataUriRoundTripKeepsPixels()
    {
        QFETCH(QString, format);
        QFETCH(QString, prefix);
        QImage image = numbered(7, 5);
        if (format == "bmp")
            image = image.convertToFormat(QImage::Format_RGB32);

        const QString uri = GraphX::toDataUri(image, format, -1);
        const QImage back = GraphX::fromDataUri(uri);

        QVERIFY(uri.startsWith(prefix));
        QVERIFY(uri.size() > prefix.size());
        QCOMPARE(back.size(), image.size());
        QCOMPARE(pixels(back), pixels(image));
    }

    void malformedDataUrisGiveNullImages_data()
    {
        const QString good = GraphX::toDataUri(numbered(4, 4), "PNG", -1);
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("no image mark") << "data:text/plain;base64,SGVsbG8=";
        QTest::newRow("no base64 mark") << "data:image/png,iVBORw0KGgo=";
        QTest::newRow("empty payload") << "data:image/png;base64,";
        QTest::newRow("payload outside the alphabet") << "data:image/png;base64,!!!!****";
        QTest::newRow("not a picture") << "data:image/png;base64,SGVsbG8gd29ybGQ=";
        QTest::newRow("truncated") << good.left(good.size() / 2);
        QTest::newRow("wrong format") << QString(good).replace("image/png", "image/gif");
        QTest::newRow("header claims 400 megapixels")
            << "data:image/png;base64," + MTools::toBase64String(pngClaiming(20000, 20000));
    }

    void malformedDataUrisGiveNullImages()
    {
        QFETCH(QString, text);
        QVERIFY(GraphX::fromDataUri(text).isNull());
    }

    // The tolerant base64 decoder skips characters outside the alphabet, so
    // such a payload would load as other bytes than were meant.
    void dataUrisAreReadAsBase64Only_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QImage>("expected"); // null for a refusal

        // 4 x 2 pictures whose bytes, three at a time, are base64 "////" and
        // "++++" (white, and the colour of bytes fb ef be), followed by zeros:
        // a payload that lost those characters would still be long enough to
        // load.
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(qRgb(255, 255, 255));
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, 1, qRgb(0xbe, 0xef, 0xfb));
        QByteArray bmp;
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
        bmp += QByteArray(48, '\0');
        const QByteArray ppm = QByteArray("P6\n4  2\n255\n") + QByteArray(12, '\xff')
            + QByteArray("\xfb\xef\xbe\xfb\xef\xbe\xfb\xef\xbe\xfb\xef\xbe", 12) + QByteArray(48, '\0');
        QImage ppmImage = image;
        for (int x = 0; x < 4; ++x)
            ppmImage.setPixel(x, 1, qRgb(0xfb, 0xef, 0xbe));
        const QString bmp64 = MTools::toBase64String(bmp);
        const QString ppm64 = MTools::toBase64String(ppm);
        QVERIFY(bmp64.contains('+') && bmp64.contains('/') && ppm64.contains('+') && ppm64.contains('/'));
        const auto urlSafe = [](QString text) { return text.replace('+', '-').replace('/', '_'); };
        const auto percent = [](QString text) {
            return text.replace('+', "%2B").replace('/', "%2F").replace('=', "%3D");
        };

        QTest::newRow("upper-case scheme and type") << "DATA:IMAGE/BMP;BASE64," + bmp64 << image;
        QTest::newRow("base64 mark in mixed case") << "data:image/x-portable-pixmap;Base64," + ppm64 << ppmImage;
        QString broken = bmp64;
        for (int at = broken.size() - 16; at > 0; at -= 16)
            broken.insert(at, "\r\n ");
        QTest::newRow("payload broken into lines") << "data:image/bmp;base64," + broken << image;
        QTest::newRow("bmp in the URL-safe alphabet") << "data:image/bmp;base64," + urlSafe(bmp64) << QImage();
        QTest::newRow("bmp percent-encoded") << "data:image/bmp;base64," + percent(bmp64) << QImage();
        QTest::newRow("ppm in the URL-safe alphabet") << "data:image/x-portable-pixmap;base64," + urlSafe(ppm64)
                                                      << QImage();
        QTest::newRow("ppm percent-encoded") << "data:image/x-portable-pixmap;base64," + percent(ppm64) << QImage();

        // A data URI stands in CSS or markup: its payload ends where the URI
        // does, and the text after it is not read. The texts the application
        // writes (its golden files, "@PAYLOAD@" standing for the base64) and
        // other ways CSS and markup hold a URI, for five formats:
        const QString uri = "data:image/png;base64,@PAYLOAD@";
        QStringList forms;
        for (const char *name : {"html", "css", "xml", "xhtml", "base64"}) {
            QFile file(qEnvironmentVariable("GLYPH_TEST_DATA") + "/../../app/data/" + name + "_3x2.txt");
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromLatin1(file.readAll());
            QVERIFY(text.contains("@PAYLOAD@"));
            forms << (text.contains(uri) ? text : QString(text).replace("@PAYLOAD@", uri));
        }
        forms << "div { background: url(\"" + uri + "\"); }" << "background: url('" + uri + "');"
              << "url( " + uri + " )" << "<div style=\"background: url(&quot;" + uri + "&quot;)\">"
              << "<img src=" + uri + ">";
        const QStringList names = {"html page", "css page", "xml element", "img tag", "bare base64",
                                   "css url in double quotes", "css property", "unquoted css url",
                                   "quotes as references in an attribute", "unquoted attribute"};

        const QImage rgb = numbered(7, 5).convertToFormat(QImage::Format_RGB32);
        const auto encoded = [](const QImage &source, const char *format) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            source.save(&buffer, format);
            return bytes;
        };
        const struct
        {
            const char *type;
            QByteArray bytes;
        } pictures[] = {{"png", encoded(numbered(7, 5), "PNG")},
                        {"jpeg", encoded(rgb, "JPEG")},
                        {"bmp", encoded(rgb, "BMP")},
                        {"gif", PictureBytes::gifOnScreen(5, 3)},
                        {"x-portable-pixmap", encoded(rgb, "PPM")}};
        for (const auto &picture : pictures) {
            const QImage expected = QImage::fromData(picture.bytes);
            QVERIFY(!expected.isNull());
            QString payload = MTools::toBase64String(picture.bytes);
            for (int i = 0; i < forms.size(); ++i)
                QTest::addRow("%s, %s", picture.type, qPrintable(names.at(i)))
                    << QString(forms.at(i)).replace("png", picture.type).replace("@PAYLOAD@", payload) << expected;
            for (int at = payload.size() - 7; at > 0; at -= 76)
                payload.insert(at, "\r\n\t");
            QTest::addRow("%s, css page with the payload in lines", picture.type)
                << QString(forms.at(1)).replace("png", picture.type).replace("@PAYLOAD@", payload) << expected;
        }

        // The bitmap above loads, and so shows a wrong acceptance, whether the
        // characters put into the zeros at its end are skipped or end it.
        const auto tag = [&bmp64](const QString &inside, const QString &after) {
            return "<img src=\"data:image/bmp;base64," + QString(bmp64).insert(bmp64.size() - 8, inside) + after
                + "\"/>";
        };
        QTest::newRow("bmp in an img tag") << tag("", "") << image;
        QTest::newRow("URL-safe character in a run in an img tag") << tag("-", "") << QImage();
        QTest::newRow("the other URL-safe character in an img tag") << tag("_", "") << QImage();
        QTest::newRow("percent-encoding in an img tag") << tag("%2B", "") << QImage();
        QTest::newRow("padding inside a run in an img tag") << tag("==", "") << QImage();
        QTest::newRow("semicolon after the run") << tag("", ";") << QImage();
        QTest::newRow("comma after the run") << tag("", ",") << QImage();
        QTest::newRow("ampersand after the run") << tag("", "&amp;") << QImage();
    }

    void dataUrisAreReadAsBase64Only()
    {
        QFETCH(QString, text);
        QFETCH(QImage, expected);

        const QImage image = GraphX::fromDataUri(text);

        QCOMPARE(image.isNull(), expected.isNull());
        QCOMPARE(image.size(), expected.size());
        QCOMPARE(pixels(image), pixels(expected));
    }

    void dataUriDecodingStaysWithinTheCaps_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QSize>("expected"); // 0 x 0: refused

        QTest::newRow("black and white at the pixel cap") << PngBytes::zeros(10000, 10000, 1, 0) << QSize(10000, 10000);
        QTest::newRow("black and white one row over the pixel cap") << PngBytes::zeros(10000, 10001, 1, 0) << QSize(0, 0);
        QTest::newRow("16-bit colour over the memory cap") << PngBytes::zeros(7100, 7100, 16, 6) << QSize(0, 0);
        QTest::newRow("chunk length beyond the payload")
            << PngBytes::header(100, 100) + PngBytes::chunk("zTXt", QByteArray(20000, 'a')).replace(0, 4, "\x70\0\0\0")
            << QSize(0, 0);
        QTest::newRow("top-down bitmap") << PictureBytes::topDownBmp(40, 30, true) << QSize(40, 30);
        QTest::newRow("progressive jpeg of ten scans") << PictureBytes::jpeg(16, 16, 1, 10, true) << QSize(16, 16);
        QTest::newRow("progressive jpeg of too many scans") << PictureBytes::jpeg(16, 16, 1, 65, true) << QSize(0, 0);
        QTest::newRow("progressive colour jpeg, coefficients over the memory cap")
            << PictureBytes::jpeg(7000, 7000, 3, 10, true) << QSize(0, 0);
        QTest::newRow("progressive jpeg of refinement scans beyond the work cap")
            << PictureBytes::refiningJpeg(10000, 10000, 13) << QSize(0, 0);
        QTest::newRow("16-bit grey at 64 megapixels") << PngBytes::zeros(8000, 8000, 16, 0) << QSize(8000, 8000);
    }

    void dataUriDecodingStaysWithinTheCaps()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QSize, expected);
        s_messages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectMessage);

        // The format name does not matter: the reader goes by the content.
        const QImage image = GraphX::fromDataUri("data:image/x;base64," + MTools::toBase64String(payload));
        qInstallMessageHandler(previous);

        // assert: what is refused here is refused from the headers, before a decoder runs
        QCOMPARE(image.size(), expected);
        if (expected.isEmpty())
            QVERIFY2(s_messages.isEmpty(), qPrintable(s_messages.join('\n')));
    }

    void encodingFailuresGiveEmptyResults()
    {
        QVERIFY(GraphX::toDataUri(numbered(2, 2), "NOSUCHFORMAT", -1).isEmpty());
        QVERIFY(GraphX::toDataUri(QImage(), "PNG", -1).isEmpty());
        QVERIFY(GraphX::recompress(numbered(2, 2), "NOSUCHFORMAT", -1).isNull());
        const QImage image = numbered(3, 3);
        QCOMPARE(pixels(GraphX::recompress(image, "PNG", 50)), pixels(image));
    }
};

QStringList TestGeometry::s_messages;

GLYPH_TEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
