#include "xani.h"
#include "xaniframe.h"
#include "faildevice.h"
#include "fifo.h"
#include "fifowatch.h"
#include "filesizelimit.h"
#include "testmain.h"

#include <QBuffer>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <sys/stat.h>

using namespace MGraphX;

namespace {

// Collects the debug messages written while it exists.
class DebugCapture
{
public:
    DebugCapture() { s_messages.clear(); m_old = qInstallMessageHandler(&DebugCapture::handle); }
    ~DebugCapture() { qInstallMessageHandler(m_old); }
    QStringList messages() const { return s_messages; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg)
            s_messages.append(message);
    }
    static QStringList s_messages;
    QtMessageHandler m_old = nullptr;
};
QStringList DebugCapture::s_messages;

QImage solid(const QSize &size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

XaniFrame makeFrame(const QImage &image, const QString &name, const QString &format,
                    int duration = -1, bool background = false)
{
    XaniFrame frame;
    frame.setImage(image);
    frame.setName(name);
    frame.setFormat(format);
    frame.setDuration(duration);
    frame.setBackground(background);
    return frame;
}

// The tiny two-frame animation of the golden file; BMP and PPM encode the
// same on every build.
void fillTwoFrames(Xani &xani)
{
    QImage first(2, 1, QImage::Format_RGB32);
    first.setPixel(0, 0, 0xffff0000);
    first.setPixel(1, 0, 0xff0000ff);
    xani.setLoop(0);
    xani.setFrameDuration(250);
    xani.addFrame(makeFrame(first, QStringLiteral("a.bmp"), QStringLiteral("BMP"), 40, true));
    xani.addFrame(makeFrame(solid(QSize(1, 1), 0xff00ff00), QStringLiteral("b"), QStringLiteral("PPM")));
}

// A larger animation whose lengths need hexadecimal letters.
void fillPngFrames(Xani &xani)
{
    QImage gradient(40, 30, QImage::Format_ARGB32);
    for (int y = 0; y < gradient.height(); ++y)
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgba(x * 6, y * 8, (x * y) % 256, 200));
    xani.addFrame(makeFrame(gradient, QStringLiteral("gradient.png"), QStringLiteral("PNG"), 100));
    xani.addFrame(makeFrame(solid(QSize(5, 7), 0xff123456), QStringLiteral("flat"), QStringLiteral("PNG")));
    xani.addFrame(makeFrame(gradient.mirrored(), QStringLiteral("third"), QStringLiteral("PNG"), 7, true));
}

QByteArray field(const QByteArray &digits)
{
    return digits.leftJustified(16, ' ');
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A length field as the format defines it: lower-case hex, left-aligned, blanks after.
qint64 lengthAt(const QByteArray &bytes, int offset)
{
    const QByteArray f = bytes.mid(offset, 16);
    static const QRegularExpression shape(QStringLiteral("^[0-9a-f]+ *$"));
    if (f.size() != 16 || !shape.match(QString::fromLatin1(f)).hasMatch())
        return -1;
    return f.trimmed().toLongLong(nullptr, 16);
}

} // namespace

class TestAnimationFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QByteArray twoFrameBytes()
    {
        Xani xani;
        fillTwoFrames(xani);
        const QString file = path(QStringLiteral("two.xani"));
        return xani.save(file, -1) ? readFile(file) : QByteArray();
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void emptyAnimationWritesHeaderAndIndexOnly()
    {
        // arrange
        Xani xani;
        const QString file = path(QStringLiteral("empty.xani"));
        const QByteArray expected = "XANI" + field("79") + "BIND" + field("0") + "XMLD" + field("3d")
            + "<Xani loop = \"1\" frameduration=\"1000\" framecount=\"0\">\n</Xani>";

        // act
        QVERIFY(xani.save(file, -1));

        // assert
        QCOMPARE(expected.size(), 121);
        QCOMPARE(readFile(file), expected);
    }

    void twoFrameFileMatchesGolden()
    {
        const QByteArray actual = twoFrameBytes();
        const QByteArray golden = readFile(qEnvironmentVariable("GLYPH_TEST_DATA") + "/twoframes.xani");

        if (actual != golden)
            writeFile(QDir::temp().filePath(QStringLiteral("twoframes.actual.xani")), actual);
        QCOMPARE(actual, golden);
    }

    void writtenFileHoldsFramesWhereIndexSays()
    {
        // arrange
        Xani xani;
        fillPngFrames(xani);
        const QString file = path(QStringLiteral("png.xani"));

        // act
        QVERIFY(xani.save(file, 90));
        const QByteArray bytes = readFile(file);

        // assert: block layout
        QCOMPARE(bytes.left(4), QByteArray("XANI"));
        QCOMPARE(lengthAt(bytes, 4), qint64(bytes.size()));
        QCOMPARE(bytes.mid(20, 4), QByteArray("BIND"));
        const qint64 d = lengthAt(bytes, 24);
        QVERIFY(d > 0);
        QCOMPARE(bytes.mid(40 + d, 4), QByteArray("XMLD"));
        const qint64 x = lengthAt(bytes, 44 + d);
        QCOMPARE(60 + d + x, qint64(bytes.size()));

        // assert: the index describes every frame and its bytes
        QDomDocument index;
        QVERIFY(index.setContent(bytes.mid(60 + d)));
        const QDomElement root = index.documentElement();
        QCOMPARE(root.tagName(), QStringLiteral("Xani"));
        QCOMPARE(root.attribute("loop"), QStringLiteral("1"));
        QCOMPARE(root.attribute("frameduration"), QStringLiteral("1000"));
        QCOMPARE(root.attribute("framecount"), QStringLiteral("3"));
        const QDomNodeList images = root.elementsByTagName("Image");
        QCOMPARE(images.count(), 3);
        qint64 expectedStart = 40;
        for (int i = 0; i < images.count(); ++i) {
            const QDomElement image = images.at(i).toElement();
            const XaniFrame frame = xani.frame(i);
            QCOMPARE(image.attribute("index"), QString::number(i));
            QCOMPARE(image.attribute("name"), frame.name());
            QCOMPARE(image.attribute("format"), QStringLiteral("PNG"));
            QCOMPARE(image.attribute("duration"), QString::number(frame.duration()));
            QCOMPARE(image.attribute("background"), frame.background() ? "true" : "false");
            const QDomElement data = image.firstChildElement("data");
            const qint64 start = data.attribute("start").toLongLong();
            const qint64 size = data.attribute("size").toLongLong();
            QCOMPARE(start, expectedStart);
            QVERIFY(size > 0);
            const QImage decoded = QImage::fromData(bytes.mid(start, size), "PNG");
            QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32),
                     frame.image().convertToFormat(QImage::Format_ARGB32));
            expectedStart += size;
        }
        QCOMPARE(expectedStart, 40 + d);
    }

    void indexIsAsciiAndCountsBytes()
    {
        // arrange: a name with a Latin-1 letter and one outside Latin-1;
        // a null picture cannot be encoded and takes no bytes
        Xani xani;
        xani.addFrame(makeFrame(QImage(), QString::fromUtf8("caf\u00e9 \u20ac"), QStringLiteral("PNG")));
        const QString file = path(QStringLiteral("latin1.xani"));

        // act
        QVERIFY(xani.save(file, -1));
        const QByteArray bytes = readFile(file);

        // assert
        QCOMPARE(lengthAt(bytes, 24), qint64(0));
        const QByteArray index = bytes.mid(60);
        QCOMPARE(lengthAt(bytes, 44), qint64(index.size()));
        QVERIFY(index.contains("name=\"caf&#233; &#8364;\""));
        QVERIFY(index.contains("  <data start=\"40\" size=\"0\"/>\n</Image>\n</Xani>"));
    }

    void indexKeepsEveryNameExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("written"); // the name attribute as stored, when fixed

        QTest::newRow("plain ascii") << "a.bmp" << "PNG" << QByteArray("name=\"a.bmp\" format=\"PNG\"");
        QTest::newRow("quote") << "say \"hi\"" << "PNG" << QByteArray("name=\"say &quot;hi&quot;\"");
        QTest::newRow("markup") << "<b>&amp;</b>" << "PNG" << QByteArray("name=\"&lt;b&gt;&amp;amp;&lt;/b&gt;\"");
        QTest::newRow("placeholder") << "<!SIZE!>" << "PNG" << QByteArray();
        QTest::newRow("later placeholder in format") << "x" << "<!START!>" << QByteArray();
        QTest::newRow("latin-1") << QString::fromUtf8("caf\u00e9") << "PNG" << QByteArray("name=\"caf&#233;\"");
        QTest::newRow("beyond latin-1") << QString::fromUtf8("\u20ac \U0001F600") << "PNG"
                                        << QByteArray("name=\"&#8364; &#128512;\"");
        QTest::newRow("white space") << "a\tb\nc\rd  e" << "PNG" << QByteArray("name=\"a&#9;b&#10;c&#13;d  e\"");
        QTest::newRow("attribute injection") << "x" << "PNG\" evil=\"1" << QByteArray();
    }

    void indexKeepsEveryNameExactly()
    {
        QFETCH(QString, name);
        QFETCH(QString, format);
        QFETCH(QByteArray, written);
        // arrange: a format no writer knows goes with frames without a
        // picture, which have nothing to encode
        const bool encodable = QImageWriter::supportedImageFormats().contains(format.toLower().toLatin1());
        Xani xani;
        xani.addFrame(makeFrame(encodable ? solid(QSize(2, 2), 0xff102030) : QImage(), name, format));
        xani.addFrame(makeFrame(encodable ? solid(QSize(1, 1), 0xff405060) : QImage(), name, format));
        const QString file = path(QStringLiteral("names.xani"));

        // act
        QVERIFY(xani.save(file, -1));
        const QByteArray bytes = readFile(file);

        // assert: ASCII, well-formed, every value as given
        const qint64 d = lengthAt(bytes, 24);
        const QByteArray index = bytes.mid(60 + d);
        for (const char c : index)
            QVERIFY2(uchar(c) < 0x80, index.constData());
        if (!written.isEmpty())
            QVERIFY2(index.contains(written), index.constData());
        QXmlStreamReader reader(index);
        QStringList names, formats;
        qint64 sizes = 0;
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (reader.name() == QLatin1String("Image")) {
                names << reader.attributes().value("name").toString();
                formats << reader.attributes().value("format").toString();
                QCOMPARE(reader.attributes().size(), 5);
            } else if (reader.name() == QLatin1String("data")) {
                QCOMPARE(reader.attributes().value("start").toLongLong(), 40 + sizes);
                sizes += reader.attributes().value("size").toLongLong();
            }
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(names, QStringList({name, name}));
        QCOMPARE(formats, QStringList({format, format}));
        QCOMPARE(sizes, d);
    }

    void saveRefusesNamesXmlCannotHold()
    {
        Xani xani;
        xani.addFrame(makeFrame(solid(QSize(1, 1), 0xff405060), QStringLiteral("bell\a"), QStringLiteral("PNG")));

        QVERIFY(!xani.save(path(QStringLiteral("bell.xani")), -1));
    }

    void loadReportsLengthsAndIndex()
    {
        // arrange
        Xani source;
        fillPngFrames(source);
        const QString file = path(QStringLiteral("load.xani"));
        QVERIFY(source.save(file, -1));
        const QByteArray bytes = readFile(file);
        const qint64 d = lengthAt(bytes, 24);
        const QByteArray indexText = bytes.mid(60 + d);
        Xani target;
        target.addFrame(makeFrame(solid(QSize(1, 1), 0xff000000), "kept", "PNG"));

        // act
        DebugCapture capture;
        const bool loaded = target.load(file);
        const QStringList messages = capture.messages();

        // assert
        QVERIFY(loaded);
        QCOMPARE(target.fileName(), file);
        QCOMPARE(target.frameCount(), 1);
        QCOMPARE(target.frame(0).name(), QStringLiteral("kept"));
        QCOMPARE(messages.size(), 3);
        QCOMPARE(messages.at(0), "XXXX:" + QString::number(indexText.size(), 16));
        QCOMPARE(messages.at(1), "XXXX:" + QString::number(indexText.size()));
        QCOMPARE(messages.at(2), "$$$$$$$$$$$$$$" + QString::fromLatin1(indexText));
    }

    void loadRejectsDamagedFiles_data()
    {
        QTest::addColumn<int>("keep");        // bytes kept of the good file, -1 all
        QTest::addColumn<int>("offset");      // where the patch goes, -1 none
        QTest::addColumn<QByteArray>("patch");

        QTest::newRow("empty file") << 0 << -1 << QByteArray();
        QTest::newRow("header cut") << 30 << -1 << QByteArray();
        QTest::newRow("frames cut") << 59 << -1 << QByteArray();
        QTest::newRow("index cut") << -2 << -1 << QByteArray();
        QTest::newRow("wrong file magic") << -1 << 0 << QByteArray("XANX");
        QTest::newRow("wrong data magic") << -1 << 20 << QByteArray("BINX");
        QTest::newRow("data length forged huge") << -1 << 24 << field("7fffffffffffffff");
        QTest::newRow("data length over 63 bits") << -1 << 24 << field("ffffffffffffffff");
        QTest::newRow("data length negative") << -1 << 24 << field("-1");
        QTest::newRow("data length prefixed") << -1 << 24 << field("0x4");
        QTest::newRow("data length not hex") << -1 << 24 << field("zz");
        QTest::newRow("data length blank") << -1 << 24 << field("");
        QTest::newRow("data length off by one") << -1 << 24 << field("1");
        QTest::newRow("index length forged huge") << -1 << -44 << field("7fffffff");
        QTest::newRow("index length too long by one") << -1 << -44 << QByteArray("+1");
        QTest::newRow("total length wrong") << -1 << 4 << field("1");
        QTest::newRow("bytes after the index") << -1 << -3 << QByteArray("x");
    }

    void loadRejectsDamagedFiles()
    {
        QFETCH(int, keep);
        QFETCH(int, offset);
        QFETCH(QByteArray, patch);
        // arrange: a good two-frame file, cut or patched
        QByteArray bytes = twoFrameBytes();
        QVERIFY(bytes.size() > 60);
        const qint64 d = lengthAt(bytes, 24);
        if (keep == -2)
            bytes.chop(1);
        else if (keep >= 0)
            bytes.truncate(keep);
        if (offset == -44 && patch == "+1")
            patch = field(QByteArray::number(lengthAt(bytes, 44 + d) + 1, 16));
        if (offset == -44)
            offset = 44 + d;
        if (offset == -3)
            offset = bytes.size();
        if (offset >= 0)
            bytes.replace(offset, patch.size(), patch);
        const QString file = path(QStringLiteral("damaged.xani"));
        QVERIFY(writeFile(file, bytes));
        Xani xani;
        fillTwoFrames(xani);

        // act
        DebugCapture capture;
        const bool loaded = xani.load(file);

        // assert
        QVERIFY(!loaded);
        QVERIFY2(capture.messages().isEmpty(), qPrintable(capture.messages().join('|')));
        QCOMPARE(xani.fileName(), file);
        QCOMPARE(xani.frameCount(), 2);
    }

    void loadDoesNotOpenAFifo()
    {
        const QString file = path(QStringLiteral("pipe.xani"));
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        FifoWatch watch(file);
        Xani xani;

        const bool loaded = xani.load(file);
        watch.stop();

        QVERIFY(!loaded);
        QVERIFY(!watch.readerSeen());
        QCOMPARE(xani.fileName(), file);
    }

    void loadOfMissingFileFailsButRecordsName()
    {
        Xani xani;
        const QString file = path(QStringLiteral("missing.xani"));

        QVERIFY(!xani.load(file));
        QCOMPARE(xani.fileName(), file);
    }

    void saveToUnopenablePathFailsAndLeavesNoFile()
    {
        Xani xani;
        fillTwoFrames(xani);
        const QString file = path(QStringLiteral("no/such/folder/x.xani"));

        QVERIFY(!xani.save(file, -1));
        QVERIFY(!QFile::exists(file));
    }

    void saveLeavesAFifoInPlace()
    {
        const QString file = path(QStringLiteral("pipe-out.xani"));
        const Fifo pipe(file);
        QVERIFY(pipe.isValid());
        Xani xani;
        fillTwoFrames(xani);

        const bool saved = xani.save(file, -1);

        QVERIFY(!saved);
        QVERIFY(pipe.stillThere());
    }

    void saveKeepsOldFileWhenWriteFails()
    {
        // arrange
        const QString file = path(QStringLiteral("old.xani"));
        const QByteArray old = twoFrameBytes();
        QVERIFY(writeFile(file, old));
        Xani xani;
        fillPngFrames(xani);

        // act
        bool saved = true;
        {
            FileSizeLimit limit(200);
            QVERIFY(limit.active());
            saved = xani.save(file, -1);
        }

        // assert
        QVERIFY(!saved);
        QCOMPARE(readFile(file), old);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("old.xani*")}, QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("old.xani")});
    }

    void saveToDeviceReportsWriteFailure_data()
    {
        QTest::addColumn<int>("failAfter"); // -1: the full size
        QTest::addColumn<bool>("expected");

        QTest::newRow("nothing written") << 0 << false;
        QTest::newRow("inside header") << 10 << false;
        QTest::newRow("inside frames") << 45 << false;
        QTest::newRow("inside index") << -2 << false;
        QTest::newRow("room for all") << -1 << true;
    }

    void saveToDeviceReportsWriteFailure()
    {
        QFETCH(int, failAfter);
        QFETCH(bool, expected);
        const QByteArray good = twoFrameBytes();
        if (failAfter == -1)
            failAfter = good.size();
        else if (failAfter == -2)
            failAfter = good.size() - 1;
        FailDevice device(failAfter);
        QVERIFY(device.open(QIODevice::WriteOnly));
        Xani xani;
        fillTwoFrames(xani);

        const bool saved = xani.save(&device, -1);

        QCOMPARE(saved, expected);
        if (expected)
            QCOMPARE(device.data(), good);
    }

    // A frame whose picture no writer encodes in its format fails the save,
    // which names the frame; nothing is written, an old file stays as it was.
    void saveFailsOnAFrameThatCannotBeEncoded_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("bad"); // the frame given that format
        QTest::addColumn<bool>("oldFile");
        QTest::newRow("format without a writer, first frame, new file") << "GIF" << 0 << false;
        QTest::newRow("unknown format, second frame, old file") << "NOPE" << 1 << true;
        QTest::newRow("no format, last frame, old file") << "" << 2 << true;
    }

    void saveFailsOnAFrameThatCannotBeEncoded()
    {
        // arrange
        QFETCH(QString, format);
        QFETCH(int, bad);
        QFETCH(bool, oldFile);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("frames.xani"));
        const QByteArray old = twoFrameBytes();
        if (oldFile)
            QVERIFY(writeFile(file, old));
        Xani xani;
        fillPngFrames(xani);
        XaniFrame frame = xani.frame(bad);
        frame.setFormat(format);
        xani.setFrame(bad, frame);
        QByteArray deviceBytes;
        QBuffer device(&deviceBytes);
        QVERIFY(device.open(QIODevice::WriteOnly));

        // act
        QString error;
        const bool saved = xani.save(file, -1, &error);
        QString deviceError;
        const bool savedToDevice = xani.save(&device, -1, &deviceError);

        // assert
        QVERIFY(!saved);
        QVERIFY(!savedToDevice);
        const QString named = QStringLiteral("Frame %1 (\"%2\") cannot be encoded as \"%3\"")
                                  .arg(bad)
                                  .arg(frame.name(), format);
        QVERIFY2(error.startsWith(named), qPrintable(error));
        QVERIFY2(deviceError.startsWith(named), qPrintable(deviceError));
        QCOMPARE(deviceBytes, QByteArray());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 oldFile ? QStringList{QStringLiteral("frames.xani")} : QStringList());
        if (oldFile)
            QCOMPARE(readFile(file), old);
    }

    void saveToFileDeviceReportsFailedFlush()
    {
        QFile full(QStringLiteral("/dev/full"));
        if (!full.open(QIODevice::WriteOnly))
            QSKIP("no /dev/full here");
        Xani xani;
        fillTwoFrames(xani);

        QVERIFY(!xani.save(&full, -1));
    }
};

GLYPH_TEST_MAIN(TestAnimationFile)
#include "tst_animationfile.moc"
