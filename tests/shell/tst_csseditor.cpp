#include "app.h"
#include "cssdoc.h"
#include "csseditor.h"
#include "csssyntaxhighlighter.h"
#include "fifowatch.h"
#include "idle.h"
#include "lockedfolder.h"
#include "modalanswerer.h"
#include "filesizelimit.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>
#include <sys/stat.h>

using namespace QMWidgets;

namespace {

// One letter per character for the colour the highlighter gave it: w white,
// c cyan, d dark grey, g green, "." none.
QString colourPattern(const QTextBlock &block)
{
    QString pattern(block.length() - 1, QLatin1Char('.'));
    const QVector<QTextLayout::FormatRange> ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange &range : ranges) {
        const QColor colour = range.format.foreground().color();
        QChar letter = QLatin1Char('?');
        if (colour == QColor(Qt::white))
            letter = QLatin1Char('w');
        else if (colour == QColor(Qt::cyan))
            letter = QLatin1Char('c');
        else if (colour == QColor(Qt::darkGray))
            letter = QLatin1Char('d');
        else if (colour == QColor(Qt::green))
            letter = QLatin1Char('g');
        for (int i = range.start; i < range.start + range.length && i < pattern.size(); ++i)
            pattern[i] = letter;
    }
    return pattern;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Notes what the next message box of the shell says and closes it.
std::unique_ptr<ModalAnswerer> noteMessage(QString *text)
{
    auto answerer = std::make_unique<ModalAnswerer>([text](QWidget *box) {
        *text = ModalAnswerer::labelTexts(box);
        static_cast<QDialog *>(box)->accept();
    }, 3000);
    answerer->setClassName("QMWidgets::MMessageBox");
    return answerer;
}

} // namespace

class TestCssEditor : public QObject
{
    Q_OBJECT

private:
    QString m_folder;

private slots:
    void initTestCase()
    {
        m_folder = TestEnvironment::homePath() + QStringLiteral("/sheets");
        QVERIFY(QDir().mkpath(m_folder));
    }

    void cleanup()
    {
        qApp->setStyleSheet(QString());
    }

    // Lines are joined by "\n"; so are the expected colour patterns.
    void highlighterColoursTrickyText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("patterns");

        QTest::newRow("slash star slash closes at once") << "/*/ x" << "ddd..";
        QTest::newRow("hash wins over line comment") << "color: #000060; // c" << ".....w.ggggggggggggg";
        QTest::newRow("double quote ends at apostrophe") << "\"a'b c" << "ccc...";
        QTest::newRow("quote continues, closes at column 0") << "x \"abc\n\"def" << "..cccc\nc...";
        QTest::newRow("apostrophe alone on two lines") << "'\n'" << "c\nc";
        QTest::newRow("escaped quote at column 1") << "\"a\n\\\"x\"" << "cc\ncccc";
        QTest::newRow("backslash quote opens in plain state") << "\\\"b" << ".cc";
        QTest::newRow("open comment spans lines") << "a /* b\nint x\nc */ int" << "..dddd\nddddd\ndddd.www";
        QTest::newRow("hash inside comment is comment") << "/* x\n# y */ z" << "dddd\ndddddd..";
        QTest::newRow("empty line keeps comment state") << "/* a\n\nb */ (" << "dddd\n\ndddd.w";
        QTest::newRow("keywords without word boundaries") << "format print" << "www......www";
        QTest::newRow("longer operators first") << "a->b >> c" << ".ww..ww..";
        QTest::newRow("digits, also beyond ASCII") << "h1 x\u0663" << ".c..c";
        QTest::newRow("line comment at column 0") << "// int\nint" << "dddddd\nwww";
        QTest::newRow("special characters at column 0") << "*/\n\"\n*/" << "ww\nc\ncc";
    }

    void highlighterColoursTrickyText()
    {
        QFETCH(QString, text);
        QFETCH(QString, patterns);
        QTextDocument document;
        auto *highlighter = new CssSyntaxHighlighter(&document);

        document.setPlainText(text);
        highlighter->rehighlight();

        QStringList seen;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            seen << colourPattern(block);
        QCOMPARE(seen.join(QLatin1Char('\n')), patterns);
    }

    void saveWritesFileAndTitlesWindow()
    {
        CssEditor editor;
        CssDoc *doc = editor.document();
        const QString path = m_folder + QStringLiteral("/ok.qss");
        doc->setPlainText(QStringLiteral("QLabel { color: red; }\n"));
        doc->setFileName(path);

        QVERIFY(doc->slotSave());

        QCOMPARE(readAll(path), QByteArray("QLabel { color: red; }\n"));
        QCOMPARE(editor.windowTitle(), path);
    }

    // A save that cannot complete leaves the old file as it was, reports
    // false and keeps the file name and the window title.
    void saveFailureKeepsExistingFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("read-only folder") << "readonly";
        QTest::newRow("write stops after 1 KiB") << "limit";
        QTest::newRow("missing folder") << "missing";
        QTest::newRow("named file is a fifo") << "fifo";
        QTest::newRow("save as into a missing folder") << "saveas";
    }

    void saveFailureKeepsExistingFile()
    {
        QFETCH(QString, how);
        // arrange
        const QString folder = m_folder + QLatin1Char('/') + how;
        QVERIFY(QDir().mkpath(folder));
        const QString existing = folder + QStringLiteral("/sheet.qss");
        const QByteArray old("QWidget { background: white; }\n");
        QVERIFY(writeFile(existing, old));
        QString name = existing;  // the document's file name
        QString target = existing; // where the save goes
        if (how == QLatin1String("missing"))
            name = target = folder + QStringLiteral("/gone/sheet.qss");
        if (how == QLatin1String("fifo")) {
            name = target = folder + QStringLiteral("/pipe.qss");
            QCOMPARE(mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        }
        if (how == QLatin1String("saveas"))
            target = folder + QStringLiteral("/gone/other.qss");
        CssDoc doc;
        doc.setPlainText(QString(5000, QLatin1Char('x')));
        doc.setFileName(name);
        QSignalSpy titles(&doc, SIGNAL(changeWindowTitle(QString)));
        bool saved = true;
        QString warning;
        const std::unique_ptr<ModalAnswerer> warned = noteMessage(&warning);
        // act
        if (how == QLatin1String("readonly")) {
            LockedFolder lock(folder);
            if (!lock.active())
                QSKIP("cannot keep new files out of a folder here");
            saved = doc.slotSave();
        } else if (how == QLatin1String("limit")) {
            FileSizeLimit limit(1024);
            QVERIFY(limit.active());
            saved = doc.slotSave();
        } else if (how == QLatin1String("saveas")) {
            ModalAnswerer chooser(ModalAnswerer::acceptFileDialog(target), 3000);
            chooser.setClassName("QFileDialog");
            saved = doc.slotSaveAs();
            QVERIFY(chooser.answered());
        } else {
            saved = doc.slotSave();
        }
        // assert
        QVERIFY(!saved);
        QCOMPARE(readAll(existing), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"sheet.qss"});
        QCOMPARE(doc.fileName(), name);
        QCOMPARE(titles.count(), 0);
        QVERIFY(warned->answered()); // the failure is reported, not silent
        QVERIFY2(warning.contains(QFileInfo(target).fileName()), qPrintable(warning));
    }

    // Text that Open would refuse is written only when the user says so to
    // a question asked before writing; other text is saved without one.
    void saveAsksBeforeWritingWhatOpenRefuses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("answer"); // "" when no question may come
        QTest::addColumn<QString>("named"); // what the question must say
        const QString line(300 * 1024, QLatin1Char('a'));
        const QString manyLines = QStringLiteral("QLabel { color: red; }\n").repeated(4 * 1024 * 1024 / 23 + 1);
        QTest::newRow("a line of 307,200 characters, declined") << line << "No" << "Line 1 is 307200 characters long";
        QTest::newRow("that line, confirmed") << line << "Yes" << "at most 262144 characters";
        QTest::newRow("over 4 MiB in short lines, declined") << manyLines << "No" << "at most 4194304 bytes";
        // 2,150,400 UTF-16 units; Open counts the encoded bytes.
        const QString accented = (QString(1023, QChar(0x00E9)) + QLatin1Char('\n')).repeated(2100);
        QTest::newRow("2.05 Mi accented letters in 4.1 MiB of UTF-8, declined")
            << accented << "No" << "The file will be 4298700 bytes long";
        QTest::newRow("a line of 256 Ki characters") << QString(256 * 1024, QLatin1Char('a')) << "" << "";
    }

    void saveAsksBeforeWritingWhatOpenRefuses()
    {
        QFETCH(QString, text);
        QFETCH(QString, answer);
        QFETCH(QString, named);
        // arrange
        const QString path = m_folder + QStringLiteral("/asked.qss");
        const QByteArray old("QWidget { }\n");
        QVERIFY(writeFile(path, old));
        CssDoc doc;
        doc.setPlainText(text);
        doc.setFileName(path);
        QSignalSpy titles(&doc, SIGNAL(changeWindowTitle(QString)));
        QString question;
        ModalAnswerer asked([&](QWidget *box) {
            question = ModalAnswerer::labelTexts(box);
            ModalAnswerer::clickButtonWithText(box, answer.isEmpty() ? QStringLiteral("No") : answer);
        }, 3000);
        asked.setClassName("QMWidgets::MMessageBox");
        // act
        const bool saved = doc.slotSave();
        // assert
        const bool writes = answer != QLatin1String("No");
        QCOMPARE(asked.answered(), !answer.isEmpty());
        QVERIFY2(question.contains(named), qPrintable(question.left(300)));
        QCOMPARE(saved, writes);
        QCOMPARE(readAll(path), writes ? text.toUtf8() : old);
        QCOMPARE(titles.count(), writes ? 1 : 0);
        QCOMPARE(doc.fileName(), path);
    }

    // Load reads only regular files of style-sheet size; anything else is
    // refused with a message before it is read, and changes nothing.
    void loadRefusesWhatIsNoStyleSheetFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("one byte over 4 MiB") << "oversized";
        // Laid out as a whole, such a line would freeze the window for seconds.
        QTest::newRow("a line over 256 Ki characters after short ones") << "longline";
    }

    void loadRefusesWhatIsNoStyleSheetFile()
    {
        QFETCH(QString, kind);
        // arrange
        const QString path = m_folder + QLatin1Char('/') + kind + QStringLiteral(".qss");
        QFile::remove(path);
        std::unique_ptr<FifoWatch> watch;
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            watch = std::make_unique<FifoWatch>(path); // a reader would otherwise block for good
        } else if (kind == QLatin1String("oversized")) {
            QVERIFY(writeFile(path, QByteArray(4 * 1024 * 1024 + 1, ' ')));
        } else {
            QVERIFY(writeFile(path, "QLabel { color: red; }\r\nQFrame { }\n/* " + QByteArray(256 * 1024 - 2, 'x') + "\n"));
        }
        const QString before = m_folder + QStringLiteral("/before.qss");
        CssDoc doc;
        doc.setPlainText(QStringLiteral("kept"));
        doc.setFileName(before);
        QSignalSpy titles(&doc, SIGNAL(changeWindowTitle(QString)));
        ModalAnswerer chooser(ModalAnswerer::acceptFileDialog(path), 3000);
        chooser.setClassName("QFileDialog");
        QString warning;
        const std::unique_ptr<ModalAnswerer> warned = noteMessage(&warning);
        // act
        const bool loaded = doc.slotLoad();
        if (watch)
            watch->stop();
        // assert
        QVERIFY(chooser.answered());
        QVERIFY(!loaded);
        QVERIFY(!watch || !watch->readerSeen());
        QVERIFY(warned->answered());
        QVERIFY2(warning.contains(QFileInfo(path).fileName()), qPrintable(warning));
        QCOMPARE(doc.toPlainText(), QStringLiteral("kept"));
        QCOMPARE(doc.fileName(), before);
        QCOMPARE(titles.count(), 0);
    }

    // A minified sheet is one long line: lines up to 256 Ki characters are
    // shown, a longer one is refused with its length and the limit named. A
    // character is a code point, also beyond the Basic Multilingual Plane.
    void lineLengthLimitIsExact_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("refusedLength"); // 0 when it loads
        const QByteArray limit(256 * 1024, 'a');
        const QByteArray emoji("\xF0\x9F\x98\x80"); // one character, two UTF-16 units
        QTest::newRow("one line of 256 Ki characters") << limit << 0;
        QTest::newRow("one line a character longer") << limit + 'a' << 262145;
        QTest::newRow("256 Ki characters after a CRLF line") << "a{}\r\n" + limit + "\r\n" << 0;
        QTest::newRow("one more after a CR line") << "a{}\r" + limit + "a\n" << 262145;
        QTest::newRow("131,071 emoji in 131,075 characters") << emoji.repeated(131071) + "a{}\n" << 0;
        QTest::newRow("256 Ki characters, half of them emoji") << emoji.repeated(131072) + limit.left(131072) << 0;
        QTest::newRow("one more after a line of emoji") << emoji + "\n" + emoji.repeated(131072) + limit.left(131073)
                                                        << 262145;
    }
    void lineLengthLimitIsExact()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, refusedLength);
        const bool loads = refusedLength == 0;
        // arrange
        const QString path = m_folder + QStringLiteral("/minified.qss");
        QVERIFY(writeFile(path, content));
        CssDoc doc;
        ModalAnswerer chooser(ModalAnswerer::acceptFileDialog(path), 3000);
        chooser.setClassName("QFileDialog");
        QString warning;
        const std::unique_ptr<ModalAnswerer> warned = noteMessage(&warning);
        // act
        const bool loaded = doc.slotLoad();
        // assert
        QVERIFY(chooser.answered());
        QCOMPARE(loaded, loads);
        QCOMPARE(warned->answered(), !loads);
        const QString shown = QString::fromUtf8(content).replace("\r\n", "\n");
        QCOMPARE(doc.toPlainText(), loads ? shown : QString());
        if (!loads) {
            QVERIFY2(warning.contains(QStringLiteral("is %1 characters long").arg(refusedLength)), qPrintable(warning));
            QVERIFY2(warning.contains(QStringLiteral("at most 262144 characters")), qPrintable(warning));
        }
    }

    // Lines wrap between words and a word wider than the window anywhere;
    // while a run without a break opportunity is too long for word wrapping
    // to lay out quickly, everything wraps anywhere.
    void linesWrapBetweenWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed"); // added at the end
        QTest::addColumn<bool>("blanksInRun"); // a blank typed every 500 characters of the last run
        QTest::addColumn<QString>("deleted"); // its first occurrence is deleted last
        QTest::addColumn<bool>("wordWrapped");
        const QString rules = QStringLiteral("QFrame#previewFrame { border: 1px solid #404040; }"
                                             " QLabel#TitleLabel { font-family: Helvetica, sans-serif; }"
                                             " QPushButton#CopyButton:hover { color: rgb(38,79,140); }");
        const QString longRun(1100, QLatin1Char('x'));
        const QString longerRun(2000, QLatin1Char('y'));
        const QString none;
        QTest::newRow("ordinary rules on one line") << rules << none << false << none << true;
        QTest::newRow("a word wider than the window") << rules + QLatin1Char(' ') + QString(300, QLatin1Char('x'))
                                                      << none << false << none << true;
        QTest::newRow("a run over 1,024 characters") << rules + QLatin1Char(' ') + longRun << none << false << none
                                                     << false;
        QTest::newRow("that run typed after the rules") << rules << QLatin1Char(' ') + longRun << false << none
                                                        << false;
        QTest::newRow("blanks typed into that run") << rules + QLatin1Char(' ') + longRun << none << true << none
                                                    << true;
        // Lines may break after a hyphen: it ends a run, and a blank-free stretch holds more than one.
        const QString hyphenAndMore = QLatin1Char('-') + QString(1000, QLatin1Char('y'));
        QTest::newRow("a run of exactly 1,024 characters")
            << rules + QLatin1Char(' ') + QString(1023, QLatin1Char('x')) + hyphenAndMore << none << false << none
            << true;
        QTest::newRow("a run of 1,025 characters")
            << rules + QLatin1Char(' ') + QString(1024, QLatin1Char('x')) + hyphenAndMore << none << false << none
            << false;
        QTest::newRow("the only run, of 2,000 characters, deleted") << rules + QLatin1Char(' ') + longerRun << none << false << longerRun
                                              << true;
        QTest::newRow("the run found first deleted, another on the next line")
            << rules + QLatin1Char(' ') + longRun + QLatin1Char('\n') + longerRun << none << false << longRun
            << false;
    }

    void linesWrapBetweenWords()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(bool, blanksInRun);
        QFETCH(QString, deleted);
        QFETCH(bool, wordWrapped);
        // arrange
        CssDoc doc;
        doc.resize(600, 400);
        doc.show();
        QVERIFY(QTest::qWaitForWindowExposed(&doc));
        // act
        doc.setPlainText(text);
        QTextCursor cursor(doc.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(typed);
        if (blanksInRun) {
            const int runStart = text.lastIndexOf(QLatin1Char(' ')) + 1;
            for (int at = text.size() - 500; at > runStart; at -= 500) {
                cursor.setPosition(at);
                cursor.insertText(QStringLiteral(" "));
            }
        }
        if (!deleted.isEmpty()) {
            const int at = doc.toPlainText().indexOf(deleted);
            QVERIFY(at >= 0);
            cursor.setPosition(at);
            cursor.setPosition(at + deleted.size(), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        // assert
        const QTextBlock block = doc.document()->firstBlock();
        doc.document()->documentLayout()->blockBoundingRect(block); // lays the block out
        const QTextLayout *layout = block.layout();
        QVERIFY(layout->lineCount() > 2);
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, block.text());
        // Lines may break after a blank and where the line-breaking rules allow.
        const QString shown = block.text();
        QTextBoundaryFinder rules(QTextBoundaryFinder::Line, shown);
        const auto breakable = [&](int position) {
            rules.setPosition(position);
            return shown.at(position - 1).isSpace() || rules.isAtBoundary();
        };
        for (int i = 1; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            QVERIFY(line.naturalTextWidth() <= line.width());
            if (!wordWrapped || breakable(line.textStart()))
                continue;
            // Inside a word only where the line before offered no break.
            for (int position = layout->lineAt(i - 1).textStart() + 1; position < line.textStart(); ++position)
                QVERIFY2(!breakable(position), qPrintable(QStringLiteral("line %1 starts inside a word: %2")
                                                               .arg(i)
                                                               .arg(shown.mid(line.textStart() - 10, 20))));
        }
        // A run too long for word wrapping has everything wrapped anywhere.
        QCOMPARE(doc.wordWrapMode(), wordWrapped ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WrapAnywhere);
    }

    void loadReadsChosenFile()
    {
        const QString path = m_folder + QStringLiteral("/load.qss");
        QVERIFY(writeFile(path, "QFrame#Box { border: 1px solid; }\n"));
        CssDoc doc;
        QSignalSpy titles(&doc, SIGNAL(changeWindowTitle(QString)));
        ModalAnswerer answerer([&](QWidget *w) {
            auto *dialog = qobject_cast<QFileDialog *>(w);
            if (!dialog)
                return;
            dialog->setDirectory(QFileInfo(path).absolutePath());
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                edit->setText(QFileInfo(path).fileName());
            static_cast<QDialog *>(dialog)->accept();
            if (dialog->isVisible())
                dialog->reject(); // never leave the test hanging in the dialog
        });

        QVERIFY(doc.slotLoad());

        QVERIFY(answerer.answered());
        QCOMPARE(doc.toPlainText(), QStringLiteral("QFrame#Box { border: 1px solid; }\n"));
        QCOMPARE(doc.fileName(), path);
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.at(0).at(0).toString(), path);
    }

    void saveWithoutNameAsksAndCancelWritesNothing()
    {
        CssDoc doc;
        doc.setPlainText(QStringLiteral("a{}"));
        ModalAnswerer answerer([](QWidget *w) {
            if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
        });

        QVERIFY(!doc.slotSave());

        QVERIFY(answerer.answered());
        QVERIFY(qobject_cast<QFileDialog *>(answerer.dialog()) || answerer.dialog() == nullptr);
        QVERIFY(doc.fileName().isEmpty());
    }

    // Whatever the applied sheet sets, the document keeps its own face and colours.
    void applyThenResetKeepsDocumentLook_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::newRow("colour of other widgets") << "QLabel { color: red; }";
        QTest::newRow("font family of every widget") << "QWidget { font-family: serif; }";
        QTest::newRow("whole font of everything") << "* { font: italic 20pt \"DejaVu Sans\"; }";
    }

    void applyThenResetKeepsDocumentLook()
    {
        QFETCH(QString, sheet);
        CssEditor editor;
        CssDoc *doc = editor.document();
        doc->setPlainText(sheet);

        editor.slotApply();
        editor.show(); // polishing under the applied sheet must not change the face either

        QCOMPARE(qApp->styleSheet(), sheet);
        QCOMPARE(doc->styleSheet(), QStringLiteral("QTextEdit{background: #000060; color: yellow;}"));
        QCOMPARE(doc->document()->defaultFont().family(), QStringLiteral("Lucida Console"));
        QCOMPARE(doc->document()->defaultFont().pointSize(), 12);
        QVERIFY(!doc->document()->defaultFont().italic());
        // without that face a monospace one stands in: narrow and wide letters take the same room
        const QFontMetrics metrics(doc->document()->defaultFont());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")),
                 metrics.horizontalAdvance(QStringLiteral("MMMM")));

        editor.slotReset();

        QVERIFY(qApp->styleSheet().isEmpty());
        QCOMPARE(doc->styleSheet(), QStringLiteral("QTextEdit{background: #000060; color: yellow;}"));
    }

    void toolTipsInfoLabelsNamedWidgetsOutsideTheDocument()
    {
        // arrange
        QWidget top;
        top.setObjectName(QStringLiteral("TopFrame"));
        auto *named = new QLabel(&top);
        named->setObjectName(QStringLiteral("Caption"));
        named->setToolTip(QStringLiteral("old tip"));
        auto *unnamed = new QLabel(&top);
        CssEditor editor;
        CssDoc *doc = editor.document();
        doc->setObjectName(QStringLiteral("Doc"));
        QWidget *viewport = doc->viewport();
        QVERIFY(!viewport->objectName().isEmpty());
        // act
        editor.slotApplyToolTipsInfo();
        // assert
        QCOMPARE(top.toolTip(), QStringLiteral("QWidget\nTopFrame\n"));
        QCOMPARE(named->toolTip(), QStringLiteral("QLabel\nCaption\nold tip"));
        QVERIFY(unnamed->toolTip().isEmpty());
        QVERIFY(doc->toolTip().isEmpty());
        QVERIFY(viewport->toolTip().isEmpty());

        editor.slotApplyToolTipsInfo();

        QCOMPARE(named->toolTip(), QStringLiteral("QLabel\nCaption\nQLabel\nCaption\nold tip"));
    }

    void closedEditorGoesAway()
    {
        QPointer<CssEditor> editor = new CssEditor;
        editor->show();
        editor->close();
        QVERIFY(Idle::waitUntil([&] { return editor.isNull(); }, 2000));
    }
};

GLYPH_APP_TEST_MAIN(TestCssEditor, QMWidgets::App)
#include "tst_csseditor.moc"
