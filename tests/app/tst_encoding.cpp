// The encoding rule, the byte-size text, the shared cache of encoded pictures
// and the image save.

#include "app.h"
#include "encodedimagecache.h"
#include "formatbytesize.h"
#include "imagepreview.h"
#include "modalanswerer.h"
#include "testmain.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <limits>

namespace {

// An opaque picture with enough detail that JPG qualities give different bytes.
QPixmap makePixmap(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, ((x ^ y) * 29) & 0xFF));
    return QPixmap::fromImage(image);
}

// What Qt's own pixmap writer makes of the pixmap at a JPG quality.
QByteArray referenceJpg(const QPixmap &pixmap, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    pixmap.save(&buffer, "JPG", quality);
    return bytes;
}

QString readerFormat(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    return QString::fromLatin1(reader.format());
}

} // namespace

class TestEncoding : public QObject
{
    Q_OBJECT

private slots:
    void encodingRule_data();
    void encodingRule();
    void encodingOfNullPixmapGivesNoBytes_data();
    void encodingOfNullPixmapGivesNoBytes();

    void formatByteSize_data();
    void formatByteSize();

    void cacheEncodesOncePerPixmapAndFormat();
    void cacheKeepsTwoMostRecentPairs();
    void cacheDecodesOnce();

    void saveImageWritesFormatNotName();
    void saveImageWithoutBytesLeavesFileAlone_data();
    void saveImageWithoutBytesLeavesFileAlone();
    void saveImageThroughDialog();
};

void TestEncoding::encodingRule_data()
{
    QTest::addColumn<QString>("formatSpec");
    QTest::addColumn<QString>("format");  // "png", "jpg" or "" for none
    QTest::addColumn<int>("jpgQuality");

    QTest::newRow("PNG alone") << "PNG" << "png" << 0;
    QTest::newRow("PNG;0") << "PNG;0" << "png" << 0;
    QTest::newRow("PNG;2") << "PNG;2" << "png" << 0;
    QTest::newRow("JPG;0 high") << "JPG;0" << "jpg" << 20;
    QTest::newRow("JPG;1 average") << "JPG;1" << "jpg" << 70;
    QTest::newRow("JPG;2 low") << "JPG;2" << "jpg" << 90;
    QTest::newRow("JPG alone") << "JPG" << "jpg" << 90;
    QTest::newRow("JPG empty part") << "JPG;" << "jpg" << 90;
    QTest::newRow("JPG odd part") << "JPG;7" << "jpg" << 90;
    QTest::newRow("JPG last part counts") << "JPG;1;0" << "jpg" << 20;
    QTest::newRow("lower-case png") << "png;1" << "" << 0;
    QTest::newRow("lower-case jpg") << "jpg;0" << "" << 0;
    QTest::newRow("empty") << "" << "" << 0;
    QTest::newRow("other name") << "GIF;1" << "" << 0;
    QTest::newRow("blank after name") << "PNG ;1" << "" << 0;
}

void TestEncoding::encodingRule()
{
    QFETCH(QString, formatSpec);
    QFETCH(QString, format);
    QFETCH(int, jpgQuality);
    // arrange
    const QPixmap pixmap = makePixmap(24, 16);
    if (format.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, "Unknown format");

    // act
    const QByteArray bytes = EncodedImageCache::encode(pixmap.toImage(), formatSpec);

    // assert
    if (format.isEmpty()) {
        QVERIFY(bytes.isEmpty());
    } else if (format == QLatin1String("png")) {
        QCOMPARE(readerFormat(bytes), QStringLiteral("png"));
        const QImage decoded = QImage::fromData(bytes).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(decoded, pixmap.toImage().convertToFormat(QImage::Format_ARGB32));
    } else {
        QCOMPARE(readerFormat(bytes), QStringLiteral("jpeg"));
        QCOMPARE(bytes, referenceJpg(pixmap, jpgQuality));
    }
}

void TestEncoding::encodingOfNullPixmapGivesNoBytes_data()
{
    QTest::addColumn<QString>("formatSpec");
    QTest::newRow("PNG") << "PNG";
    QTest::newRow("JPG;1") << "JPG;1";
}

void TestEncoding::encodingOfNullPixmapGivesNoBytes()
{
    QFETCH(QString, formatSpec);
    EncodedImageCache cache;
    QVERIFY(cache.bytes(QPixmap(), formatSpec).isEmpty());
    QVERIFY(cache.decodedPixmap(QPixmap(), formatSpec).isNull());
}

void TestEncoding::formatByteSize_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << qint64(0) << "0 B";
    QTest::newRow("negative") << qint64(-5) << "-5 B";
    QTest::newRow("1023") << qint64(1023) << "1023 B";
    QTest::newRow("1024") << qint64(1024) << "1 KB";
    QTest::newRow("1535") << qint64(1535) << "1 KB";
    QTest::newRow("12345") << qint64(12345) << "12 KB";
    QTest::newRow("1048575") << qint64(1048575) << "1023 KB";
    QTest::newRow("1048576") << qint64(1048576) << "1 MB";
    QTest::newRow("2^30") << (qint64(1) << 30) << "1 GB";
    QTest::newRow("2^40") << (qint64(1) << 40) << "1 TB";
    QTest::newRow("2^50") << (qint64(1) << 50) << "1024 TB";
    QTest::newRow("max") << std::numeric_limits<qint64>::max() << "8388607 TB";
}

void TestEncoding::formatByteSize()
{
    QFETCH(qint64, count);
    QFETCH(QString, text);
    QCOMPARE(::formatByteSize(count), text);
}

void TestEncoding::cacheEncodesOncePerPixmapAndFormat()
{
    // arrange
    EncodedImageCache cache;
    const QPixmap pixmap = makePixmap(20, 10);
    const QPixmap sharedCopy = pixmap;

    // act
    const QByteArray first = cache.bytes(pixmap, QStringLiteral("JPG;1"));
    const QByteArray again = cache.bytes(sharedCopy, QStringLiteral("JPG;1"));
    const int afterSamePair = cache.encodeCount();
    const QByteArray low = cache.bytes(pixmap, QStringLiteral("JPG;2"));

    // assert
    QCOMPARE(afterSamePair, 1);
    QCOMPARE(again, first);
    QCOMPARE(cache.encodeCount(), 2);
    QVERIFY(low != first);
}

void TestEncoding::cacheKeepsTwoMostRecentPairs()
{
    EncodedImageCache cache;
    const QPixmap a = makePixmap(8, 8);
    const QPixmap b = makePixmap(9, 9);
    const QString png = QStringLiteral("PNG");

    cache.bytes(a, png);
    cache.bytes(b, png);
    cache.bytes(a, png);  // still kept
    QCOMPARE(cache.encodeCount(), 2);

    cache.bytes(a, QStringLiteral("JPG;0"));  // pushes out (b, PNG)
    cache.bytes(a, png);
    QCOMPARE(cache.encodeCount(), 3);
    cache.bytes(b, png);
    QCOMPARE(cache.encodeCount(), 4);

    // A changed pixmap is a new picture, even in the same variable.
    QPixmap c = makePixmap(8, 8);
    cache.bytes(c, png);
    c.fill(Qt::red);
    const QByteArray red = cache.bytes(c, png);
    QCOMPARE(cache.encodeCount(), 6);
    QCOMPARE(QImage::fromData(red).pixel(3, 3), qRgb(255, 0, 0));
}

void TestEncoding::cacheDecodesOnce()
{
    // arrange
    EncodedImageCache cache;
    const QPixmap pixmap = makePixmap(32, 32);
    const QString jpg = QStringLiteral("JPG;0");

    // act
    const QPixmap first = cache.decodedPixmap(pixmap, jpg);
    const QPixmap second = cache.decodedPixmap(pixmap, jpg);

    // assert: the JPG losses are visible, and the work was done once
    QCOMPARE(cache.encodeCount(), 1);
    QCOMPARE(cache.decodeCount(), 1);
    QCOMPARE(first.size(), pixmap.size());
    QCOMPARE(first.toImage().convertToFormat(QImage::Format_RGB32),
             QImage::fromData(cache.bytes(pixmap, jpg)).convertToFormat(QImage::Format_RGB32));
    QVERIFY(first.toImage().convertToFormat(QImage::Format_RGB32)
            != pixmap.toImage().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(second.cacheKey(), first.cacheKey());
}

void TestEncoding::saveImageWritesFormatNotName()
{
    // arrange
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("picture.png"));
    const QPixmap pixmap = makePixmap(30, 20);
    ImagePreview preview;
    preview.slotSetPixmap(pixmap);
    preview.slotSetFormat(QStringLiteral("JPG;1"));

    // act
    const bool saved = preview.saveImage(path);

    // assert: JPG at quality 70 under exactly the given name
    QVERIFY(saved);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), referenceJpg(pixmap, 70));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("picture.png")});
}

void TestEncoding::saveImageWithoutBytesLeavesFileAlone_data()
{
    QTest::addColumn<bool>("nullPixmap");
    QTest::addColumn<QString>("formatSpec");
    QTest::addColumn<bool>("fileExists");

    QTest::newRow("null pixmap, new file") << true << "PNG" << false;
    QTest::newRow("null pixmap, old file") << true << "PNG" << true;
    QTest::newRow("unknown format, new file") << false << "BMP;1" << false;
    QTest::newRow("unknown format, old file") << false << "BMP;1" << true;
}

void TestEncoding::saveImageWithoutBytesLeavesFileAlone()
{
    QFETCH(bool, nullPixmap);
    QFETCH(QString, formatSpec);
    QFETCH(bool, fileExists);
    // arrange
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.jpg"));
    if (fileExists) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    ImagePreview preview;
    if (!nullPixmap)
        preview.slotSetPixmap(makePixmap(4, 4));
    preview.slotSetFormat(formatSpec);
    if (formatSpec != QLatin1String("PNG"))
        QTest::ignoreMessage(QtDebugMsg, "Unknown format");

    // act
    const bool saved = preview.saveImage(path);

    // assert
    QVERIFY(!saved);
    QCOMPARE(QFile::exists(path), fileExists);
    if (fileExists) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old content"));
    }
}

void TestEncoding::saveImageThroughDialog()
{
    // arrange
    const QPixmap pixmap = makePixmap(12, 6);
    ImagePreview preview;
    preview.slotSetPixmap(pixmap);
    preview.slotSetFormat(QStringLiteral("JPG;0"));
    const QString name = QStringLiteral("typed-name.png");
    QString startFolder;
    ModalAnswerer answerer(ModalAnswerer::acceptFileDialog(name, &startFolder));
    answerer.setClassName("QFileDialog");

    // act
    preview.slotSave();

    // assert: the dialog starts in the documents folder, the file lands there as typed
    QVERIFY(answerer.answered());
    const QString documents = QMWidgets::App::documentsDirectory(false);
    QCOMPARE(startFolder + QLatin1Char('/'), documents);
    QFile file(documents + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), referenceJpg(pixmap, 20));
}

GLYPH_APP_TEST_MAIN(TestEncoding, QMWidgets::App)
#include "tst_encoding.moc"
