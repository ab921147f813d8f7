#include "app.h"
#include "creator.h"
#include "droparea.h"
#include "imageloader.h"
#include "modalanswerer.h"
#include "dragdrop.h"
#include "fifowatch.h"
#include "pngbytes.h"
#include "testmain.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>
#include <sys/stat.h>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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

// A drop as the platform delivers it: the drag enters (which makes the area
// the drop target) and is then dropped.
void sendDrop(QWidget *target, QMimeData *mime)
{
    DragDrop::drop(target, mime, QPoint(140, 140));
}

void sendDrop(QWidget *target, const QList<QUrl> &urls)
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

    void unreadableFilesLeaveTheRoadEmpty_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("truncated png") << "truncated";
        QTest::newRow("not an image") << "text";
        QTest::newRow("over-large header") << "huge";
        QTest::newRow("missing file") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("remote url") << "remote";
    }

    void unreadableFilesLeaveTheRoadEmpty()
    {
        // arrange
        QFETCH(QString, kind);
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
        } else if (kind == "folder") {
            QVERIFY(QDir(m_dir.path()).mkdir("bad_folder"));
        } else if (kind == "remote") {
            url = QUrl("http://example.invalid/picture.png");
        }
        Creator creator;
        Recorder rec(&creator);
        std::unique_ptr<FifoWatch> watch(kind == "fifo" ? new FifoWatch(path) : nullptr);

        // act
        sendDrop(dropAreaOf(creator), {url});
        if (watch)
            watch->stop();

        // assert
        QVERIFY2(!watch || !watch->readerSeen(), "the FIFO was opened");
        QCOMPARE(rec.events, QStringList({"pixmap null", "real", "real"}));
        QVERIFY(dropAreaOf(creator)->picture().isNull());
        QVERIFY(!caption(&creator)->isHidden());
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

        const QImage loaded = ImageLoader::load(path);

        QCOMPARE(loaded.isNull(), !loads);
        if (loads)
            QCOMPARE(loaded.size(), size);
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

        // act
        dropAreaOf(creator)->findChild<QPushButton *>()->click();

        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(mode, QFileDialog::ExistingFiles);
        QCOMPARE(dropAreaOf(creator)->fileName(), a);
        QCOMPARE(rec.events, QStringList({"pixmap 12x6", "real", "real"}));
        QVERIFY(dropAreaOf(creator)->findChild<QPushButton *>()->isHidden());
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
