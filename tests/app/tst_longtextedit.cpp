// The long-line text editor: exact text round trips, selection by keys and
// mouse, editing with undo, wrapping and scrolling on multi-megabyte lines.

#include "idle.h"
#include "longtextedit.h"
#include "testmain.h"

#include <QAccessible>
#include <QClipboard>
#include <QFontMetricsF>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QScrollBar>
#include <QSignalSpy>

namespace {

const int bigSize = 5000000;

// Base64 characters from a fixed seed: no spaces, no line breaks.
QString base64Run(int length)
{
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QString text(length, Qt::Uninitialized);
    quint32 state = 2463534242u;
    for (int i = 0; i < length; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        text[i] = QLatin1Char(alphabet[state & 63]);
    }
    return text;
}

QString imgTag(int payload)
{
    return QStringLiteral("<img src=\"data:image/png;base64,") + base64Run(payload)
           + QStringLiteral("\">");
}

QFont monoFont()
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    return font;
}

qreal monoAdvance()
{
    return QFontMetricsF(monoFont()).horizontalAdvance(QLatin1Char('A'));
}

// Shows the editor in the fixed-width font, sized so that a row holds
// exactly `columns` characters (with half a character to spare) and the view
// `rows` rows.
void prepare(LongTextEdit &editor, int columns, int rows = 10)
{
    editor.setFont(monoFont());
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.resize(400, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QSize chrome = editor.size() - editor.viewport()->size();
    const int rowHeight = editor.cursorRect(0).height();
    const int width = 2 * editor.documentMargin() + qRound((columns + 0.5) * monoAdvance());
    const int height = editor.documentMargin() + rows * rowHeight + rowHeight / 2;
    editor.resize(chrome + QSize(width, height));
    Idle::settle();
}

// Viewport point in the middle of a row's character cell, for the view
// scrolled to the top.
QPoint cellPoint(const LongTextEdit &editor, int row, int column)
{
    const int rowHeight = editor.cursorRect(0).height();
    return QPoint(editor.documentMargin() + qRound(column * monoAdvance()) + 1,
                  editor.documentMargin() + row * rowHeight + rowHeight / 2);
}

struct DragResult
{
    bool entered;
    bool dropped;
};

// Drags the data onto the editor's viewport at point and drops it there,
// as a drag from another program arrives: enter, move, drop.
DragResult dragAndDrop(LongTextEdit &editor, const QPoint &point, const QMimeData &mime)
{
    QDragEnterEvent enter(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &enter);
    QDragMoveEvent move(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &move);
    QDropEvent drop(point, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &drop);
    return {enter.isAccepted(), drop.isAccepted()};
}

bool fixedPitchAvailable()
{
    const QFontMetricsF metrics(monoFont());
    return metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W'));
}

} // namespace

class TestLongTextEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTripAndCopyAreExact_data();
    void roundTripAndCopyAreExact();
    void setPlainTextResetsCursorScrollAndHistory();
    void keyboardSelection_data();
    void keyboardSelection();
    void mouseSelection_data();
    void mouseSelection();
    void doubleClickSelectsWords_data();
    void doubleClickSelectsWords();
    void keysInsertText_data();
    void keysInsertText();
    void editingUndoesAndRedoesExactly();
    void textInPiecesActsAsWholeText_data();
    void textInPiecesActsAsWholeText();
    void typingRunUndoesAsOneStep();
    void cutAndPasteGoThroughClipboard();
    void signalsFollowState();
    void wrappedRowCount_data();
    void wrappedRowCount();
    void editsRewrapEarlierRows_data();
    void editsRewrapEarlierRows();
    void proportionalRowsAreGreedy();
    void rowWidthMatchesPaintedText_data();
    void rowWidthMatchesPaintedText();
    void scrollToEndPaintsLastRow();
    void noWrapScrollsHorizontally();
    void contextMenuHasStandardActions_data();
    void contextMenuHasStandardActions();
    void readOnlyRejectsEdits_data();
    void readOnlyRejectsEdits();
    void dropInsertsTextAtPoint();
    void dropsCarryingAddressesAreRefused_data();
    void dropsCarryingAddressesAreRefused();
    void inputMethodCommitsAndReportsWindow();
    void accessibleInterfaceDescribesText();
};

void TestLongTextEdit::init()
{
    if (!fixedPitchAvailable())
        QSKIP("DejaVu Sans Mono is not installed");
    QGuiApplication::clipboard()->clear();
}

void TestLongTextEdit::roundTripAndCopyAreExact_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("img tag, 5 M") << imgTag(bigSize);
    QTest::newRow("page with CR LF, tabs, trailing break")
        << QStringLiteral("<html>\r\n\t<div>\r\n") + base64Run(100000) + QStringLiteral("\r\n\n");
    QTest::newRow("non-Latin and surrogate pairs")
        << QStringLiteral("é 漢字 \U0001F600\n") + base64Run(1000) + QStringLiteral("\U0001F600");
    QTest::newRow("empty") << QString();
}

void TestLongTextEdit::roundTripAndCopyAreExact()
{
    QFETCH(QString, text);
    // arrange
    LongTextEdit editor;
    prepare(editor, 60);
    // act
    editor.setPlainText(text);
    editor.selectAll();
    editor.copy();
    // assert
    QVERIFY(editor.toPlainText() == text);
    QVERIFY(editor.selectedText() == text);
    if (!text.isEmpty())
        QVERIFY(QGuiApplication::clipboard()->text() == text);
}

void TestLongTextEdit::setPlainTextResetsCursorScrollAndHistory()
{
    LongTextEdit editor;
    prepare(editor, 60);
    editor.setPlainText(imgTag(bigSize));
    QTest::keyClick(&editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&editor, QStringLiteral("typed"));
    QVERIFY(editor.verticalScrollBar()->value() > 0);
    QVERIFY(editor.isUndoAvailable());
    QSignalSpy undo(&editor, &LongTextEdit::undoAvailable);

    editor.setPlainText(QStringLiteral("fresh"));

    QCOMPARE(editor.cursorPosition(), 0);
    QVERIFY(!editor.hasSelectedText());
    QCOMPARE(editor.verticalScrollBar()->value(), 0);
    QVERIFY(!editor.isUndoAvailable());
    QCOMPARE(undo.count(), 1);
    QCOMPARE(undo.at(0).at(0).toBool(), false);
    editor.undo();
    QCOMPARE(editor.toPlainText(), QStringLiteral("fresh"));
}

void TestLongTextEdit::keyboardSelection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("keys"); // key, modifiers, key, modifiers, ...
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionEnd");
    const int c = 50; // characters per row
    const int page = 10;
    const int n = bigSize;
    const int shift = int(Qt::ShiftModifier);
    const int ctrlShift = int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("shift+right x3") << 0 << QList<int>{Qt::Key_Right, shift, Qt::Key_Right, shift,
                                                        Qt::Key_Right, shift}
                                    << 0 << 3;
    QTest::newRow("up on the first row ends the selection")
        << 0 << QList<int>{Qt::Key_Right, shift, Qt::Key_Right, shift, Qt::Key_Up, 0} << 2 << 2;
    QTest::newRow("shift+end selects the row") << 0 << QList<int>{Qt::Key_End, shift} << 0 << c;
    QTest::newRow("end, then shift+home stays on the row")
        << 0 << QList<int>{Qt::Key_End, 0, Qt::Key_Home, shift} << 0 << c;
    QTest::newRow("shift+down from mid row") << 7 << QList<int>{Qt::Key_Down, shift} << 7 << 7 + c;
    QTest::newRow("shift+page down") << 0 << QList<int>{Qt::Key_PageDown, shift} << 0 << page * c;
    QTest::newRow("ctrl+shift+end") << 12 << QList<int>{Qt::Key_End, ctrlShift} << 12 << n;
    QTest::newRow("ctrl+end, shift+up") << 0 << QList<int>{Qt::Key_End, int(Qt::ControlModifier),
                                                            Qt::Key_Up, shift}
                                        << n - c << n;
    QTest::newRow("ctrl+end, ctrl+shift+home") << 0 << QList<int>{Qt::Key_End,
                                                                   int(Qt::ControlModifier),
                                                                   Qt::Key_Home, ctrlShift}
                                               << 0 << n;
    QTest::newRow("shift+left at a soft break") << c << QList<int>{Qt::Key_Left, shift} << c - 1 << c;
}

void TestLongTextEdit::keyboardSelection()
{
    QFETCH(int, start);
    QFETCH(QList<int>, keys);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionEnd);
    // arrange
    LongTextEdit editor;
    prepare(editor, 50, 10);
    const QString text = base64Run(bigSize);
    editor.setPlainText(text);
    editor.setCursorPosition(start);
    // act
    for (int i = 0; i + 1 < keys.size(); i += 2)
        QTest::keyClick(&editor, Qt::Key(keys.at(i)), Qt::KeyboardModifiers(keys.at(i + 1)));
    // assert
    QCOMPARE(editor.textCursor().selectionStart(), selectionStart);
    QCOMPARE(editor.textCursor().selectionEnd(), selectionEnd);
    QVERIFY(editor.selectedText() == text.mid(selectionStart, selectionEnd - selectionStart));
}

void TestLongTextEdit::mouseSelection_data()
{
    QTest::addColumn<QPoint>("press"); // row, column
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("shiftRelease"); // a shift+click instead of a drag
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionEnd");
    const int c = 40;
    QTest::newRow("drag down two rows") << QPoint(0, 0) << QPoint(2, 5) << false << 0 << 2 * c + 5;
    QTest::newRow("drag backwards") << QPoint(1, 3) << QPoint(0, 1) << false << 1 << c + 3;
    QTest::newRow("drag within a row") << QPoint(4, 10) << QPoint(4, 20) << false << 4 * c + 10
                                       << 4 * c + 20;
    QTest::newRow("drag past the row end") << QPoint(0, 2) << QPoint(0, c + 5) << false << 2 << c;
    QTest::newRow("shift+click") << QPoint(3, 0) << QPoint(5, 7) << true << 3 * c << 5 * c + 7;
}

void TestLongTextEdit::mouseSelection()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, shiftRelease);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionEnd);
    // arrange
    LongTextEdit editor;
    prepare(editor, 40, 10);
    const QString text = base64Run(bigSize);
    editor.setPlainText(text);
    QWidget *view = editor.viewport();
    const QPoint from = cellPoint(editor, press.x(), press.y());
    const QPoint to = cellPoint(editor, release.x(), release.y());
    // act
    if (shiftRelease) {
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, to);
    } else {
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    }
    // assert
    QCOMPARE(editor.textCursor().selectionStart(), selectionStart);
    QCOMPARE(editor.textCursor().selectionEnd(), selectionEnd);
    QVERIFY(editor.selectedText() == text.mid(selectionStart, selectionEnd - selectionStart));
}

void TestLongTextEdit::doubleClickSelectsWords_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("dragTo"); // column, or -1 for no drag
    QTest::addColumn<QString>("selected");
    // "one beta_gamma+delta  two"
    QTest::newRow("word with underscore") << 6 << -1 << QStringLiteral("beta_gamma");
    QTest::newRow("punctuation") << 14 << -1 << QStringLiteral("+");
    QTest::newRow("spaces") << 20 << -1 << QStringLiteral("  ");
    QTest::newRow("drag extends by words") << 6 << 17 << QStringLiteral("beta_gamma+delta");
    QTest::newRow("drag backwards by words") << 17 << 1 << QStringLiteral("one beta_gamma+delta");
}

void TestLongTextEdit::doubleClickSelectsWords()
{
    QFETCH(int, column);
    QFETCH(int, dragTo);
    QFETCH(QString, selected);
    // arrange
    LongTextEdit editor;
    prepare(editor, 40);
    editor.setPlainText(QStringLiteral("one beta_gamma+delta  two\n") + base64Run(100000));
    QWidget *view = editor.viewport();
    const QPoint at = cellPoint(editor, 0, column);
    // act: the button stays down after the double-click while dragging
    QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, at);
    if (dragTo >= 0) {
        const QPoint to = cellPoint(editor, 0, dragTo);
        QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
    }
    // assert
    QCOMPARE(editor.selectedText(), selected);
}

void TestLongTextEdit::keysInsertText_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("inserted");
    QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << QStringLiteral("\t");
    QTest::newRow("return") << int(Qt::Key_Return) << 0 << QStringLiteral("\n");
    QTest::newRow("shift+return") << int(Qt::Key_Return) << int(Qt::ShiftModifier)
                                  << QStringLiteral("\n");
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier)
                                  << QStringLiteral("\n");
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << QStringLiteral("a");
}

void TestLongTextEdit::keysInsertText()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, inserted);
    LongTextEdit editor;
    prepare(editor, 40);
    editor.setPlainText(QStringLiteral("left|right"));
    editor.setCursorPosition(5);

    QTest::keyClick(&editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(editor.toPlainText(), QStringLiteral("left|") + inserted + QStringLiteral("right"));
    QCOMPARE(editor.cursorPosition(), 5 + inserted.size());
}

void TestLongTextEdit::editingUndoesAndRedoesExactly()
{
    // arrange
    LongTextEdit editor;
    prepare(editor, 60);
    const QString original = imgTag(bigSize);
    editor.setPlainText(original);
    const int at = 3000000;
    editor.setCursorPosition(at);
    QStringList states{original};

    // act: type, move, backspace twice, delete, enter
    QTest::keyClicks(&editor, QStringLiteral("xyz"));
    states << original.left(at) + QStringLiteral("xyz") + original.mid(at);
    QTest::keyClick(&editor, Qt::Key_Left);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    states << original.left(at) + QStringLiteral("z") + original.mid(at);
    QTest::keyClick(&editor, Qt::Key_Delete);
    states << original.left(at) + original.mid(at);
    QTest::keyClick(&editor, Qt::Key_Return);
    states << original.left(at) + QStringLiteral("\n") + original.mid(at);

    // assert: each step, back and forth
    QVERIFY(editor.toPlainText() == states.last());
    QCOMPARE(editor.cursorPosition(), at + 1);
    for (int i = states.size() - 2; i >= 0; --i) {
        editor.undo();
        QVERIFY2(editor.toPlainText() == states.at(i), qPrintable(QString::number(i)));
    }
    QVERIFY(!editor.isUndoAvailable());
    QCOMPARE(editor.cursorPosition(), at);
    for (int i = 1; i < states.size(); ++i) {
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY2(editor.toPlainText() == states.at(i), qPrintable(QString::number(i)));
    }
    QVERIFY(!editor.isRedoAvailable());
}

void TestLongTextEdit::textInPiecesActsAsWholeText_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("tail");

    const QByteArray run = base64Run(200000).toLatin1();
    QTest::newRow("tag") << QStringLiteral("<img src=\"data:image/png;base64,") << run
                         << QStringLiteral("\"/>");
    QTest::newRow("page with lines and tabs")
        << QStringLiteral("<style>\ndiv {\n\twidth:3px;\n\tbackground: url('") << run
        << QStringLiteral("');\n}\n</style>\n");
    QTest::newRow("payload alone") << QString() << run << QString();
    QTest::newRow("Latin-1 letters and a line break in the bytes")
        << QStringLiteral("caf") << QByteArray("\xE9 na\xEFve\nr\xE9sum\xE9 ") + run << QStringLiteral("!");
}

void TestLongTextEdit::textInPiecesActsAsWholeText()
{
    QFETCH(QString, head);
    QFETCH(QByteArray, payload);
    QFETCH(QString, tail);
    // arrange: the same text set whole and in pieces
    const QString whole = head + QString::fromLatin1(payload) + tail;
    LongTextEdit reference;
    LongTextEdit pieces;
    prepare(reference, 60);
    prepare(pieces, 60);
    reference.setPlainText(whole);
    pieces.setPlainText(head, payload, tail);
    const int boundary = head.size();
    const int inPayload = boundary + payload.size() / 2;
    const int tailStart = boundary + payload.size();

    // assert: the same text, rows and parts
    QVERIFY(pieces.toPlainText() == whole);
    QCOMPARE(pieces.textLength(), whole.size());
    QCOMPARE(pieces.visualRowCount(), reference.visualRowCount());
    QCOMPARE(pieces.textMid(qMax(0, boundary - 5), 10), whole.mid(qMax(0, boundary - 5), 10));
    QCOMPARE(pieces.textMid(tailStart - 5, 10), whole.mid(tailStart - 5, 10));
    QCOMPARE(pieces.cursorRect(inPayload), reference.cursorRect(inPayload));
    pieces.setLineWrapMode(LongTextEdit::NoWrap);
    reference.setLineWrapMode(LongTextEdit::NoWrap);
    QCOMPARE(pieces.visualRowCount(), reference.visualRowCount());
    QCOMPARE(pieces.cursorRect(tailStart + 1), reference.cursorRect(tailStart + 1));
    pieces.setLineWrapMode(LongTextEdit::WidgetWidth);
    reference.setLineWrapMode(LongTextEdit::WidgetWidth);

    // act and assert: a selection across the head's end copies exactly
    pieces.setCursorPosition(qMax(0, boundary - 3));
    pieces.setCursorPosition(boundary + 7, true);
    pieces.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), whole.mid(qMax(0, boundary - 3), boundary + 7 - qMax(0, boundary - 3)));

    // act: typing in the payload and deleting across the tail's start
    for (LongTextEdit *editor : {&reference, &pieces}) {
        editor->setCursorPosition(inPayload);
        QTest::keyClicks(editor, QStringLiteral("xyz"));
        editor->setCursorPosition(tailStart + 3 - 2);
        editor->setCursorPosition(qMin(tailStart + 3 + 2, editor->textLength()), true);
        QTest::keyClick(editor, Qt::Key_Delete);
    }

    // assert: the same edits, and undo brings the shared text back exactly
    QVERIFY(pieces.toPlainText() == reference.toPlainText());
    QVERIFY(pieces.toPlainText() != whole);
    QCOMPARE(pieces.visualRowCount(), reference.visualRowCount());
    pieces.undo();
    pieces.undo();
    QVERIFY(pieces.toPlainText() == whole);
    QVERIFY(!pieces.isUndoAvailable());
    pieces.redo();
    QVERIFY(pieces.toPlainText() == whole.left(inPayload) + QStringLiteral("xyz") + whole.mid(inPayload));
}

void TestLongTextEdit::typingRunUndoesAsOneStep()
{
    LongTextEdit editor;
    prepare(editor, 60);
    editor.setPlainText(QStringLiteral("one two"));
    editor.setCursorPosition(3);

    QTest::keyClicks(&editor, QStringLiteral(" and a half"));
    QTest::keyClick(&editor, Qt::Key_Right);
    QTest::keyClicks(&editor, QStringLiteral("!"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("one and a half !two"));

    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.toPlainText(), QStringLiteral("one and a half two"));
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.toPlainText(), QStringLiteral("one two"));
    QCOMPARE(editor.cursorPosition(), 3);
}

void TestLongTextEdit::cutAndPasteGoThroughClipboard()
{
    // arrange
    LongTextEdit editor;
    prepare(editor, 60);
    const QString original = imgTag(bigSize);
    editor.setPlainText(original);
    editor.setCursorPosition(10);
    editor.setCursorPosition(1000010, true);
    // act: cut a megabyte, paste it at the end
    QTest::keyClick(&editor, Qt::Key_X, Qt::ControlModifier);
    const QString afterCut = original.left(10) + original.mid(1000010);
    QTest::keyClick(&editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    // assert
    QVERIFY(QGuiApplication::clipboard()->text() == original.mid(10, 1000000));
    QVERIFY(editor.toPlainText() == afterCut + original.mid(10, 1000000));
    editor.undo();
    QVERIFY(editor.toPlainText() == afterCut);
    editor.undo();
    QVERIFY(editor.toPlainText() == original);
    QVERIFY(editor.selectedText() == original.mid(10, 1000000));
}

void TestLongTextEdit::signalsFollowState()
{
    LongTextEdit editor;
    prepare(editor, 60);
    editor.setPlainText(QStringLiteral("abcdef"));
    QSignalSpy copy(&editor, &LongTextEdit::copyAvailable);
    QSignalSpy selection(&editor, &LongTextEdit::selectionChanged);
    QSignalSpy cursor(&editor, &LongTextEdit::cursorPositionChanged);
    QSignalSpy text(&editor, &LongTextEdit::textChanged);
    QSignalSpy undo(&editor, &LongTextEdit::undoAvailable);
    QSignalSpy redo(&editor, &LongTextEdit::redoAvailable);

    QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(copy.count(), 1);
    QCOMPARE(copy.at(0).at(0).toBool(), true);
    QCOMPARE(selection.count(), 2);
    QCOMPARE(cursor.count(), 2);
    QCOMPARE(text.count(), 0);

    QTest::keyClicks(&editor, QStringLiteral("X"));
    QCOMPARE(editor.toPlainText(), QStringLiteral("Xcdef"));
    QCOMPARE(copy.count(), 2);
    QCOMPARE(copy.at(1).at(0).toBool(), false);
    QCOMPARE(text.count(), 1);
    QCOMPARE(undo.count(), 1);

    editor.undo();
    QCOMPARE(undo.count(), 2);
    QCOMPARE(undo.at(1).at(0).toBool(), false);
    QCOMPARE(redo.count(), 1);
    QCOMPARE(redo.at(0).at(0).toBool(), true);
    QCOMPARE(editor.selectedText(), QStringLiteral("ab"));
}

void TestLongTextEdit::wrappedRowCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("base64, 5 M") << base64Run(bigSize) << 64 << (bigSize + 63) / 64;
    QTest::newRow("base64, 5 M + 1") << base64Run(bigSize + 1) << 64 << (bigSize + 64) / 64;
    // "<img " fits but the rest is one word: it starts the second row.
    QTest::newRow("img tag") << imgTag(bigSize) << 77
                             << 1 + (bigSize + 29 + 76) / 77;
    // Words of seven letters and a space: five fit into 40 to 47 columns.
    QTest::newRow("words") << QString(QStringLiteral("abcdefg ")).repeated(100001) << 44
                           << (100001 + 4) / 5;
    QTest::newRow("lines") << QString(QStringLiteral("ab\n\ncd")).repeated(1000) << 30 << 2 * 1000 + 1;
}

void TestLongTextEdit::wrappedRowCount()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(int, rows);
    // arrange
    LongTextEdit editor;
    prepare(editor, columns, 12);
    // act
    editor.setPlainText(text);
    const bool estimated = editor.verticalScrollBar()->maximum() > 0;
    const int counted = editor.visualRowCount();
    QVERIFY(Idle::waitUntil([&] {
        return editor.verticalScrollBar()->maximum() + editor.verticalScrollBar()->pageStep()
               == counted;
    }));
    // assert
    QVERIFY(estimated);
    QCOMPARE(counted, rows);
    QCOMPARE(editor.verticalScrollBar()->pageStep(), 12);
}

void TestLongTextEdit::editsRewrapEarlierRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QList<int>>("rowStarts");
    const QString b18 = QString(18, QLatin1Char('b'));
    // 20 columns: "aaaa " stays alone while the b word is too long for it.
    QTest::newRow("shortened word moves up")
        << QStringLiteral("aaaa ") + b18 + QStringLiteral(" cc") << 10 << 3 << QString()
        << QList<int>{0, 21};
    QTest::newRow("lengthened word moves down")
        << QStringLiteral("aaaa bbbbbbbbbbbbbb cc") << 8 << 0 << QStringLiteral("bbb")
        << QList<int>{0, 5};
    QTest::newRow("line break inserted two rows down")
        << QString(45, QLatin1Char('x')) << 41 << 0 << QStringLiteral("\n")
        << QList<int>{0, 20, 40, 42};
}

void TestLongTextEdit::editsRewrapEarlierRows()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(QString, inserted);
    QFETCH(QList<int>, rowStarts);
    // arrange: laid out before the edit
    LongTextEdit editor;
    prepare(editor, 20);
    editor.setPlainText(text);
    editor.visualRowCount();
    // act
    editor.setCursorPosition(position);
    editor.setCursorPosition(position + removed, true);
    editor.insertPlainText(inserted);
    // assert
    QList<int> starts;
    for (int row = 0; row < editor.visualRowCount(); ++row)
        starts << editor.cursorPositionAt(cellPoint(editor, row, 0) - QPoint(2, 0));
    QCOMPARE(starts, rowStarts);
}

void TestLongTextEdit::proportionalRowsAreGreedy()
{
    // arrange: the proportional application font
    LongTextEdit editor;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    editor.setFont(font);
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.resize(333, 400);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QString text = QStringLiteral("<img src=\"data:") + base64Run(200000);
    editor.setPlainText(text);
    QFont painted = font;
    painted.setKerning(false);
    painted.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF metrics(painted);
    const qreal width = editor.viewport()->width() - 2 * editor.documentMargin();
    const int rowHeight = editor.cursorRect(0).height();
    // act / assert: every row is as long as fits, and no longer
    int expectedStart = 0;
    for (int row = 0; row < 15; ++row) {
        const int y = editor.documentMargin() + row * rowHeight + rowHeight / 2;
        const int start = editor.cursorPositionAt(QPoint(0, y));
        const int end = editor.cursorPositionAt(QPoint(editor.viewport()->width() - 1, y));
        QCOMPARE(start, expectedStart);
        const QString rowText = text.mid(start, end - start);
        QVERIFY(metrics.horizontalAdvance(rowText) <= width + 0.01);
        if (!rowText.endsWith(QLatin1Char(' ')))
            QVERIFY(metrics.horizontalAdvance(text.mid(start, end - start + 1)) > width);
        expectedStart = end;
    }
}

void TestLongTextEdit::rowWidthMatchesPaintedText_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("base64") << base64Run(3000) + QLatin1Char('H');
    QTest::newRow("markup") << QStringLiteral("<img src=\"data:image/png;base64,AAAA\"/> WAVE To H");
    QTest::newRow("kerning pairs") << QStringLiteral("AVTo").repeated(40) + QLatin1Char('H');
    QTest::newRow("accents") << QStringLiteral("Überprüfung àéîõü ÆØÅ ñ çH");
}

void TestLongTextEdit::rowWidthMatchesPaintedText()
{
    QFETCH(QString, line);
    // arrange: proportional font, no wrapping, black on white, no caret
    LongTextEdit editor;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    editor.setFont(font);
    QPalette palette = editor.palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    editor.setPalette(palette);
    editor.setLineWrapMode(LongTextEdit::NoWrap);
    editor.setReadOnly(true);
    editor.resize(400, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setPlainText(line);
    // act: put the cursor at the end (scrolling there) and paint
    editor.setCursorPosition(line.size());
    const QRect caret = editor.cursorRect();
    const QImage image = editor.viewport()->grab().toImage();
    int inkRight = -1;
    for (int y = caret.top(); y <= caret.bottom(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                inkRight = qMax(inkRight, x);
    // assert: the layout's width is the font's width of the run without
    // kerning, and the painted glyphs end where the layout says
    QFont painted = font;
    painted.setKerning(false);
    painted.setStyleStrategy(QFont::PreferNoShaping);
    const qreal expected = QFontMetricsF(painted).horizontalAdvance(line);
    const int x = caret.x() + editor.horizontalScrollBar()->value() - editor.documentMargin();
    QVERIFY2(qAbs(x - expected) <= 1.0, qPrintable(QStringLiteral("%1 vs %2").arg(x).arg(expected)));
    QVERIFY2(inkRight <= caret.x() && inkRight >= caret.x() - 3,
             qPrintable(QStringLiteral("ink to %1, caret at %2").arg(inkRight).arg(caret.x())));
}

void TestLongTextEdit::scrollToEndPaintsLastRow()
{
    // arrange
    LongTextEdit editor;
    prepare(editor, 60, 10);
    QPalette palette = editor.palette();
    palette.setColor(QPalette::Text, Qt::red);
    palette.setColor(QPalette::Base, Qt::white);
    editor.setPalette(palette);
    const QString text = base64Run(bigSize) + QStringLiteral("\nlast");
    editor.setPlainText(text);
    // act
    QScrollBar *bar = editor.verticalScrollBar();
    bar->setValue(bar->maximum());
    const QImage image = editor.viewport()->grab().toImage();
    // assert: the range turned exact and the last rows are painted
    const int rows = (bigSize + 59) / 60 + 1;
    QCOMPARE(bar->maximum(), rows - 10);
    QCOMPARE(bar->value(), bar->maximum());
    const int rowHeight = editor.cursorRect(0).height();
    const QPoint lastRow = cellPoint(editor, 9, 2);
    QCOMPARE(editor.cursorPositionAt(lastRow), text.size() - 2);
    int red = 0;
    for (int y = lastRow.y() - rowHeight / 2; y < lastRow.y() + rowHeight / 2; ++y)
        for (int x = 0; x < image.width(); ++x)
            red += QColor(image.pixel(x, y)).red() > 200 && QColor(image.pixel(x, y)).green() < 100;
    QVERIFY(red > 10);
}

void TestLongTextEdit::noWrapScrollsHorizontally()
{
    // arrange
    LongTextEdit editor;
    prepare(editor, 60, 10);
    const QString text = QStringLiteral("short\n") + base64Run(bigSize) + QStringLiteral("\nend");
    // act
    editor.setLineWrapMode(LongTextEdit::NoWrap);
    editor.setPlainText(text);
    QVERIFY(Idle::waitUntil([&] { return editor.horizontalScrollBar()->isVisible(); }));
    QTest::keyClick(&editor, Qt::Key_Down);
    QTest::keyClick(&editor, Qt::Key_End);
    // assert
    QCOMPARE(editor.visualRowCount(), 3);
    QScrollBar *bar = editor.horizontalScrollBar();
    const qreal contentWidth = bigSize * monoAdvance() + 2 * editor.documentMargin();
    QVERIFY(qAbs(bar->maximum() + editor.viewport()->width() - contentWidth) <= 2);
    QVERIFY(bar->maximum() - bar->value() <= 1);
    QCOMPARE(editor.cursorPosition(), 6 + bigSize);
    const QRect caret = editor.cursorRect();
    QVERIFY(editor.viewport()->rect().contains(caret.center()));
    QTest::keyClick(&editor, Qt::Key_Left, Qt::ShiftModifier);
    QVERIFY(editor.selectedText() == text.mid(6 + bigSize - 1, 1));
}

void TestLongTextEdit::contextMenuHasStandardActions_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    QTest::newRow("editable")
        << false << QStringList{"edit-undo", "edit-cut", "edit-copy", "edit-paste", "edit-delete",
                                "select-all"}
        << QStringList{"edit-redo"};
    QTest::newRow("read-only") << true << QStringList{"edit-copy", "select-all"} << QStringList();
}

void TestLongTextEdit::contextMenuHasStandardActions()
{
    QFETCH(bool, readOnly);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    // arrange: a selection, an undoable edit, text on the clipboard
    LongTextEdit editor;
    prepare(editor, 60);
    editor.setPlainText(QStringLiteral("hello world"));
    editor.setCursorPosition(5);
    editor.insertPlainText(QStringLiteral(","));
    editor.setCursorPosition(0);
    editor.setCursorPosition(5, true);
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    editor.setReadOnly(readOnly);
    // act
    QScopedPointer<QMenu> menu(editor.createStandardContextMenu());
    // assert
    QStringList names;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        names << action->objectName();
        QVERIFY2(action->isEnabled() == enabled.contains(action->objectName()),
                 qPrintable(action->objectName()));
    }
    QStringList all = enabled + disabled;
    std::sort(all.begin(), all.end());
    std::sort(names.begin(), names.end());
    QCOMPARE(names, all);
    menu->findChild<QAction *>(QStringLiteral("edit-copy"))->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
}

void TestLongTextEdit::readOnlyRejectsEdits_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("letter") << int(Qt::Key_A) << 0;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0;
    QTest::newRow("enter") << int(Qt::Key_Return) << 0;
    QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier);
    QTest::newRow("cut") << int(Qt::Key_X) << int(Qt::ControlModifier);
    QTest::newRow("undo") << int(Qt::Key_Z) << int(Qt::ControlModifier);
}

void TestLongTextEdit::readOnlyRejectsEdits()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    // arrange: an undoable edit made before turning read-only
    LongTextEdit editor;
    prepare(editor, 60);
    editor.setPlainText(imgTag(100000));
    editor.setCursorPosition(20);
    editor.insertPlainText(QStringLiteral("!"));
    const QString before = editor.toPlainText();
    editor.setCursorPosition(10);
    editor.setCursorPosition(30, true);
    QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
    editor.setReadOnly(true);
    // act
    QTest::keyClick(&editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QMimeData mime;
    mime.setText(QStringLiteral("dropped"));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &enter);
    // assert
    QVERIFY(editor.toPlainText() == before);
    QVERIFY(!enter.isAccepted());
    QTest::keyClick(&editor, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QGuiApplication::clipboard()->text() == before.mid(10, 20));
}

void TestLongTextEdit::dropInsertsTextAtPoint()
{
    // arrange
    LongTextEdit editor;
    prepare(editor, 40);
    const QString original = base64Run(bigSize);
    editor.setPlainText(original);
    QMimeData mime;
    mime.setText(QStringLiteral("<dropped>"));
    const QPoint point = cellPoint(editor, 2, 7);
    // act
    const DragResult result = dragAndDrop(editor, point, mime);
    // assert
    QVERIFY(result.entered);
    QVERIFY(result.dropped);
    const int at = 2 * 40 + 7;
    QVERIFY(editor.toPlainText() == original.left(at) + QStringLiteral("<dropped>") + original.mid(at));
    QCOMPARE(editor.selectedText(), QStringLiteral("<dropped>"));
    editor.undo();
    QVERIFY(editor.toPlainText() == original);
}

void TestLongTextEdit::dropsCarryingAddressesAreRefused_data()
{
    QTest::addColumn<QStringList>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");

    QTest::newRow("picture file from a file manager")
        << QStringList{QStringLiteral("file:///home/user/photo.png")}
        << QStringLiteral("file:///home/user/photo.png") << false;
    QTest::newRow("two files") << QStringList{QStringLiteral("file:///tmp/a.png"), QStringLiteral("file:///tmp/b.jpg")}
                               << QStringLiteral("file:///tmp/a.png\nfile:///tmp/b.jpg") << false;
    QTest::newRow("link from a browser") << QStringList{QStringLiteral("https://example.org/a.png")}
                                         << QStringLiteral("https://example.org/a.png") << false;
    QTest::newRow("plain text") << QStringList() << QStringLiteral("file:///typed/by/hand") << true;
}

void TestLongTextEdit::dropsCarryingAddressesAreRefused()
{
    QFETCH(QStringList, urls);
    QFETCH(QString, text);
    QFETCH(bool, taken);
    // arrange
    LongTextEdit editor;
    prepare(editor, 40);
    const QString original = base64Run(4000);
    editor.setPlainText(original);
    QMimeData mime;
    QList<QUrl> list;
    for (const QString &url : urls)
        list.append(QUrl(url));
    if (!list.isEmpty())
        mime.setUrls(list);
    mime.setText(text);
    const QPoint point = cellPoint(editor, 2, 7);
    // act
    const DragResult result = dragAndDrop(editor, point, mime);
    // assert
    QCOMPARE(result.entered, taken);
    QCOMPARE(result.dropped, taken);
    const int at = 2 * 40 + 7;
    const QString expected = taken ? original.left(at) + text + original.mid(at) : original;
    QVERIFY(editor.toPlainText() == expected);
}

void TestLongTextEdit::inputMethodCommitsAndReportsWindow()
{
    // arrange
    LongTextEdit editor;
    prepare(editor, 60);
    const QString original = imgTag(bigSize);
    editor.setPlainText(original);
    const int at = 2500000;
    editor.setCursorPosition(at);
    // act: a preedit, then its commit
    QInputMethodEvent preedit(QStringLiteral("u"), {});
    QApplication::sendEvent(&editor, &preedit);
    const QString duringPreedit = editor.toPlainText();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ü"));
    QApplication::sendEvent(&editor, &commit);
    // assert
    QVERIFY(duringPreedit == original);
    QVERIFY(editor.toPlainText() == original.left(at) + QStringLiteral("ü") + original.mid(at));
    const QString surrounding = editor.inputMethodQuery(Qt::ImSurroundingText).toString();
    const int cursor = editor.inputMethodQuery(Qt::ImCursorPosition).toInt();
    QVERIFY(surrounding.size() <= 1024);
    QVERIFY(surrounding.left(cursor).endsWith(QStringLiteral("ü")));
    QVERIFY(editor.toPlainText().mid(at + 1 - cursor, surrounding.size()) == surrounding);
    QCOMPARE(editor.inputMethodQuery(Qt::ImAbsolutePosition).toInt(), at + 1);
    QVERIFY(editor.inputMethodQuery(Qt::ImEnabled).toBool());
}

void TestLongTextEdit::accessibleInterfaceDescribesText()
{
    LongTextEdit editor;
    prepare(editor, 60);
    editor.setAccessibleName(QStringLiteral("Encoded text"));
    editor.setPlainText(QStringLiteral("abc\ndef"));
    editor.setCursorPosition(1);
    editor.setCursorPosition(5, true);

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&editor);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Encoded text"));
    QVERIFY(accessible->state().multiLine);
    QAccessibleTextInterface *text = accessible->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 7);
    QCOMPARE(text->cursorPosition(), 5);
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(start, 1);
    QCOMPARE(end, 5);
    QCOMPARE(text->text(2, 6), QStringLiteral("c\nde"));
}

GLYPH_TEST_MAIN(TestLongTextEdit)
#include "tst_longtextedit.moc"
