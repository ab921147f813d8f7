// The test format below registers as a plugin linked into this executable.
#define QT_STATICPLUGIN

#include "app.h"
#include "creator.h"
#include "droparea.h"
#include "effectsform.h"
#include "imageheader.h"
#include "imagedecoder.h"
#include "modalanswerer.h"
#include "dragdrop.h"
#include "fifowatch.h"
#include "picturebytes.h"
#include "pngbytes.h"
#include "testmain.h"

#include <QBuffer>
#include <QFileDialog>
#include <QImageIOPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>
#include <sys/stat.h>

// A picture format of the tests' own, "GLYPHTEST <w> <h> <W> <H>": its header
// announces w x h, its decoder gives a blank W x H picture and counts decodes.
class TestFormatHandler : public QImageIOHandler
{
public:
    static int decodes;

    static bool canRead(QIODevice *device) { return device && device->peek(9) == "GLYPHTEST"; }
    bool canRead() const override { return canRead(device()); }
    bool supportsOption(ImageOption option) const override { return option == Size; }
    QVariant option(ImageOption option) const override
    {
        const QList<QByteArray> fields = device()->peek(64).simplified().split(' ');
        if (option != Size || fields.size() != 5)
            return QVariant();
        return QSize(fields.at(1).toInt(), fields.at(2).toInt());
    }
    bool read(QImage *image) override
    {
        const QList<QByteArray> fields = device()->readAll().simplified().split(' ');
        if (fields.size() != 5)
            return false;
        ++decodes;
        *image = QImage(fields.at(3).toInt(), fields.at(4).toInt(), QImage::Format_Mono);
        image->setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image->fill(1);
        return !image->isNull();
    }
};

int TestFormatHandler::decodes = 0;

// Collects the messages Qt and its decoders log while it lives.
class DecoderMessages
{
public:
    DecoderMessages()
    {
        s_messages.clear();
        m_previous = qInstallMessageHandler(collect);
    }
    ~DecoderMessages() { qInstallMessageHandler(m_previous); }
    QStringList take() { return std::move(s_messages); }

private:
    static void collect(QtMsgType, const QMessageLogContext &, const QString &text) { s_messages << text; }
    static QStringList s_messages;
    QtMessageHandler m_previous;
};

QStringList DecoderMessages::s_messages;

class TestFormatPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "data/glyphtest.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        if (format == "glyphtest")
            return CanRead;
        if (!format.isEmpty() || !device || !device->isOpen())
            return Capabilities();
        return TestFormatHandler::canRead(device) ? CanRead : Capabilities();
    }
    QImageIOHandler *create(QIODevice *device, const QByteArray &) const override
    {
        auto *handler = new TestFormatHandler;
        handler->setDevice(device);
        handler->setFormat("glyphtest");
        return handler;
    }
};

Q_IMPORT_PLUGIN(TestFormatPlugin)

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgb(200, 100, 50));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString writeImage(const QTemporaryDir &dir, const QString &name, int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    return image.save(path, "PNG") ? path : QString();
}

struct Recorder
{
    QStringList events;
    QPixmap lastPixmap;

    explicit Recorder(Creator *creator)
    {
        QObject::connect(creator, &Creator::pixmapChanged, [this](const QPixmap &p) {
            lastPixmap = p;
            events << (p.isNull() ? QStringLiteral("pixmap null")
                                  : QStringLiteral("pixmap %1x%2").arg(p.width()).arg(p.height()));
        });
        QObject::connect(creator, &Creator::formatChanged,
                         [this](const QString &f) { events << QStringLiteral("format:") + f; });
        QObject::connect(creator, &Creator::realPreview, [this] { events << QStringLiteral("real"); });
    }
};

bool sendDragEnter(QWidget *target, QMimeData *mime, QPoint pos)
{
    return DragDrop::enter(target, mime, pos);
}

// Runs the event loop until the area has taken or refused what it reads.
bool readingEnds(CreatorDropArea *area)
{
    return QTest::qWaitFor([area] { return !area->isReading(); }, 60000);
}

// A drop as the platform delivers it: the drag enters (which makes the area
// the drop target) and is then dropped; the file is then read to its end.
void sendDrop(CreatorDropArea *target, QMimeData *mime)
{
    DragDrop::drop(target, mime, QPoint(140, 140));
    QVERIFY(readingEnds(target));
}

void sendDrop(CreatorDropArea *target, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    sendDrop(target, &mime);
}

QLabel *caption(Creator *creator)
{
    for (QLabel *label : creator->findChildren<QLabel *>())
        if (label->text().contains("Original"))
            return label;
    return nullptr;
}

} // namespace

class TestCreator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    CreatorDropArea *dropAreaOf(Creator &creator)
    {
        return creator.findChild<CreatorDropArea *>(QStringLiteral("DropArea"));
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void dragEnterNeedsUriList_data()
    {
        QTest::addColumn<bool>("files");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain text refused") << false << QPoint(140, 140) << false;
        QTest::newRow("files at top left") << true << QPoint(0, 0) << true;
        QTest::newRow("files at centre") << true << QPoint(140, 140) << true;
        QTest::newRow("files at bottom right") << true << QPoint(279, 279) << true;
    }

    void dragEnterNeedsUriList()
    {
        QFETCH(bool, files);
        QFETCH(QPoint, pos);
        QFETCH(bool, accepted);
        Creator creator;
        QMimeData mime;
        if (files)
            mime.setUrls({QUrl::fromLocalFile(m_dir.filePath("a.png"))});
        else
            mime.setText("just text");

        QCOMPARE(sendDragEnter(dropAreaOf(creator), &mime, pos), accepted);
    }

    void columnOutsideTheDropAreaRefusesDrags()
    {
        Creator creator;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(m_dir.filePath("a.png"))});

        QVERIFY(!sendDragEnter(&creator, &mime, QPoint(5, 300)));
    }

    void dropTakesTheFirstOfThreeFiles()
    {
        // arrange
        const QString first = writeImage(m_dir, "first.png", 100, 50, qRgb(10, 200, 30));
        const QString second = writeImage(m_dir, "second.png", 30, 30, qRgb(1, 2, 3));
        const QString third = writeImage(m_dir, "third.png", 20, 10, qRgb(1, 2, 3));
        Creator creator;
        CreatorDropArea *area = dropAreaOf(creator);
        QPushButton *button = area->findChild<QPushButton *>(QStringLiteral("PushButton"));
        QVERIFY(button && !button->isHidden());
        QVERIFY(caption(&creator)->isHidden());
        Recorder rec(&creator);

        // act
        sendDrop(area, {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(third)});

        // assert: one load forwards the form's real preview and adds its own
        QCOMPARE(area->fileName(), first);
        QCOMPARE(rec.events, QStringList({"pixmap 100x50", "real", "real"}));
        QCOMPARE(rec.lastPixmap.toImage().pixel(50, 25), qRgb(10, 200, 30));
        QCOMPARE(area->picture().size(), QSize(560, 280));
        QVERIFY(area->text().isEmpty());
        QVERIFY(button->isHidden());
        QVERIFY(!caption(&creator)->isHidden());
    }

    void thumbnailKeepsTheAspectRatio_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("thumbnail");
        QTest::newRow("wide") << QSize(100, 50) << QSize(560, 280);
        QTest::newRow("tall") << QSize(50, 100) << QSize(280, 560);
        QTest::newRow("large square") << QSize(4000, 4000) << QSize(560, 560);
    }

    void thumbnailKeepsTheAspectRatio()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, thumbnail);
        const QString path = writeImage(m_dir, QStringLiteral("thumb_%1x%2.png").arg(image.width()).arg(image.height()),
                                        image.width(), image.height(), qRgb(90, 90, 90));
        Creator creator;

        sendDrop(dropAreaOf(creator), {QUrl::fromLocalFile(path)});

        QCOMPARE(dropAreaOf(creator)->picture().size(), thumbnail);
    }

    void laterDropReplacesTheImage()
    {
        const QString a = writeImage(m_dir, "later_a.png", 40, 20, qRgb(0, 0, 0));
        const QString b = writeImage(m_dir, "later_b.png", 10, 30, qRgb(0, 0, 0));
        Creator creator;
        sendDrop(dropAreaOf(creator), {QUrl::fromLocalFile(a)});
        Recorder rec(&creator);

        sendDrop(dropAreaOf(creator), {QUrl::fromLocalFile(b)});

        QCOMPARE(dropAreaOf(creator)->fileName(), b);
        QCOMPARE(rec.events, QStringList({"pixmap 10x30", "real", "real"}));
        QCOMPARE(dropAreaOf(creator)->picture().size(), QSize(186, 560));
    }

    void laterDropReplacesOneBeingRead_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("taken");
        QTest::addColumn<QString>("said");
        QTest::newRow("the later one is taken") << "picture" << QStringList({"pixmap 10x30", "real", "real"})
                                                << "later" << QString();
        QTest::newRow("the later one is refused: the earlier one is taken")
            << "text" << QStringList({"pixmap 40x20", "real", "real"}) << "first" << "not a picture";
    }

    void laterDropReplacesOneBeingRead()
    {
        // arrange
        QFETCH(QString, second);
        QFETCH(QStringList, events);
        QFETCH(QString, taken);
        QFETCH(QString, said);
        const QString first = writeImage(m_dir, "read_first.png", 40, 20, qRgb(0, 0, 0));
        QString later = writeImage(m_dir, "read_later.png", 10, 30, qRgb(0, 0, 0));
        if (second == "text") {
            later = m_dir.filePath("read_later.txt");
            QVERIFY(writeFile(later, "this is not a picture\n"));
        }
        Creator creator;
        CreatorDropArea *area = dropAreaOf(creator);
        Recorder rec(&creator);

        // act: the second drop comes before the first file is read
        QVERIFY(DragDrop::dropUrls(area, {QUrl::fromLocalFile(first)}));
        sendDrop(area, {QUrl::fromLocalFile(later)});

        // assert: the later file replaces the earlier one only if it is taken;
        // a refusal is told
        QCOMPARE(rec.events, events);
        QCOMPARE(area->fileName(), taken == "first" ? first : later);
        QVERIFY(!area->isReading());
        const QLabel *message = area->findChild<QLabel *>(QStringLiteral("DropMessage"));
        QCOMPARE(message->isHidden(), said.isEmpty());
        if (!said.isEmpty())
            QVERIFY2(message->text().contains(said) && message->text().contains("read_later.txt"),
                     qPrintable(message->text()));
    }

    void dropWithoutUrlsChangesNothing()
    {
        Creator creator;
        Recorder rec(&creator);
        QMimeData mime;
        mime.setData("text/uri-list", QByteArray());

        sendDrop(dropAreaOf(creator), &mime);

        QVERIFY(rec.events.isEmpty());
        QVERIFY(dropAreaOf(creator)->fileName().isEmpty());
        QVERIFY(!dropAreaOf(creator)->findChild<QPushButton *>()->isHidden());
    }

    void refusedFilesAreNotTakenAndSayWhy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("fifo") << "fifo" << "not a file that can be read";
        QTest::newRow("truncated png") << "truncated" << "not a picture";
        QTest::newRow("not an image") << "text" << "not a picture";
        QTest::newRow("over-large header") << "huge" << "too large";
        QTest::newRow("16-bit png within the pixel cap, over the memory budget") << "costly" << "too much memory";
        QTest::newRow("photo turned by its orientation, over the memory budget") << "turned" << "too much memory";
        QTest::newRow("missing file") << "missing" << "not a file that can be read";
        QTest::newRow("folder") << "folder" << "not a file that can be read";
        QTest::newRow("remote url") << "remote" << "not a local file";
    }

    void refusedFilesAreNotTakenAndSayWhy()
    {
        // arrange
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = m_dir.filePath("bad_" + kind);
        QUrl url = QUrl::fromLocalFile(path);
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "truncated") {
            const QString good = writeImage(m_dir, "good_for_truncation.png", 64, 64, qRgba(1, 2, 3, 4));
            QFile file(good);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY(writeFile(path, bytes.left(bytes.size() / 2)));
        } else if (kind == "text") {
            QVERIFY(writeFile(path, "this is not a picture\n"));
        } else if (kind == "huge") {
            QVERIFY(writeFile(path, PngBytes::header(20000, 20000) + PngBytes::chunk("IEND", QByteArray())));
        } else if (kind == "costly") {
            QVERIFY(writeFile(path, PngBytes::zeros(7100, 7100, 16, 6)));
        } else if (kind == "turned") {
            QVERIFY(writeFile(path, PictureBytes::withFrameSize(PictureBytes::orientedJpeg(8, 8, 6), 10000, 10000)));
        } else if (kind == "folder") {
            QVERIFY(QDir(m_dir.path()).mkdir("bad_folder"));
        } else if (kind == "remote") {
            url = QUrl("http://example.invalid/picture.png");
        }
        Creator creator;
        CreatorDropArea *area = dropAreaOf(creator);
        const QImage startPicture = area->picture().toImage();
        Recorder rec(&creator);
        std::unique_ptr<FifoWatch> watch(kind == "fifo" ? new FifoWatch(path) : nullptr);

        // act
        sendDrop(area, {url});
        if (watch)
            watch->stop();

        // assert: nothing reaches the road, the area stays as it was and says why
        QVERIFY2(!watch || !watch->readerSeen(), "the FIFO was opened");
        QVERIFY(rec.events.isEmpty());
        QVERIFY(area->fileName().isEmpty());
        QCOMPARE(area->picture().toImage(), startPicture);
        QVERIFY(!area->findChild<QPushButton *>(QStringLiteral("PushButton"))->isHidden());
        QVERIFY(caption(&creator)->isHidden());
        const QLabel *message = area->findChild<QLabel *>(QStringLiteral("DropMessage"));
        QVERIFY(message && !message->isHidden());
        QVERIFY2(message->text().contains(reason), qPrintable(message->text()));
    }

    void loaderCapsThePixelCount_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("loads");
        QTest::newRow("exactly at the cap") << QSize(10000, 10000) << true;
        QTest::newRow("one row beyond") << QSize(10000, 10001) << false;
    }

    void loaderCapsThePixelCount()
    {
        // A 1-bit picture decodes cheaply, so only the cap can refuse it.
        QFETCH(QSize, size);
        QFETCH(bool, loads);
        QImage mono(size, QImage::Format_Mono);
        mono.fill(0);
        const QString path = m_dir.filePath(QStringLiteral("mono_%1.png").arg(size.height()));
        QVERIFY(mono.save(path, "PNG"));
        mono = QImage();

        const QImage loaded = MGraphX::ImageDecoder::decodeFile(path, true);

        QCOMPARE(loaded.isNull(), !loads);
        if (loads)
            QCOMPARE(loaded.size(), size);
    }

    void loaderCapsWhatTheFileWillDecodeTo_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QSize>("decoded");
        QTest::addColumn<bool>("loads");
        QTest::newRow("icon holding a huge png")
            << PictureBytes::icoHolding(PngBytes::header(23000, 23000) + PngBytes::chunk("IEND", QByteArray()))
            << "ico" << QSize(23000, 23000) << false;
        QTest::newRow("icon holding a small png") << PictureBytes::icoHolding(pngOf(3, 2)) << "ico" << QSize(3, 2)
                                                  << true;
        QTest::newRow("huge top-down bitmap") << PictureBytes::topDownBmp(20000, 20000, false) << "bmp"
                                              << QSize(20000, 20000) << false;
        QTest::newRow("small top-down bitmap") << PictureBytes::topDownBmp(3, 2, true) << "bmp" << QSize(3, 2)
                                               << true;
        QTest::newRow("gif with a screen beyond the cap") << PictureBytes::gifOnScreen(10001, 10000) << "gif"
                                                          << QSize(10001, 10000) << false;
        QTest::newRow("gif with a screen larger than its frame") << PictureBytes::gifOnScreen(4, 3) << "gif"
                                                                 << QSize(4, 3) << true;
        QTest::newRow("gif without a screen size") << PictureBytes::gifOnScreen(0, 0) << "gif" << QSize()
                                                   << false;
        QTest::newRow("16-bit png over the memory budget") << PngBytes::zeros(7100, 7100, 16, 6) << "png"
                                                           << QSize(7100, 7100) << false;
        QTest::newRow("progressive colour jpeg, coefficients over the memory budget")
            << PictureBytes::jpeg(7000, 7000, 3, 10, true) << "jpg" << QSize(7000, 7000) << false;
        QTest::newRow("progressive jpeg of ten scans") << PictureBytes::jpeg(16, 16, 1, 10, true) << "jpg"
                                                       << QSize(16, 16) << true;
        QTest::newRow("progressive jpeg of too many scans") << PictureBytes::jpeg(16, 16, 1, 65, true) << "jpg"
                                                            << QSize(16, 16) << false;
        QTest::newRow("progressive jpeg of refinement scans beyond the work budget")
            << PictureBytes::refiningJpeg(10000, 10000, 13) << "jpg" << QSize(10000, 10000) << false;
        QByteArray forged = pngOf(40, 30).insert(33, PngBytes::chunk("tEXt", QByteArray("a\0b", 3)));
        forged.replace(33, 4, QByteArray("\x70\0\0\0", 4)); // the text claims 1.8 GB
        QTest::newRow("png whose chunk length points beyond the file") << forged << "png" << QSize(40, 30) << false;
        QTest::newRow("16-bit grey png of 64 megapixels") << PngBytes::zeros(8000, 8000, 16, 0) << "png"
                                                          << QSize(8000, 8000) << true;
        QTest::newRow("photo turned by its orientation at the pixel cap, over the memory budget by its turn")
            << PictureBytes::withFrameSize(PictureBytes::orientedJpeg(8, 8, 6), 10000, 10000) << "jpg"
            << QSize(10000, 10000) << false;
    }

    void loaderCapsWhatTheFileWillDecodeTo()
    {
        // arrange
        QFETCH(QByteArray, bytes);
        QFETCH(QString, suffix);
        QFETCH(QSize, decoded);
        QFETCH(bool, loads);
        static int files = 0;
        const QString path = m_dir.filePath(QStringLiteral("sized_%1.%2").arg(++files).arg(suffix));
        QVERIFY(writeFile(path, bytes));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));

        // act
        const QSize size = MGraphX::ImageHeader(&file).size();
        DecoderMessages messages;
        const QImage image = MGraphX::ImageDecoder::decodeFile(path, true);
        const QStringList said = messages.take();

        // assert: what is refused here is refused from the headers, before a decoder runs
        QCOMPARE(size, decoded);
        QCOMPARE(image.isNull(), !loads);
        if (loads)
            QCOMPARE(image.size(), decoded);
        else
            QVERIFY2(said.isEmpty(), qPrintable(said.join('\n')));
    }

    void loaderTurnsThePictureByItsOrientation_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("corner"); // where the stored top-left corner is shown
        QTest::newRow("as stored") << 1 << QSize(40, 30) << QPoint(2, 2);
        QTest::newRow("turned right") << 6 << QSize(30, 40) << QPoint(27, 2);
        QTest::newRow("upside down") << 3 << QSize(40, 30) << QPoint(37, 27);
        QTest::newRow("turned left") << 8 << QSize(30, 40) << QPoint(2, 37);
    }

    void loaderTurnsThePictureByItsOrientation()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, size);
        QFETCH(QPoint, corner);
        const QString path = m_dir.filePath(QStringLiteral("oriented_%1.jpg").arg(orientation));
        QVERIFY(writeFile(path, PictureBytes::orientedJpeg(40, 30, orientation)));

        const QImage image = MGraphX::ImageDecoder::decodeFile(path, true);

        QCOMPARE(image.size(), size);
        const QRgb shown = image.pixel(corner);
        QVERIFY2(qBlue(shown) > 200 && qRed(shown) < 60, qPrintable(QString::number(shown, 16)));
    }

    void loaderChecksTheDecodedPictureToo_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("loads");
        QTest::newRow("decodes as announced") << QByteArray("GLYPHTEST 40 30 40 30\n") << true;
        QTest::newRow("decodes to the cap") << QByteArray("GLYPHTEST 40 30 10000 10000\n") << true;
        QTest::newRow("decodes beyond the cap") << QByteArray("GLYPHTEST 40 30 10001 10000\n") << false;
    }

    void loaderChecksTheDecodedPictureToo()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loads);
        const QString path = m_dir.filePath(QStringLiteral("announced.glyphtest"));
        QVERIFY(writeFile(path, bytes));

        const QImage image = MGraphX::ImageDecoder::decodeFile(path, true);

        QCOMPARE(image.isNull(), !loads);
    }

    void dropDecodesTheFileOnce()
    {
        // arrange
        const QString path = m_dir.filePath(QStringLiteral("once.glyphtest"));
        QVERIFY(writeFile(path, "GLYPHTEST 30 20 30 20\n"));
        Creator creator;
        Recorder rec(&creator);
        TestFormatHandler::decodes = 0;

        // act
        sendDrop(dropAreaOf(creator), {QUrl::fromLocalFile(path)});

        // assert: one decode gave both the thumbnail and the road's picture
        QCOMPARE(rec.events, QStringList({"pixmap 30x20", "real", "real"}));
        QCOMPARE(rec.lastPixmap.toImage().pixel(15, 10), qRgb(255, 255, 255));
        QCOMPARE(dropAreaOf(creator)->picture().size(), QSize(560, 373));
        QCOMPARE(TestFormatHandler::decodes, 1);
    }

    void dropIsTakenAsACopy_data()
    {
        QTest::addColumn<int>("possible");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("proposed");
        QTest::addColumn<bool>("taken");
        QTest::newRow("copy or move, move proposed") << int(Qt::CopyAction | Qt::MoveAction)
                                                     << int(Qt::ShiftModifier) << int(Qt::MoveAction) << true;
        QTest::newRow("copy only") << int(Qt::CopyAction) << int(Qt::NoModifier) << int(Qt::CopyAction) << true;
        QTest::newRow("move only") << int(Qt::MoveAction) << int(Qt::NoModifier) << int(Qt::MoveAction) << false;
    }

    void dropIsTakenAsACopy()
    {
        // arrange
        QFETCH(int, possible);
        QFETCH(int, modifiers);
        QFETCH(int, proposed);
        QFETCH(bool, taken);
        const QString path = writeImage(m_dir, "copied.png", 8, 8, qRgb(1, 2, 3));
        Creator creator;
        CreatorDropArea *area = dropAreaOf(creator);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        const auto actions = Qt::DropActions(possible);
        const auto keys = Qt::KeyboardModifiers(modifiers);
        QDragEnterEvent enter(QPoint(140, 140), actions, &mime, Qt::LeftButton, keys);
        QDropEvent drop(QPointF(140, 140), actions, &mime, Qt::LeftButton, keys);
        QCOMPARE(int(enter.proposedAction()), proposed);

        // act
        QApplication::sendEvent(area, &enter);
        QApplication::sendEvent(area, &drop);
        QVERIFY(readingEnds(area));

        // assert: whatever the source proposes, a copy or nothing
        QCOMPARE(enter.isAccepted(), taken);
        QCOMPARE(drop.isAccepted(), taken);
        QCOMPARE(area->fileName(), taken ? path : QString());
        if (taken) {
            QCOMPARE(enter.dropAction(), Qt::CopyAction);
            QCOMPARE(drop.dropAction(), Qt::CopyAction);
        }
    }

    void openButtonTakesTheFirstChosenFile()
    {
        // arrange
        const QString a = writeImage(m_dir, "open_a.png", 12, 6, qRgb(5, 5, 5));
        writeImage(m_dir, "open_b.png", 7, 7, qRgb(5, 5, 5));
        writeImage(m_dir, "open_c.png", 8, 8, qRgb(5, 5, 5));
        Creator creator;
        creator.show();
        Recorder rec(&creator);
        const QString dirPath = m_dir.path();
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        ModalAnswerer answerer([dirPath, &mode](QWidget *dialog) {
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            if (fileDialog) {
                mode = fileDialog->fileMode();
                fileDialog->setDirectory(dirPath);
                if (auto *edit = fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    edit->setText("\"open_a.png\" \"open_b.png\" \"open_c.png\"");
                static_cast<QDialog *>(fileDialog)->accept();
            }
            // Never leave the dialog open: the test would hang in it.
            if (dialog->isVisible())
                static_cast<QDialog *>(dialog)->reject();
        });
        answerer.setClassName("QFileDialog");

        // act: the button clicked from the keyboard, so it has the focus
        QPushButton *open = dropAreaOf(creator)->findChild<QPushButton *>();
        QApplication::setActiveWindow(&creator);
        open->setFocus();
        QVERIFY(open->hasFocus());
        open->click();
        QVERIFY(readingEnds(dropAreaOf(creator)));

        // assert: the focus the hidden button had is on the form's first control
        QVERIFY(answerer.answered());
        QCOMPARE(mode, QFileDialog::ExistingFiles);
        QCOMPARE(dropAreaOf(creator)->fileName(), a);
        QCOMPARE(rec.events, QStringList({"pixmap 12x6", "real", "real"}));
        QVERIFY(open->isHidden());
        QWidget *focused = creator.focusWidget();
        QVERIFY2(focused && creator.findChild<CreatorEffects *>()->isAncestorOf(focused),
                 focused ? focused->metaObject()->className() : "nothing");
    }

    void cancelledOpenChangesNothing()
    {
        Creator creator;
        creator.show();
        Recorder rec(&creator);
        ModalAnswerer answerer([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); });
        answerer.setClassName("QFileDialog");

        dropAreaOf(creator)->findChild<QPushButton *>()->click();

        QVERIFY(answerer.answered());
        QVERIFY(rec.events.isEmpty());
        QVERIFY(dropAreaOf(creator)->fileName().isEmpty());
        QVERIFY(!dropAreaOf(creator)->findChild<QPushButton *>()->isHidden());
    }
};

GLYPH_APP_TEST_MAIN(TestCreator, QMWidgets::App)
#include "tst_creator.moc"
