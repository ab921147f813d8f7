#include "app.h"
#include "fifowatch.h"
#include "filesizelimit.h"
#include "modalanswerer.h"
#include "settingsdialog.h"
#include "settingswidget.h"
#include "testenvironment.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <memory>
#include <sys/stat.h>

using QMWidgets::App;
using QMWidgets::SettingsDialog;
using QMWidgets::SettingsWidget;

// A page with one text field: its element carries the text as attribute
// "value"; applying copies the field into applied.
class TextPage : public SettingsWidget
{
    Q_OBJECT
public:
    explicit TextPage(const QString &name)
        : m_name(name)
        , edit(new QLineEdit(this))
    {
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(edit);
    }
    void load(const QDomElement &element) override { edit->setText(element.attribute("value")); }
    QDomElement save(QDomDocument &document) override
    {
        QDomElement element = document.createElement(m_name);
        element.setAttribute("value", edit->text());
        return element;
    }
    QString name() override { return m_name; }

    QString m_name;
    QLineEdit *edit;
    QString applied;
    int applyCount = 0;

public slots:
    void slotApply() override
    {
        applied = edit->text();
        ++applyCount;
    }
};

// A page that keeps its text in a CDATA section of its element, or of a
// child element "Text" when nested.
class CDataPage : public SettingsWidget
{
    Q_OBJECT
public:
    void load(const QDomElement &element) override { text = element.text(); }
    QDomElement save(QDomDocument &document) override
    {
        QDomElement element = document.createElement(name());
        QDomElement holder = element;
        if (nested)
            holder = element.appendChild(document.createElement(QStringLiteral("Text"))).toElement();
        holder.appendChild(document.createCDATASection(text));
        return element;
    }
    QString name() override { return QStringLiteral("Notes"); }

    QString text;
    bool nested = false;
};

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A settings file whose elements nest the given number of levels, the root
// counted; the page "Alpha" gets the value "deep".
QByteArray nested(int depth)
{
    const int inner = depth - 2;
    return "<Settings><Alpha value=\"deep\">" + QByteArray("<a>").repeated(inner)
        + QByteArray("</a>").repeated(inner) + "</Alpha></Settings>";
}

// The settings file with the text put in front of the page "Alpha".
QByteArray prefixed(QByteArray settings, const QByteArray &text)
{
    return settings.replace("<Alpha", text + "<Alpha");
}

// A settings file whose page "Alpha" has the value "many" and further
// attributes up to the given number.
QByteArray withAttributes(int count)
{
    QByteArray element = "<Alpha value=\"many\"";
    for (int i = 1; i < count; ++i)
        element += " a" + QByteArray::number(i) + "=\"\"";
    return "<Settings>" + element + "/></Settings>";
}

// What is at the path: "<fifo>" for a FIFO, else the file's content.
QByteArray stateOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode))
        return "<fifo>";
    return readAll(path);
}

// Picks the given file in the next file dialog.
ModalAnswerer *chooseFile(const QString &path, QObject *parent)
{
    auto *answerer = new ModalAnswerer(
        [path](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            const QFileInfo info(path);
            dialog->setDirectory(info.absolutePath());
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(info.fileName());
            static_cast<QDialog *>(dialog)->accept();
        },
        3000, parent);
    answerer->setClassName("QFileDialog");
    return answerer;
}

} // namespace

class TestSettingsDialog : public QObject
{
    Q_OBJECT

    // Registered as "Zeta" then "Alpha": registration order differs from key order.
    QPointer<TextPage> zeta;
    QPointer<TextPage> alpha;
    QTemporaryDir dir;

private slots:
    void init()
    {
        zeta = new TextPage("Zeta");
        alpha = new TextPage("Alpha");
        zeta->edit->setText("z-value");
        alpha->edit->setText("a-value");
        SettingsDialog::registerWidget("Zeta", zeta);
        SettingsDialog::registerWidget("Alpha", alpha);
    }

    void cleanup()
    {
        for (const QString &name : SettingsDialog::registeredNames())
            SettingsDialog::unregisterWidget(name);
        delete zeta;
        delete alpha;
    }

    void tabsFollowRegistrationOrderAndReRegistrationReplaces()
    {
        // arrange
        auto *replacement = new TextPage("Zeta");
        SettingsDialog::registerWidget("Zeta", replacement);
        SettingsDialog dialog;
        QVERIFY(!dialog.tabWidget()); // built only when shown
        // act
        dialog.show();
        // assert
        QTabWidget *tabs = dialog.tabWidget();
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Zeta"));
        QCOMPARE(tabs->widget(0), replacement);
        QCOMPARE(tabs->tabText(1), QStringLiteral("Alpha"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Glyphcraft Settings"));
        dialog.hide();
        SettingsDialog::unregisterWidget("Zeta");
        delete replacement;
    }

    // Without a style sheet the save and load buttons must not be blank areas.
    void fileButtonsHaveIconToolTipAndName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("save") << "StorageBrowserSS" << "Save the Settings";
        QTest::newRow("load") << "StorageBrowserLS" << "Load the Settings";
    }
    void fileButtonsHaveIconToolTipAndName()
    {
        QFETCH(QString, name);
        QFETCH(QString, toolTip);
        SettingsDialog dialog;
        dialog.show();
        auto *button = dialog.findChild<QPushButton *>(name);
        QVERIFY(button);
        QVERIFY(!button->icon().isNull());
        QCOMPARE(button->toolTip(), toolTip);
        QCOMPARE(button->accessibleName(), toolTip);
    }

    void buttonsApplyAsTold_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("applies");
        QTest::newRow("ok applies and closes") << "&Ok" << int(QDialog::Accepted) << 1;
        QTest::newRow("cancel applies nothing") << "&Cancel" << int(QDialog::Rejected) << 0;
    }
    void buttonsApplyAsTold()
    {
        QFETCH(QString, button);
        QFETCH(int, result);
        QFETCH(int, applies);
        // arrange
        SettingsDialog dialog;
        TextPage *page = zeta;
        ModalAnswerer answerer([button, page](QWidget *w) {
            page->edit->setText("edited");
            ModalAnswerer::clickButtonWithText(w, button);
        }, 3000);
        answerer.setClassName("QMWidgets::SettingsDialog");
        // act
        const int got = dialog.exec();
        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(got, result);
        QCOMPARE(zeta->applyCount, applies);
        QCOMPARE(alpha->applyCount, applies);
        QCOMPARE(zeta->applied, applies ? QStringLiteral("edited") : QString());
    }

    void applyKeepsDialogOpen()
    {
        SettingsDialog dialog;
        dialog.show();
        ModalAnswerer::clickButtonWithText(&dialog, "&Apply");
        QVERIFY(dialog.isVisible());
        QCOMPARE(alpha->applied, QStringLiteral("a-value"));
    }

    void pagesOutliveTheDialog()
    {
        {
            SettingsDialog dialog;
            dialog.show();
            QCOMPARE(zeta->window(), &dialog);
        }
        QVERIFY(!zeta.isNull());
        QVERIFY(!alpha.isNull());
        SettingsDialog second;
        second.show();
        QCOMPARE(second.tabWidget()->count(), 2);
    }

    void pageDeletedByItsOwnerDropsOut()
    {
        delete zeta;
        SettingsDialog dialog;
        dialog.show();
        QCOMPARE(dialog.tabWidget()->count(), 1);
        const QString path = dir.filePath("one.tssettings");
        QVERIFY(SettingsDialog::saveToFile(path));
        QCOMPARE(readAll(path), QByteArray("<Settings>\n <Alpha value=\"a-value\"/>\n</Settings>\n"));
    }

    void saveThenLoadRestoresEveryPage()
    {
        // arrange
        const QString path = dir.filePath("roundtrip.tssettings");
        alpha->edit->setText(QString::fromUtf8("Grüße ✓ <&> \"q\""));
        QVERIFY(SettingsDialog::saveToFile(path));
        alpha->edit->setText("changed");
        zeta->edit->setText("changed too");
        // act
        QString error;
        const bool loaded = SettingsDialog::loadFromFile(path, &error);
        // assert
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(alpha->edit->text(), QString::fromUtf8("Grüße ✓ <&> \"q\""));
        QCOMPARE(zeta->edit->text(), QStringLiteral("z-value"));
    }

    // A carriage return in a CDATA section would come back as a line feed,
    // and "]]>" would end the section: such a value is written as text, which
    // every reader keeps, at any depth of the page's element.
    void cdataValuesComeBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("nested");
        QTest::addColumn<bool>("asCData");
        QTest::newRow("CR LF") << "a\r\nb" << false << false;
        QTest::newRow("lone CRs") << "\ra\r\rb\r" << false << false;
        QTest::newRow("CR LF in a child element") << "a\r\nb" << true << false;
        QTest::newRow("end of CDATA") << "x]]>y" << false << false;
        QTest::newRow("end of CDATA in a child element") << "]]>]]>" << true << false;
        QTest::newRow("end of CDATA and a CR") << "a\r]]>b" << false << false;
        QTest::newRow("no CR stays CDATA") << "a\nb]]" << false << true;
    }
    void cdataValuesComeBack()
    {
        QFETCH(QString, text);
        QFETCH(bool, nested);
        QFETCH(bool, asCData);
        // arrange
        CDataPage page;
        page.text = text;
        page.nested = nested;
        SettingsDialog::registerWidget(page.name(), &page);
        const QString path = dir.filePath("notes.tssettings");
        QStringList skipped;
        QVERIFY(SettingsDialog::saveToFile(path, nullptr, nullptr, &skipped));
        page.text.clear();
        // act
        QString error;
        const bool loaded = SettingsDialog::loadFromFile(path, &error);
        SettingsDialog::unregisterWidget(page.name());
        // assert
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(skipped, QStringList());
        QCOMPARE(page.text, text);
        const QByteArray written = readAll(path);
        QVERIFY(!written.contains('\r'));
        QCOMPARE(written.contains("<![CDATA["), asCData);
    }

    void savedFileHasSettingsRootAndPagesInKeyOrder()
    {
        const QString path = dir.filePath("layout.tssettings");
        QVERIFY(SettingsDialog::saveToFile(path));
        QCOMPARE(readAll(path), QByteArray("<Settings>\n <Alpha value=\"a-value\"/>\n"
                                           " <Zeta value=\"z-value\"/>\n</Settings>\n"));
    }

    void extensionAddedUnlessPresent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "plain" << "plain.tssettings";
        QTest::newRow("upper-case extension") << "upper.TSSETTINGS" << "upper.TSSETTINGS.tssettings";
        QTest::newRow("extension") << "own.tssettings" << "own.tssettings";
    }
    void extensionAddedUnlessPresent()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        QString used;
        QVERIFY(SettingsDialog::saveToFile(dir.filePath(name), nullptr, &used));
        QCOMPARE(used, dir.filePath(written));
        QVERIFY(QFile::exists(dir.filePath(written)));
    }

    void loadIgnoresUnknownElementsAndKeepsPagesWithoutOne()
    {
        const QString path = dir.filePath("partial.tssettings");
        writeFile(path, "<Settings><Removed value=\"x\"/>text<Alpha value=\"loaded\"/></Settings>");
        QVERIFY(SettingsDialog::loadFromFile(path));
        QCOMPARE(alpha->edit->text(), QStringLiteral("loaded"));
        QCOMPARE(zeta->edit->text(), QStringLiteral("z-value"));
    }

    void unusableFileLoadsNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addRow("not xml") << QByteArray("this is not xml");
        // Broken after a valid first page: nothing of it may be applied.
        QTest::addRow("truncated") << QByteArray("<Settings><Alpha value=\"half\"/><Zeta value=\"x\"");
        QTest::addRow("empty") << QByteArray();
        QTest::addRow("missing file") << QByteArray("<missing>");
        QTest::addRow("nested one level too deep") << nested(257);
        // An error of the XML reader refuses the file; nothing else parses it deeper.
        QTest::addRow("too deep after an undeclared entity") << prefixed(nested(300), "&nosuch;");
        QTest::addRow("too deep after a null character reference") << prefixed(nested(300), "&#0;");
        QTest::addRow("too deep in XML 1.1") << "<?xml version=\"1.1\"?>" + nested(300);
        QTest::addRow("too deep after a duplicate attribute")
            << nested(300).replace("<Settings>", "<Settings x=\"1\" x=\"2\">");
        QTest::addRow("too deep after a prefixed name") << prefixed(nested(300), "<p:a/>");
        QTest::addRow("too deep after two document types") << "<!DOCTYPE a><!DOCTYPE b>" + nested(300);
        // Bounded before the reader compares attributes or the document grows.
        QTest::addRow("an element with 257 attributes") << withAttributes(257);
        QTest::addRow("50003 nodes")
            << "<Settings><Alpha value=\"many\">" + QByteArray("<a/>").repeated(50000) + "</Alpha></Settings>";
        QTest::addRow("a document type") << "<!DOCTYPE Settings>" + withAttributes(1);
    }
    void unusableFileLoadsNothing()
    {
        QFETCH(QByteArray, content);
        const QString path = dir.filePath("bad.tssettings");
        QFile::remove(path);
        if (content != "<missing>")
            writeFile(path, content);
        QString error;
        QVERIFY(!SettingsDialog::loadFromFile(path, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(alpha->edit->text(), QStringLiteral("a-value"));
        QCOMPARE(zeta->edit->text(), QStringLiteral("z-value"));
    }

    void otherRootsAndLatin1FilesLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("loaded");
        QTest::addRow("another root") << QByteArray("<Other><Alpha value=\"foreign\"/></Other>")
                                      << QStringLiteral("foreign");
        QTest::addRow("latin-1 without declaration")
            << QByteArray("<Settings><Alpha value=\"Gr\xFC\xDF" "e \xA9\"/></Settings>")
            << QString::fromUtf8("Grüße ©");
        QTest::addRow("nested as deep as allowed") << nested(256) << QStringLiteral("deep");
        QTest::addRow("many shallow elements")
            << "<Settings><Alpha value=\"shallow\">" + QByteArray("<a><b/></a>").repeated(5000) + "</Alpha></Settings>"
            << QStringLiteral("shallow");
        QTest::addRow("an element with 256 attributes") << withAttributes(256) << QStringLiteral("many");
    }
    void otherRootsAndLatin1FilesLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, loaded);
        const QString path = dir.filePath("other.tssettings");
        writeFile(path, content);
        QString error;
        QVERIFY2(SettingsDialog::loadFromFile(path, &error), qPrintable(error));
        QCOMPARE(alpha->edit->text(), loaded);
    }

    void onlySmallRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("size"); // valid settings, padded with blanks to this size
        QTest::addColumn<bool>("loads");
        const qint64 cap = 4 * 1024 * 1024;
        QTest::addRow("fifo") << "fifo" << qint64(0) << false;
        QTest::addRow("exactly 4 MiB") << "file" << cap << true;
        QTest::addRow("one byte over 4 MiB") << "file" << cap + 1 << false;
        QTest::addRow("far over") << "file" << 2 * cap << false;
    }
    void onlySmallRegularFilesAreRead()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        QFETCH(bool, loads);
        // arrange
        const QString path = dir.filePath(kind + ".tssettings");
        QFile::remove(path);
        std::unique_ptr<FifoWatch> watch;
        if (kind == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            watch = std::make_unique<FifoWatch>(path); // a reader would otherwise block for good
        } else {
            const QByteArray settings("<Settings><Alpha value=\"sized\"/></Settings>");
            writeFile(path, settings + QByteArray(int(size - settings.size()), ' '));
            QCOMPARE(QFileInfo(path).size(), size);
        }
        // act
        QString error;
        const bool loaded = SettingsDialog::loadFromFile(path, &error);
        if (watch)
            watch->stop();
        // assert
        QCOMPARE(loaded, loads);
        QCOMPARE(error.isEmpty(), loads);
        QVERIFY(!watch || !watch->readerSeen());
        QCOMPARE(alpha->edit->text(), loads ? QStringLiteral("sized") : QStringLiteral("a-value"));
    }

    // A page whose element would not read back is left out; the rest of the file loads.
    void pageThatWouldNotReadBackIsLeftOut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("name that is no XML name") << "Two Words" << "lost";
        QTest::newRow("value with a control character") << "Beta" << QStringLiteral("a\x01b");
        QTest::newRow("value with half a surrogate pair") << "Beta" << QString("a") + QChar(0xDD1E) + "b";
    }
    void pageThatWouldNotReadBackIsLeftOut()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        // arrange
        TextPage page(name);
        page.edit->setText(value);
        SettingsDialog::registerWidget(name, &page);
        const QString path = dir.filePath("names.tssettings");
        alpha->edit->setText("kept");
        // act
        QStringList skipped;
        QVERIFY(SettingsDialog::saveToFile(path, nullptr, nullptr, &skipped));
        SettingsDialog::unregisterWidget(name);
        alpha->edit->setText("changed");
        QString error;
        const bool loaded = SettingsDialog::loadFromFile(path, &error);
        // assert
        QVERIFY2(loaded, qPrintable(error));
        QCOMPARE(skipped, QStringList{name});
        QCOMPARE(alpha->edit->text(), QStringLiteral("kept"));
        QCOMPARE(zeta->edit->text(), QStringLiteral("z-value"));
    }

    void savingAsksBeforeReplacingTheFileWithTheExtension_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("no keeps the file") << "No" << false;
        QTest::newRow("yes replaces it") << "Yes" << true;
    }
    void savingAsksBeforeReplacingTheFileWithTheExtension()
    {
        QFETCH(QString, answer);
        QFETCH(bool, replaced);
        // arrange
        const QString typed = dir.filePath("existing");
        writeFile(typed + ".tssettings", "<Settings/>");
        SettingsDialog dialog;
        dialog.show();
        std::unique_ptr<ModalAnswerer> fileAnswer(chooseFile(typed, nullptr));
        QString asked;
        auto boxAnswer = std::make_unique<ModalAnswerer>([&asked, answer](QWidget *w) {
            asked = ModalAnswerer::labelTexts(w);
            ModalAnswerer::clickButtonWithText(w, answer);
        }, 3000);
        boxAnswer->setClassName("QMWidgets::MMessageBox");
        // act
        dialog.slotSaveSettings();
        // assert
        QVERIFY(fileAnswer->answered());
        QVERIFY(boxAnswer->answered());
        QVERIFY(asked.contains("existing.tssettings"));
        QCOMPARE(readAll(typed + ".tssettings").contains("z-value"), replaced);
    }

    void fileDialogsStartInTheRememberedFolders_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::newRow("save") << true;
        QTest::newRow("load") << false;
    }
    void fileDialogsStartInTheRememberedFolders()
    {
        QFETCH(bool, saving);
        // arrange: the two folders remembered apart
        QDir(dir.path()).mkpath("saved");
        QDir(dir.path()).mkpath("loaded");
        App::instance()->setLastSaveDirectory(dir.filePath("saved/x.tssettings"));
        App::instance()->setLastSettingsDirectory(dir.filePath("loaded/y.tssettings"));
        SettingsDialog dialog;
        dialog.show();
        QString folder;
        QString preset;
        ModalAnswerer answerer([&folder, &preset](QWidget *w) {
            auto *files = qobject_cast<QFileDialog *>(w);
            folder = files->directory().absolutePath();
            if (auto *edit = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                preset = edit->text();
            files->reject();
        }, 3000);
        answerer.setClassName("QFileDialog");
        // act
        if (saving)
            dialog.slotSaveSettings();
        else
            dialog.slotLoadSettings();
        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(folder, QDir(dir.filePath(saving ? "saved" : "loaded")).absolutePath());
        if (saving)
            QCOMPARE(preset, QStringLiteral("Settings.tssettings"));
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("old"); // what is at the path before and after
        QTest::newRow("write stops after 64 bytes") << "limit" << QByteArray("<Settings/>");
        QTest::newRow("the name is a fifo") << "fifo" << QByteArray("<fifo>");
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, old);
        // arrange
        const QString path = dir.filePath(kind + ".tssettings");
        QFile::remove(path);
        if (kind == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            writeFile(path, old);
        alpha->edit->setText(QString(4096, QLatin1Char('a')));
        // act
        bool saved = true;
        QString error;
        if (kind == "limit") {
            FileSizeLimit limit(64);
            QVERIFY(limit.active());
            saved = SettingsDialog::saveToFile(path, &error);
        } else {
            saved = SettingsDialog::saveToFile(path, &error);
        }
        // assert
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        QCOMPARE(stateOf(path), old);
    }

    void saveButtonWritesChosenFileAndRemembersFolder()
    {
        // arrange
        SettingsDialog dialog;
        dialog.show();
        const QString chosen = dir.filePath("chosen");
        ModalAnswerer *answerer = chooseFile(chosen, this);
        // act
        dialog.slotSaveSettings();
        // assert
        QVERIFY(answerer->answered());
        QVERIFY(readAll(chosen + ".tssettings").contains("<Zeta value=\"z-value\"/>"));
        QCOMPARE(App::instance()->lastSaveDirectory(), QDir(dir.path()).absolutePath());
        delete answerer;
    }

    void loadButtonReportsBrokenFileAndChangesNothing()
    {
        // arrange
        QDir(dir.path()).mkpath("sub");
        const QString path = dir.filePath("sub/broken.tssettings");
        writeFile(path, "<Settings><Alpha value=\"x\"");
        SettingsDialog dialog;
        dialog.show();
        ModalAnswerer *fileAnswer = chooseFile(path, this);
        QString reported;
        ModalAnswerer *boxAnswer = new ModalAnswerer([&reported](QWidget *w) {
            reported = w->windowTitle();
            static_cast<QDialog *>(w)->reject();
        }, 3000, this);
        boxAnswer->setClassName("QMWidgets::MMessageBox");
        // act
        dialog.slotLoadSettings();
        // assert
        QVERIFY(fileAnswer->answered());
        QVERIFY(boxAnswer->answered());
        QVERIFY(!reported.isEmpty());
        QCOMPARE(alpha->edit->text(), QStringLiteral("a-value"));
        QCOMPARE(App::instance()->lastSettingsDirectory(), QDir(dir.filePath("sub")).absolutePath());
        delete fileAnswer;
        delete boxAnswer;
    }
};

GLYPH_APP_TEST_MAIN(TestSettingsDialog, QMWidgets::App)
#include "tst_settingsdialog.moc"
