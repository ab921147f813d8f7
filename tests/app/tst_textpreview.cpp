// The text views: their five templates, copy, save and the browser pages.

#include "app.h"
#include "faildevice.h"
#include "encodedimagecache.h"
#include "formatbytesize.h"
#include "longtextedit.h"
#include "idle.h"
#include "modalanswerer.h"
#include "openerprocess.h"
#include "filesizelimit.h"
#include "lockedfolder.h"
#include "safefilewriter.h"
#include "standinopener.h"
#include "stderrcapture.h"
#include "testmain.h"
#include "textpreview.h"
#include "urlrecorder.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextCursor>
#include <QThreadPool>
#include <QVBoxLayout>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>


namespace {

const char payloadToken[] = "@PAYLOAD@";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString golden(const QString &name)
{
    return QString::fromLatin1(readFile(qEnvironmentVariable("GLYPH_TEST_DATA") + QLatin1Char('/') + name));
}

// A 3 x 2 opaque picture with six different colours.
QImage opaqueImage()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(0, 0, 255),
                            qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(255, 255, 255)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, colours[i]);
    return image;
}

// The opaque picture with its first pixel changed.
QPixmap newerPixmap()
{
    QImage other = opaqueImage();
    other.setPixel(0, 0, qRgb(1, 2, 3));
    return QPixmap::fromImage(other);
}

// The opaque picture with its first pixel set from n: a picture per n.
QPixmap variantPixmap(int n)
{
    QImage other = opaqueImage();
    other.setPixel(0, 0, qRgb(n, 200, 100));
    return QPixmap::fromImage(other);
}

// The HTML text of a picture, encoded as PNG.
QString htmlTextOf(const QPixmap &pixmap)
{
    const QByteArray bytes = EncodedImageCache::encode(pixmap.toImage(), QStringLiteral("PNG"));
    return TextPreview::buildText(TextPreview::Html, QStringLiteral("png"),
                                  QString::fromLatin1(bytes.toBase64()), pixmap.width(), pixmap.height());
}

LongTextEdit *editorOf(TextPreview &preview)
{
    return preview.findChild<LongTextEdit *>();
}

QString sizeTextOf(TextPreview &preview)
{
    return preview.findChild<QLabel *>()->text();
}

// Keeps every thread of the global pool busy while it lives: work handed to
// the pool waits, so a text on its way stays on its way.
class PoolBlocker
{
public:
    PoolBlocker()
        : m_threads(QThreadPool::globalInstance()->maxThreadCount())
    {
        for (int i = 0; i < m_threads; ++i)
            QThreadPool::globalInstance()->start([this] {
                m_started.release();
                m_release.acquire();
            });
        m_started.acquire(m_threads);
    }
    ~PoolBlocker()
    {
        m_release.release(m_threads);
        QThreadPool::globalInstance()->waitForDone();
    }

private:
    const int m_threads;
    QSemaphore m_started;
    QSemaphore m_release;
};

// Makes standard error a pipe whose reader is gone (a closed terminal's
// tee) for its lifetime.
class StderrToClosedPipe
{
public:
    StderrToClosedPipe()
    {
        int ends[2];
        if (::pipe(ends) != 0)
            return;
        ::close(ends[0]);
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(ends[1], STDERR_FILENO);
        ::close(ends[1]);
    }
    ~StderrToClosedPipe()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    bool active() const { return m_saved >= 0; }

private:
    int m_saved = -1;
};

// A text view laid in the window and shown, given the picture; its text
// comes when the event loop runs.
TextPreview *viewIn(QWidget *window, const QPixmap &pixmap)
{
    auto *preview = new TextPreview;
    (new QVBoxLayout(window))->addWidget(preview);
    window->show();
    preview->slotSetPixmap(pixmap);
    return preview;
}

// Clicks the view's Save and confirms the name in the file dialog; false
// when no dialog asked for a name.
bool confirmSave(TextPreview *preview, const QString &name)
{
    ModalAnswerer answerer(ModalAnswerer::acceptFileDialog(name));
    answerer.setClassName("QFileDialog");
    preview->findChild<QPushButton *>(QStringLiteral("SaveButton"))->click();
    return answerer.answered();
}

} // namespace

class TestTextPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void templateBeforeAnyImage_data();
    void templateBeforeAnyImage();
    void templateOfOpaqueImage_data();
    void templateOfOpaqueImage();
    void formatWordFollowsFormatName_data();
    void formatWordFollowsFormatName();

    void copyPutsEditedTextOnClipboard();
    void exportCarriesTextOfNewPicture_data();
    void exportCarriesTextOfNewPicture();
    void heldExportIsDroppedWhenThePictureGoes_data();
    void heldExportIsDroppedWhenThePictureGoes();
    void confirmedSaveOutlivesTheView_data();
    void confirmedSaveOutlivesTheView();
    void everyConfirmedSaveIsWrittenInOrder_data();
    void everyConfirmedSaveIsWrittenInOrder();
    void teardownCompletesOnlyHeldSaves_data();
    void teardownCompletesOnlyHeldSaves();
    void heldSaveWritesThePictureItWasConfirmedFor_data();
    void heldSaveWritesThePictureItWasConfirmedFor();
    void everyEndingWritesHeldSavesAndDropsTheRest_data();
    void everyEndingWritesHeldSavesAndDropsTheRest();
    void saveConfirmedWhileATextIsExpectedCarriesWhatSettles_data();
    void saveConfirmedWhileATextIsExpectedCarriesWhatSettles();

    void saveEncodesText_data();
    void saveEncodesText();
    void saveThroughDialog();
    void saveFailsWhenFolderIsMissing();
    void saveFailsInReadOnlyFolder();
    void saveKeepsWritableFileInLockedFolder();
    void saveKeepsOldFileWhenWriteFails();
    void writeAllStopsAtFailingDevice();
    void writeNeverReplacesWhatIsNoRegularFile_data();
    void writeNeverReplacesWhatIsNoRegularFile();

    void showWritesPageAndOpensIt_data();
    void showWritesPageAndOpensIt();
    void showDoesNothingForOtherForms_data();
    void showDoesNothingForOtherForms();
    void showOpensNothingWhenPageCannotBeWritten();
    void showSaysWhyItFails_data();
    void showSaysWhyItFails();
};

void TestTextPreview::init()
{
    UrlRecorder::instance()->clear();
}

void TestTextPreview::templateBeforeAnyImage_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("goldenFile");
    QTest::addColumn<bool>("showButton");

    QTest::newRow("HTML") << int(TextPreview::Html) << "html_empty.txt" << true;
    QTest::newRow("CSS") << int(TextPreview::Css) << "css_empty.txt" << true;
    QTest::newRow("XML") << int(TextPreview::Xml) << "xml_empty.txt" << false;
    QTest::newRow("XHTML") << int(TextPreview::Xhtml) << "xhtml_empty.txt" << false;
    QTest::newRow("BASE64") << int(TextPreview::Base64) << "base64_empty.txt" << false;
}

void TestTextPreview::templateBeforeAnyImage()
{
    QFETCH(int, type);
    QFETCH(QString, goldenFile);
    QFETCH(bool, showButton);
    // arrange
    TextPreview preview;
    preview.setType(type);

    // act
    preview.show();

    // assert
    const QString expected = golden(goldenFile);
    QCOMPARE(editorOf(preview)->toPlainText(), expected);
    QCOMPARE(sizeTextOf(preview), QStringLiteral("Size: ") + formatByteSize(expected.length()));
    QCOMPARE(preview.findChild<QPushButton *>(QStringLiteral("ShowButton"))->isVisible(), showButton);
    QVERIFY(preview.findChild<QPushButton *>(QStringLiteral("CopyButton"))->isVisible());
    QVERIFY(preview.findChild<QPushButton *>(QStringLiteral("SaveButton"))->isVisible());
}

void TestTextPreview::templateOfOpaqueImage_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("goldenFile");

    QTest::newRow("HTML") << int(TextPreview::Html) << "html_3x2.txt";
    QTest::newRow("CSS") << int(TextPreview::Css) << "css_3x2.txt";
    QTest::newRow("XML") << int(TextPreview::Xml) << "xml_3x2.txt";
    QTest::newRow("XHTML") << int(TextPreview::Xhtml) << "xhtml_3x2.txt";
    QTest::newRow("BASE64") << int(TextPreview::Base64) << "base64_3x2.txt";
}

void TestTextPreview::templateOfOpaqueImage()
{
    QFETCH(int, type);
    QFETCH(QString, goldenFile);
    // arrange: the golden text holds a token where the base64 text goes
    const QString expected = golden(goldenFile);
    const int token = expected.indexOf(QLatin1String(payloadToken));
    QVERIFY(token >= 0);
    const QString head = expected.left(token);
    const QString tail = expected.mid(token + int(qstrlen(payloadToken)));
    TextPreview preview;
    preview.setType(type);
    preview.show();

    // act
    preview.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());

    // assert: the template around the payload, byte for byte
    const QString text = editorOf(preview)->toPlainText();
    QVERIFY2(text.startsWith(head), qPrintable(text));
    QVERIFY2(text.endsWith(tail), qPrintable(text));
    const QString payload = text.mid(head.length(), text.length() - head.length() - tail.length());
    QVERIFY(!payload.isEmpty());
    // plain standard base64 without line breaks, carrying the original pixels
    const QByteArray bytes = QByteArray::fromBase64(payload.toLatin1());
    QCOMPARE(QString::fromLatin1(bytes.toBase64()), payload);
    const QImage decoded = QImage::fromData(bytes, "PNG");
    QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32), opaqueImage());
    QCOMPARE(sizeTextOf(preview), QStringLiteral("Size: ") + formatByteSize(text.length()));
}

void TestTextPreview::formatWordFollowsFormatName_data()
{
    QTest::addColumn<QString>("formatSpec");
    QTest::addColumn<QString>("htmlStart");
    QTest::addColumn<bool>("emptyPayload");

    QTest::newRow("JPG") << "JPG;1" << "<HTML><BODY><img src=\"data:image/jpg;base64,/9j/" << false;
    QTest::newRow("PNG with part") << "PNG;2" << "<HTML><BODY><img src=\"data:image/png;base64,iVBORw0KGgo" << false;
    QTest::newRow("unknown") << "GIF;1" << "<HTML><BODY><img src=\"data:image/gif;base64,\"/>" << true;
}

void TestTextPreview::formatWordFollowsFormatName()
{
    QFETCH(QString, formatSpec);
    QFETCH(QString, htmlStart);
    QFETCH(bool, emptyPayload);
    // arrange
    TextPreview html;
    TextPreview base64;
    base64.setType(TextPreview::Base64);
    html.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    base64.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    if (emptyPayload) {  // once for each view
        QTest::ignoreMessage(QtDebugMsg, "Unknown format");
        QTest::ignoreMessage(QtDebugMsg, "Unknown format");
    }

    // act: a new format refreshes hidden views too
    html.slotSetFormat(formatSpec);
    base64.slotSetFormat(formatSpec);
    QVERIFY(Idle::settle());

    // assert
    QVERIFY2(editorOf(html)->toPlainText().startsWith(htmlStart),
             qPrintable(editorOf(html)->toPlainText()));
    QCOMPARE(editorOf(base64)->toPlainText().isEmpty(), emptyPayload);
}

void TestTextPreview::copyPutsEditedTextOnClipboard()
{
    // arrange
    TextPreview preview;
    preview.show();
    preview.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    LongTextEdit *editor = editorOf(preview);
    editor->appendPlainText(QStringLiteral("<!-- edited é 漢 -->"));
    const QString edited = editor->toPlainText();
    QGuiApplication::clipboard()->clear();

    // act
    preview.findChild<QPushButton *>(QStringLiteral("CopyButton"))->click();

    // assert
    QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard), edited);
    QCOMPARE(editor->textCursor().selectionStart(), 0);
    QCOMPARE(editor->textCursor().selectionEnd(), edited.length());
}

void TestTextPreview::exportCarriesTextOfNewPicture_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Copy") << "CopyButton";
    QTest::newRow("Save") << "SaveButton";
    QTest::newRow("Show") << "ShowButton";
}

void TestTextPreview::exportCarriesTextOfNewPicture()
{
    QFETCH(QString, button);
    // arrange: a view showing the text of one picture
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.html"));
    const QString page = QMWidgets::App::workDirectory(true) + QStringLiteral("htmlPreview.html");
    QFile::remove(page);
    TextPreview preview;
    preview.show();
    preview.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    const QPixmap newer = newerPixmap();
    const QString expected = htmlTextOf(newer);
    QGuiApplication::clipboard()->clear();
    ModalAnswerer answerer(ModalAnswerer::acceptFileDialog(saved));
    answerer.setClassName("QFileDialog");

    // act: a new picture, and the button pressed in the same turn of the event loop
    preview.slotSetPixmap(newer);
    preview.findChild<QPushButton *>(button)->click();
    QVERIFY(Idle::settle());

    // assert: what left the view is the text of the new picture
    QCOMPARE(editorOf(preview)->toPlainText(), expected);
    if (button == QLatin1String("CopyButton"))
        QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard), expected);
    else if (button == QLatin1String("SaveButton"))
        QCOMPARE(readFile(saved), expected.toLatin1());
    else
        QCOMPARE(readFile(page), expected.toLatin1());
}

void TestTextPreview::heldExportIsDroppedWhenThePictureGoes_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Copy") << "CopyButton";
    QTest::newRow("Show") << "ShowButton";
}

void TestTextPreview::heldExportIsDroppedWhenThePictureGoes()
{
    QFETCH(QString, button);
    // arrange: a Copy or Show held for a text still being prepared
    const QString page = QMWidgets::App::workDirectory(true) + QStringLiteral("htmlPreview.html");
    QFile::remove(page);
    TextPreview preview;
    preview.show();
    preview.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    QGuiApplication::clipboard()->clear();
    preview.slotSetPixmap(newerPixmap());
    preview.findChild<QPushButton *>(button)->click();
    QVERIFY(QGuiApplication::clipboard()->text(QClipboard::Clipboard).isEmpty() && !QFile::exists(page));

    // act: the picture goes (a scale with an empty side) before the text comes
    preview.slotSetPixmap(QPixmap());
    QVERIFY(Idle::settle());

    // assert: nothing to export, nothing exported
    QVERIFY(QGuiApplication::clipboard()->text(QClipboard::Clipboard).isEmpty());
    QVERIFY(!QFile::exists(page));
}

void TestTextPreview::confirmedSaveOutlivesTheView_data()
{
    QTest::addColumn<bool>("closeWindow");
    QTest::newRow("window closed") << true;
    QTest::newRow("view destroyed") << false;
}

void TestTextPreview::confirmedSaveOutlivesTheView()
{
    QFETCH(bool, closeWindow);
    // arrange: a window holding a view that shows the text of one picture
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.html"));
    QScopedPointer<QWidget> window(new QWidget);
    TextPreview *preview = viewIn(window.data(), QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    const QPixmap newer = newerPixmap();
    const QString expected = htmlTextOf(newer);
    {
        PoolBlocker blocker;
        ModalAnswerer answerer(ModalAnswerer::acceptFileDialog(saved));
        answerer.setClassName("QFileDialog");
        preview->slotSetPixmap(newer);
        preview->findChild<QPushButton *>(QStringLiteral("SaveButton"))->click();
        QVERIFY(answerer.answered());
        QVERIFY(preview->isTextPending());

        // act: the window goes while the confirmed Save waits for its text
        if (closeWindow)
            window->close();
        else
            window.reset();

        // assert: written before anything else ran, with the newer text
        QCOMPARE(readFile(saved), expected.toLatin1());
    }
    QVERIFY(Idle::settle());
}

void TestTextPreview::everyConfirmedSaveIsWrittenInOrder_data()
{
    QTest::addColumn<QString>("completion");
    QTest::addColumn<bool>("firstRefused");

    QTest::newRow("text arrives") << "arrives" << false;
    QTest::newRow("text arrives, first name refused") << "arrives" << true;
    QTest::newRow("window closed") << "close" << false;
    QTest::newRow("view destroyed") << "destroy" << false;
}

void TestTextPreview::everyConfirmedSaveIsWrittenInOrder()
{
    QFETCH(QString, completion);
    QFETCH(bool, firstRefused);
    // arrange: a window holding a view that shows the text of one picture; a
    // first name under a regular file cannot be written, also not by root
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    {
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString first = firstRefused ? plain + QStringLiteral("/a.html") : dir.filePath(QStringLiteral("a.html"));
    const QString second = dir.filePath(QStringLiteral("b.html"));
    QScopedPointer<QWidget> window(new QWidget);
    TextPreview *preview = viewIn(window.data(), QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    const QPixmap newer = newerPixmap();
    const QString expected = htmlTextOf(newer);
    QString warnings;
    bool secondWrittenBeforeWarning = false;
    ModalAnswerer warning([&](QWidget *box) {
        warnings += ModalAnswerer::labelTexts(box);
        secondWrittenBeforeWarning = QFile::exists(second);
        ModalAnswerer::pressKey(box, Qt::Key_Escape);
    });
    warning.setClassName("QMWidgets::MMessageBox");
    auto blocker = std::make_unique<PoolBlocker>();
    preview->slotSetPixmap(newer);
    for (const QString &name : {first, second}) {
        QVERIFY(confirmSave(preview, name));
    }
    QVERIFY(preview->isTextPending());

    // act: the text arrives, or the window goes before it
    if (completion == QLatin1String("arrives")) {
        blocker.reset();
        QVERIFY(Idle::settle());
    } else if (completion == QLatin1String("close")) {
        window->close();
    } else {
        window.reset();
    }

    // assert: both names got the newer text, the refused one its own warning first
    blocker.reset();
    QVERIFY(Idle::settle());
    QCOMPARE(readFile(second), expected.toLatin1());
    if (firstRefused) {
        QVERIFY(warning.answered());
        QVERIFY2(warnings.contains(QStringLiteral("a.html")), qPrintable(warnings));
        QVERIFY(!secondWrittenBeforeWarning);
        QCOMPARE(QFileInfo(plain).size(), qint64(0));
    } else {
        QCOMPARE(readFile(first), expected.toLatin1());
        QVERIFY(!warning.answered());
    }
}

void TestTextPreview::teardownCompletesOnlyHeldSaves_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Copy held") << "CopyButton";
    QTest::newRow("Show held") << "ShowButton";
}

void TestTextPreview::teardownCompletesOnlyHeldSaves()
{
    QFETCH(QString, button);
    // arrange: a Copy or Show and a Save held for the text of a new picture
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.html"));
    const QString page = QMWidgets::App::workDirectory(true) + QStringLiteral("htmlPreview.html");
    QFile::remove(page);
    auto window = std::make_unique<QWidget>();
    TextPreview *preview = viewIn(window.get(), QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    const QPixmap newer = newerPixmap();
    QGuiApplication::clipboard()->clear();
    {
        PoolBlocker blocker;
        preview->slotSetPixmap(newer);
        preview->findChild<QPushButton *>(button)->click();
        QVERIFY(confirmSave(preview, saved));
        QVERIFY(preview->isTextPending());

        // act: the view is destroyed without a close
        window.reset();
    }
    QVERIFY(Idle::settle());

    // assert: the Save is written, the Copy or Show left no trace
    QCOMPARE(readFile(saved), htmlTextOf(newer).toLatin1());
    QVERIFY(QGuiApplication::clipboard()->text(QClipboard::Clipboard).isEmpty());
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    QVERIFY(!QFile::exists(page));
}

void TestTextPreview::heldSaveWritesThePictureItWasConfirmedFor_data()
{
    QTest::addColumn<int>("pictures");
    QTest::addColumn<QString>("completion");
    QTest::addColumn<int>("writtenEarly"); // pictures whose Saves cannot wait for their text

    QTest::newRow("one picture, text arrives") << 1 << "arrives" << 0;
    QTest::newRow("one picture, window closed") << 1 << "close" << 0;
    QTest::newRow("two pictures, text arrives") << 2 << "arrives" << 0;
    QTest::newRow("two pictures, window closed") << 2 << "close" << 0;
    QTest::newRow("three pictures, text arrives") << 3 << "arrives" << 1;
    QTest::newRow("four pictures, window closed") << 4 << "close" << 2;
}

void TestTextPreview::heldSaveWritesThePictureItWasConfirmedFor()
{
    QFETCH(int, pictures);
    QFETCH(QString, completion);
    QFETCH(int, writtenEarly);
    // arrange: a window holding a view that shows the text of one picture
    QTemporaryDir dir;
    QScopedPointer<QWidget> window(new QWidget);
    TextPreview *preview = viewIn(window.data(), variantPixmap(0));
    QVERIFY(Idle::settle());
    auto blocker = std::make_unique<PoolBlocker>();
    QStringList names;
    QStringList expected;

    // act: per picture two Saves confirmed while its text is on its way ...
    for (int picture = 1; picture <= pictures; ++picture) {
        const QPixmap pixmap = variantPixmap(picture);
        preview->slotSetPixmap(pixmap);
        for (const char *suffix : {"a", "c"}) {
            names << dir.filePath(QStringLiteral("%1%2.html").arg(picture).arg(QLatin1String(suffix)));
            expected << htmlTextOf(pixmap);
            QVERIFY(confirmSave(preview, names.last()));
            QVERIFY(preview->isTextPending());
        }
    }
    // (at most two pictures wait: the Saves of older ones are written at once)
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(QFile::exists(names.at(i)), i / 2 < writtenEarly);
    // ... then one more picture before any text arrives
    const QPixmap last = variantPixmap(99);
    preview->slotSetPixmap(last);
    if (completion == QLatin1String("close"))
        window->close();
    blocker.reset();
    QVERIFY(Idle::settle());

    // assert: each file holds the text of the picture its name was confirmed for
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(QString::fromLatin1(readFile(names.at(i))), expected.at(i));
    QCOMPARE(editorOf(*preview)->toPlainText(), htmlTextOf(last));
}

void TestTextPreview::saveConfirmedWhileATextIsExpectedCarriesWhatSettles_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<int>("written");  // the variant whose text the file holds
    QTest::addColumn<bool>("edited");  // with the edit made before the change
    QTest::newRow("settles on a newer picture") << "newer" << 2 << false;
    QTest::newRow("settles on the picture shown (a refused file)") << "same" << 0 << true;
    QTest::newRow("the window closes first: the newest picture") << "close" << 2 << false;
}

void TestTextPreview::saveConfirmedWhileATextIsExpectedCarriesWhatSettles()
{
    QFETCH(QString, then);
    QFETCH(int, written);
    QFETCH(bool, edited);
    // arrange: a text shown and edited, then a change announced, a picture
    // on the way and a Save confirmed before the view settles
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("expected.html"));
    auto window = std::make_unique<QWidget>();
    TextPreview *preview = viewIn(window.get(), variantPixmap(0));
    QVERIFY(Idle::settle());
    editorOf(*preview)->appendPlainText(QStringLiteral("<!-- edit -->"));
    const QString shown = editorOf(*preview)->toPlainText();
    preview->expectText();
    if (then != "same") {
        preview->slotSetPixmap(variantPixmap(1));
        preview->slotSetPixmap(variantPixmap(2));
    }
    QVERIFY(confirmSave(preview, name));
    QVERIFY(preview->isTextPending());
    QVERIFY(!QFile::exists(name));

    // act
    if (then == "close")
        window->close();
    else
        preview->settleText();
    QVERIFY(Idle::waitUntil([&] { return QFile::exists(name) && (then == "close" || !preview->isTextPending()); }));
    QVERIFY(Idle::settle());

    // assert
    QCOMPARE(QString::fromLatin1(readFile(name)), edited ? shown : htmlTextOf(variantPixmap(written)));
}

void TestTextPreview::everyEndingWritesHeldSavesAndDropsTheRest_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("firstRefused");
    QTest::addColumn<QString>("dialogsSeen");
    QTest::addColumn<bool>("readerGone"); // standard error a pipe nobody reads

    QTest::newRow("window closed") << "close" << 0 << false << "" << false;
    QTest::newRow("view destroyed") << "destroy" << 0 << false << "" << false;
    QTest::newRow("Quit") << "quit" << 0 << false << "QMWidgets::TellReminderDialog" << false;
    QTest::newRow("SIGTERM") << "signal" << int(SIGTERM) << false << "" << false;
    QTest::newRow("SIGINT") << "signal" << int(SIGINT) << false << "" << false;
    QTest::newRow("SIGHUP") << "signal" << int(SIGHUP) << false << "" << false;
    QTest::newRow("SIGTERM, first name refused") << "signal" << int(SIGTERM) << true << "" << false;
    QTest::newRow("SIGHUP, standard error's reader gone") << "signal" << int(SIGHUP) << false << "" << true;
}

void TestTextPreview::everyEndingWritesHeldSavesAndDropsTheRest()
{
    QFETCH(QString, ending);
    QFETCH(int, signalNumber);
    QFETCH(bool, firstRefused);
    QFETCH(QString, dialogsSeen);
    QFETCH(bool, readerGone);
    // arrange: a reminder due at every quit; a Show and two Saves held for a
    // new picture, then a newer one; a first name under a regular file cannot
    // be written, also not by root
    QMWidgets::App *app = QMWidgets::App::instance();
    static const bool reminding = (app->startReminder(1, 2), app->quitOnTerminationSignals());
    QVERIFY(reminding);
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    {
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString first = firstRefused ? plain + QStringLiteral("/a.html") : dir.filePath(QStringLiteral("a.html"));
    const QString second = dir.filePath(QStringLiteral("b.html"));
    const QString page = QMWidgets::App::workDirectory(true) + QStringLiteral("htmlPreview.html");
    QFile::remove(page);
    auto window = std::make_unique<QWidget>();
    TextPreview *preview = viewIn(window.get(), variantPixmap(0));
    QVERIFY(Idle::settle());
    const QPixmap confirmed = variantPixmap(1);
    auto blocker = std::make_unique<PoolBlocker>();
    preview->slotSetPixmap(confirmed);
    preview->findChild<QPushButton *>(QStringLiteral("ShowButton"))->click();
    for (const QString &name : {first, second}) {
        QVERIFY(confirmSave(preview, name));
    }
    preview->slotSetPixmap(variantPixmap(2));
    QVERIFY(preview->isTextPending());
    QStringList seen;
    ModalAnswerer anyDialog([&](QWidget *dialog) {
        seen << QLatin1String(dialog->metaObject()->className());
        ModalAnswerer::pressKey(dialog, Qt::Key_Escape);
    });
    StderrCapture standardError;
    std::unique_ptr<StderrToClosedPipe> closedPipe;
    if (readerGone) {
        closedPipe = std::make_unique<StderrToClosedPipe>();
        QVERIFY(closedPipe->active());
    }

    // act
    if (ending == QLatin1String("close")) {
        window->close();
    } else if (ending == QLatin1String("destroy")) {
        window.reset();
    } else {
        QTimer failSafe;
        failSafe.setSingleShot(true);
        QObject::connect(&failSafe, &QTimer::timeout, app, &QCoreApplication::quit);
        failSafe.start(10000);
        if (ending == QLatin1String("quit"))
            QTimer::singleShot(0, app, &QCoreApplication::quit);
        else
            QTimer::singleShot(0, [signalNumber] { std::raise(signalNumber); });
        QCoreApplication::exec();
        QVERIFY2(failSafe.isActive(), "the program did not quit");
    }
    blocker.reset();
    QVERIFY(Idle::settle());
    window.reset();
    closedPipe.reset();

    // assert: the Saves hold the picture confirmed and were told as they
    // began (unless nobody read it); the Show left no trace; only Quit asked
    // the user anything
    const QString told = QString::fromLocal8Bit(standardError.text());
    QVERIFY2(readerGone ? !told.contains("writing held Save")
                        : (told.contains("writing held Save \"" + first + "\"\n")
                           && told.contains("writing held Save \"" + second + "\"\n")),
             qPrintable(told));
    QCOMPARE(QString::fromLatin1(readFile(second)), htmlTextOf(confirmed));
    if (firstRefused)
        QCOMPARE(QFileInfo(plain).size(), qint64(0));
    else
        QCOMPARE(QString::fromLatin1(readFile(first)), htmlTextOf(confirmed));
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    QVERIFY(!QFile::exists(page));
    QCOMPARE(seen.join(QLatin1Char(',')), dialogsSeen);
}

void TestTextPreview::saveEncodesText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");

    QTest::newRow("ascii") << "<img src=\"x\"/>\n" << QByteArray("<img src=\"x\"/>\n") << false;
    QTest::newRow("e acute as Latin-1") << QString::fromUtf8("\xC3\xA9") << QByteArray("\xE9") << false;
    QTest::newRow("Latin-1 words") << QString::fromUtf8("na\xC3\xAFve caf\xC3\xA9")
                                   << QByteArray("na\xEFve caf\xE9") << false;
    QTest::newRow("euro as UTF-8") << QString::fromUtf8("\xE2\x82\xAC") << QByteArray("\xE2\x82\xAC") << true;
    QTest::newRow("han as UTF-8") << QString::fromUtf8("\xE6\xBC\xA2") << QByteArray("\xE6\xBC\xA2") << true;
    QTest::newRow("mixed all UTF-8") << QString::fromUtf8("\xC3\xA9\xE6\xBC\xA2")
                                     << QByteArray("\xC3\xA9\xE6\xBC\xA2") << true;
    QTest::newRow("outside the BMP") << QString::fromUtf8("a\xF0\x9F\x98\x80")
                                     << QByteArray("a\xF0\x9F\x98\x80") << true;
}

void TestTextPreview::saveEncodesText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    // arrange
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.txt"));
    TextPreview preview;
    editorOf(preview)->setPlainText(text);

    // act
    const bool written = preview.writeToFile(path);

    // assert: exact bytes, no byte-order mark, and the text comes back unchanged
    QVERIFY(written);
    const QByteArray onDisk = readFile(path);
    QCOMPARE(onDisk, bytes);
    QCOMPARE(utf8 ? QString::fromUtf8(onDisk) : QString::fromLatin1(onDisk), text);
}

void TestTextPreview::saveThroughDialog()
{
    // arrange
    TextPreview preview;
    preview.setType(TextPreview::Xhtml);
    preview.show();
    preview.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    const QString text = editorOf(preview)->toPlainText();
    const QString name = QStringLiteral("tag");
    QString startFolder;
    ModalAnswerer answerer(ModalAnswerer::acceptFileDialog(name, &startFolder));
    answerer.setClassName("QFileDialog");

    // act
    preview.findChild<QPushButton *>(QStringLiteral("SaveButton"))->click();

    // assert: documents folder, name unchanged (no extension added)
    QVERIFY(answerer.answered());
    const QString documents = QMWidgets::App::documentsDirectory(false);
    QCOMPARE(startFolder + QLatin1Char('/'), documents);
    QCOMPARE(readFile(documents + name), text.toLatin1());
}

void TestTextPreview::saveFailsWhenFolderIsMissing()
{
    // arrange: the parent "folder" is a regular file, which fails for root too
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("plain"));
    {
        QFile file(notAFolder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    TextPreview preview;
    preview.show();

    // act + assert
    QVERIFY(!preview.writeToFile(notAFolder + QStringLiteral("/saved.html")));
    QVERIFY(!preview.writeToFile(QString()));
    QCOMPARE(QFileInfo(notAFolder).size(), qint64(0));
}

void TestTextPreview::saveFailsInReadOnlyFolder()
{
    // arrange
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    TextPreview preview;
    preview.show();

    // act
    bool written = true;
    {
        LockedFolder lock(folder);
        if (!lock.active())
            QSKIP("cannot keep new files out of a folder here");
        written = preview.writeToFile(folder + QStringLiteral("/saved.html"));
    }

    // assert
    QVERIFY(!written);
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestTextPreview::saveKeepsWritableFileInLockedFolder()
{
    // arrange: an existing writable file in a folder that takes no new files
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/saved.txt");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("an older and longer content");
    }
    TextPreview preview;
    preview.show();
    preview.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    editorOf(preview)->setPlainText(QStringLiteral("new"));
    ModalAnswerer fileDialog(ModalAnswerer::acceptFileDialog(path));
    fileDialog.setClassName("QFileDialog");
    // The question about replacing the file comes first, the warning after it.
    QString message;
    std::unique_ptr<ModalAnswerer> warning;
    ModalAnswerer replace([&message, &warning](QWidget *question) {
        warning = std::make_unique<ModalAnswerer>([&message](QWidget *box) {
            message += ModalAnswerer::labelTexts(box);
            ModalAnswerer::pressKey(box, Qt::Key_Escape);
        });
        warning->setClassName("QMWidgets::MMessageBox");
        ModalAnswerer::clickButtonWithText(question, QStringLiteral("Yes"));
    });
    replace.setClassName("QMWidgets::MMessageBox");

    // act
    bool written = true;
    {
        LockedFolder lock(folder);
        if (!lock.active())
            QSKIP("cannot keep new files out of a folder here");
        written = preview.writeToFile(path);
        preview.findChild<QPushButton *>(QStringLiteral("SaveButton"))->click();
    }

    // assert: nothing written in place, and the user is told why
    QVERIFY(!written);
    QCOMPARE(readFile(path), QByteArray("an older and longer content"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("saved.txt")});
    QVERIFY(fileDialog.answered());
    QVERIFY(replace.answered());
    QVERIFY(warning && warning->answered());
    QVERIFY2(message.contains(QStringLiteral("saved.txt")) && message.contains(QStringLiteral("unchanged")),
             qPrintable(message));
}

void TestTextPreview::saveKeepsOldFileWhenWriteFails()
{
    // arrange
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.txt"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    TextPreview preview;
    editorOf(preview)->setPlainText(QString(4096, QLatin1Char('x')));

    // act: no file may grow past 100 bytes while writing
    bool written = true;
    {
        FileSizeLimit limit(100);
        if (!limit.active())
            QSKIP("cannot lower the file size limit");
        written = preview.writeToFile(path);
    }

    // assert: the old file is whole, no temporary file is left
    QVERIFY(!written);
    QCOMPARE(readFile(path), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("saved.txt")});
}

void TestTextPreview::writeAllStopsAtFailingDevice()
{
    FailDevice device(10);
    QVERIFY(device.open(QIODevice::WriteOnly));
    QVERIFY(!SafeFileWriter::writeAll(device, QByteArray(100, 'x')));
    QVERIFY(SafeFileWriter::writeAll(device, QByteArray()));
}

void TestTextPreview::writeNeverReplacesWhatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("written");

    QTest::newRow("fifo") << "fifo" << false;
    QTest::newRow("link to a fifo") << "link to fifo" << false;
    // A link to a regular file is followed: the file gets the bytes, the link stays.
    QTest::newRow("link to a regular file") << "link to file" << true;
}

void TestTextPreview::writeNeverReplacesWhatIsNoRegularFile()
{
    QFETCH(QString, target);
    QFETCH(bool, written);
    // arrange
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString file = dir.filePath(QStringLiteral("file.txt"));
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QString path = fifo;
    if (target != QLatin1String("fifo")) {
        path = dir.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(target == QLatin1String("link to fifo") ? fifo : file, path));
    }

    // act
    QString error;
    const bool ok = SafeFileWriter::write(path, "new", &error);

    // assert
    QCOMPARE(ok, written);
    QCOMPARE(error.isEmpty(), written);
    struct stat info;
    QCOMPARE(stat(QFile::encodeName(fifo).constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode)); // the pipe is still a pipe
    QCOMPARE(QFileInfo(path).isSymLink(), path != fifo);
    QCOMPARE(readFile(file), QByteArray(written ? "new" : "old"));
}

void TestTextPreview::showWritesPageAndOpensIt_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<bool>("byteOrderMark");

    QTest::newRow("HTML ascii") << int(TextPreview::Html) << "htmlPreview.html" << "<!-- a -->" << false;
    QTest::newRow("CSS ascii") << int(TextPreview::Css) << "cssPreview.html" << "" << false;
    QTest::newRow("HTML han") << int(TextPreview::Html) << "htmlPreview.html"
                              << QString::fromUtf8("\xE6\xBC\xA2") << true;
    QTest::newRow("CSS e acute") << int(TextPreview::Css) << "cssPreview.html"
                                 << QString::fromUtf8("\xC3\xA9") << true;
}

void TestTextPreview::showWritesPageAndOpensIt()
{
    QFETCH(int, type);
    QFETCH(QString, page);
    QFETCH(QString, extra);
    QFETCH(bool, byteOrderMark);
    // arrange
    const QString path = QMWidgets::App::workDirectory(false) + page;
    QFile::remove(path);
    TextPreview preview;
    preview.setType(type);
    preview.show();
    preview.slotSetPixmap(QPixmap::fromImage(opaqueImage()));
    QVERIFY(Idle::settle());
    editorOf(preview)->appendPlainText(extra);
    const QString text = editorOf(preview)->toPlainText();

    // act: twice, the second overwrites the first
    preview.findChild<QPushButton *>(QStringLiteral("ShowButton"))->click();
    preview.findChild<QPushButton *>(QStringLiteral("ShowButton"))->click();

    // assert: the edited text, markup untouched, the mark only for non-ASCII text
    const QByteArray onDisk = readFile(path);
    const QByteArray mark("\xEF\xBB\xBF");
    QCOMPARE(onDisk.startsWith(mark), byteOrderMark);
    QCOMPARE(onDisk, byteOrderMark ? mark + text.toUtf8() : text.toLatin1());
    QCOMPARE(UrlRecorder::instance()->urls(),
             (QList<QUrl>{QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
}

void TestTextPreview::showDoesNothingForOtherForms_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("XML") << int(TextPreview::Xml);
    QTest::newRow("XHTML") << int(TextPreview::Xhtml);
    QTest::newRow("BASE64") << int(TextPreview::Base64);
    QTest::newRow("unknown form") << 7;
}

void TestTextPreview::showDoesNothingForOtherForms()
{
    QFETCH(int, type);
    // arrange
    const QString work = QMWidgets::App::workDirectory(true);
    QFile::remove(work + QStringLiteral("htmlPreview.html"));
    QFile::remove(work + QStringLiteral("cssPreview.html"));
    TextPreview preview;
    preview.setType(type);
    preview.show();

    // act
    preview.slotShowInWebBrowser();

    // assert
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    QVERIFY(!QFile::exists(work + QStringLiteral("htmlPreview.html")));
    QVERIFY(!QFile::exists(work + QStringLiteral("cssPreview.html")));
}

void TestTextPreview::showOpensNothingWhenPageCannotBeWritten()
{
    // arrange: a folder stands where the page should go
    const QString path = QMWidgets::App::workDirectory(true) + QStringLiteral("htmlPreview.html");
    QFile::remove(path);
    QVERIFY(QDir().mkpath(path));
    TextPreview preview;
    preview.show();
    ModalAnswerer warning([](QWidget *box) { ModalAnswerer::pressKey(box, Qt::Key_Escape); });
    warning.setClassName("QMWidgets::MMessageBox");

    // act
    preview.slotShowInWebBrowser();

    // assert
    const bool stillFolder = QFileInfo(path).isDir();
    QDir(path).removeRecursively();
    QVERIFY(stillFolder);
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
}

void TestTextPreview::showSaysWhyItFails_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<bool>("pageWritten");

    QTest::newRow("a folder at the page's name") << "folder" << "htmlPreview.html\" could not be saved" << false;
    QTest::newRow("work folder takes no new file") << "locked" << "htmlPreview.html\" could not be saved" << false;
    QTest::newRow("no program opens pages") << "opener" << "no program could be started to open it" << true;
    QTest::newRow("the opener finds no browser") << "opener 3"
        << "could not be opened: xdg-open found no web browser to use (exit status 3)" << true;
    QTest::newRow("the opener opens it") << "opener 0" << "" << true;
}

void TestTextPreview::showSaysWhyItFails()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, cause);
    QFETCH(bool, pageWritten);
    // arrange: the page cannot be written (both ways hold for root too), or
    // nothing is there to open it
    const QString work = QMWidgets::App::workDirectory(true);
    const QString path = work + QStringLiteral("htmlPreview.html");
    QFile::remove(path);
    if (obstacle == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    auto cleanUp = qScopeGuard([path] {
        QDir(path).removeRecursively();
        QFile::remove(path);
        UrlRecorder::instance()->install();
    });
    if (obstacle.startsWith(QLatin1String("opener")))
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    std::unique_ptr<StandInOpener> opener;
    if (obstacle.startsWith(QLatin1String("opener "))) {
        opener = std::make_unique<StandInOpener>(obstacle.mid(7).toInt());
        QMWidgets::App::setLinkOpener(QStringLiteral("xdg-open"));
    }
    auto noOpener = qScopeGuard([] { QMWidgets::App::setLinkOpener(QString()); });
    TextPreview preview;
    preview.show();
    preview.slotSetPixmap(variantPixmap(3));
    QVERIFY(Idle::settle());
    QString said;
    ModalAnswerer warning([&](QWidget *box) {
        said = ModalAnswerer::labelTexts(box);
        ModalAnswerer::pressKey(box, Qt::Key_Escape);
    });
    warning.setClassName("QMWidgets::MMessageBox");

    // act
    {
        std::unique_ptr<LockedFolder> lock;
        if (obstacle == QLatin1String("locked")) {
            lock = std::make_unique<LockedFolder>(work);
            QVERIFY2(lock->active(), "cannot keep new files out of a folder here");
        }
        preview.slotShowInWebBrowser();
    }
    QTRY_VERIFY_WITH_TIMEOUT(OpenerProcess::running() == 0, 60000);

    // assert: a warning that names the cause (none when the opener did its
    // work); nothing went through the desktop services
    QCOMPARE(warning.answered(), !cause.isEmpty());
    QVERIFY2(said.contains(cause), qPrintable(said));
    QCOMPARE(QFileInfo(path).isFile(), pageWritten);
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
}

GLYPH_APP_TEST_MAIN(TestTextPreview, QMWidgets::App)
#include "tst_textpreview.moc"
