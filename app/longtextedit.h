#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QPoint>
#include <QString>
#include <QVector>

class QMenu;
class QMimeData;

// A plain-text editor for texts with very long lines, such as a data URI of
// many megabytes on one line. It works like QPlainTextEdit for the user
// (wrapping, editing, selection, clipboard, undo, drag and drop, input
// methods, context menu) but lays out only what it needs. Drops of plain
// text are taken; drops that carry file or link addresses are refused.
//
// The text is one QString with an index of its line starts; a text set as
// head, Latin-1 bytes and tail keeps the bytes as given (shared with the
// caller, one byte a character) until the first edit makes a private copy. Wrapped rows are
// laid out from the top of the text on demand (what is shown, the cursor, a
// scroll target) and the rest in short idle-time slices; until that is done
// the scroll range counts the rest by an estimate. Rows above the laid-out
// point are exact, so the view never jumps when the estimate is refined.
// Each character's advance is taken on its own (kerning and shaping are off
// in the painted font), so laying out a row is a sum of cached advances.
//
// The vertical scroll bar counts rows; the horizontal one (NoWrap) pixels.
class LongTextEdit : public QAbstractScrollArea
{
    Q_OBJECT
    Q_PROPERTY(QString plainText READ toPlainText WRITE setPlainText NOTIFY textChanged USER true)
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(LineWrapMode lineWrapMode READ lineWrapMode WRITE setLineWrapMode)
    Q_PROPERTY(qreal tabStopDistance READ tabStopDistance WRITE setTabStopDistance)
public:
    enum LineWrapMode { NoWrap, WidgetWidth };
    Q_ENUM(LineWrapMode)

    // The cursor and selection, read with the names of QTextCursor.
    class Cursor
    {
    public:
        int position() const { return m_position; }
        int anchor() const { return m_anchor; }
        int selectionStart() const { return qMin(m_position, m_anchor); }
        int selectionEnd() const { return qMax(m_position, m_anchor); }
        bool hasSelection() const { return m_position != m_anchor; }

    private:
        friend class LongTextEdit;
        int m_position = 0;
        int m_anchor = 0;
    };

    explicit LongTextEdit(QWidget *parent = nullptr);
    explicit LongTextEdit(const QString &text, QWidget *parent = nullptr);
    ~LongTextEdit() override;

    // The stored text exactly as set and edited (shared, no copy, unless it
    // was set in pieces and not edited since: then built on each call).
    QString toPlainText() const;
    // Its length in characters, and a part of it, without building it whole.
    int textLength() const { return m_size; }
    QString textMid(int position, int length) const;
    // The text as Latin-1 bytes, made without a UTF-16 copy of it (shared
    // bytes of a text set in pieces are reused). fits tells whether every
    // character is in Latin-1; when it is not, the result is empty.
    QByteArray toLatin1(bool *fits) const;

    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

    LineWrapMode lineWrapMode() const { return m_wrapMode; }
    void setLineWrapMode(LineWrapMode mode);

    // Distance between tab stops in pixels (80 by default).
    qreal tabStopDistance() const { return m_tabStopDistance; }
    void setTabStopDistance(qreal distance);

    bool hasSelectedText() const { return m_cursor != m_anchor; }
    QString selectedText() const;

    Cursor textCursor() const;
    int cursorPosition() const { return m_cursor; }
    // Moves the cursor to the position (clamped, never inside a surrogate
    // pair); with keepAnchor the selection runs from the anchor to it.
    void setCursorPosition(int position, bool keepAnchor = false);
    void ensureCursorVisible();

    bool isUndoAvailable() const { return m_undoDone > 0; }
    bool isRedoAvailable() const { return m_undoDone < m_undo.size(); }

    // Caret rectangle of a text position (or of the cursor), in viewport
    // coordinates.
    QRect cursorRect(int position) const;
    QRect cursorRect() const;
    // Text position nearest to a point in viewport coordinates.
    int cursorPositionAt(const QPoint &position) const;

    // Number of visual rows; lays out the whole text first.
    int visualRowCount() const;
    // Blank space between the frame and the text, in pixels.
    int documentMargin() const { return 4; }

    // A new menu with Undo, Redo, Cut, Copy, Paste, Delete and Select All
    // (only Copy and Select All when read-only); the caller owns it.
    QMenu *createStandardContextMenu();
    QMenu *createStandardContextMenu(const QPoint &position);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    // Replaces the whole text, clears the undo history, puts the cursor at
    // the start and scrolls to the top.
    void setPlainText(const QString &text);
    // The same for the text head + latin1 (one character a byte) + tail; the
    // bytes are kept as they are, shared with the caller, until an edit.
    void setPlainText(const QString &head, const QByteArray &latin1, const QString &tail);
    // Adds the text as a new paragraph at the end (undoable).
    void appendPlainText(const QString &text);
    // Replaces the selection, or inserts at the cursor (undoable).
    void insertPlainText(const QString &text);
    void clear();
    void selectAll();
    void copy();
    void cut();
    void paste();
    void undo();
    void redo();

signals:
    void textChanged();
    void selectionChanged();
    void copyAvailable(bool yes);
    void undoAvailable(bool available);
    void redoAvailable(bool available);
    void cursorPositionChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    // What an edit was, so that runs of typing or deleting undo as one step.
    enum EditKind { OtherEdit, Typing, DeletingBack, DeletingForward };
    struct Edit
    {
        int position;
        QString removed;
        QString inserted;
        int anchorBefore, cursorBefore;
        int anchorAfter, cursorAfter;
        int group;
        EditKind kind;
    };

    // Reads the characters of the text, whole or in pieces, by index.
    struct Chars
    {
        const ushort *head;
        int headSize;
        const uchar *payload;
        int payloadEnd;
        const ushort *tail;
        ushort operator[](int i) const
        {
            if (i < headSize)
                return head[i];
            if (i < payloadEnd)
                return payload[i - headSize];
            return tail[i - payloadEnd];
        }
    };
    Chars chars() const;
    ushort charAt(int i) const { return chars()[i]; }

    void init();
    void setText(const QString &head, const QByteArray &latin1, const QString &tail);
    void finishReplay(int anchor, int cursor);
    void updateMetrics();
    qint32 wideAdvance(const Chars &data, int index) const;
    qint32 tabAdvance(qint64 x) const;
    qint32 advanceAt(const Chars &data, int index, qint64 x) const;

    // Layout.
    int breakRow(int start, bool *atNewline) const;
    void layoutRows(int minRows, int position, qint64 maxChars) const;
    bool layoutComplete() const;
    int knownRowCount() const;
    int rowStart(int row) const;
    int rowEnd(int row) const;
    bool rowEndsAtBreak(int row) const;
    int rowOfPosition(int position) const;
    int visualRowOfCursor() const;
    int estimatedRowCount() const;
    qint64 averageAdvance(int from) const;
    qint64 lineWidth(int line) const;
    void measureLines(qint64 maxChars) const;
    qint64 estimatedWidth() const;
    const QVector<qint64> *checkpoints(int row) const;
    qint64 xOfPosition(int row, int position) const;
    int positionAtX(int row, qint64 x) const;
    int hitTest(const QPoint &point, bool *atRowEnd, bool nearest) const;
    void resetLayout();
    void relayoutKeepingTop();
    void invalidateFrom(int position);
    qint64 wrapWidthFor(int viewportWidth) const;
    int pageRows() const;
    void updateScrollBars();
    void scheduleBackgroundLayout();

    // Painting.
    void paintRowText(QPainter &painter, int row, int y) const;
    int rowY(int row) const;
    qreal pixelX(qint64 x) const;

    // Cursor and selection.
    int validPosition(int position, bool forward) const;
    int nextCharPosition(int position) const;
    int previousCharPosition(int position) const;
    int charClass(int position) const;
    int nextWordPosition(int position) const;
    int previousWordPosition(int position) const;
    void wordAt(int position, int *start, int *end) const;
    int lineIndexOf(int position) const;
    void setCursorState(int anchor, int cursor, bool atRowEnd = false);
    void moveCursorTo(int position, bool keepAnchor, bool atRowEnd = false);
    void moveVertically(int rows, bool keepAnchor);
    void moveToRowEdge(bool end, bool keepAnchor);
    void extendMouseSelection(const QPoint &viewportPos);
    void restartBlinking();

    // Editing.
    void edit(int position, int length, const QString &text, EditKind kind, int anchorAfter,
              int cursorAfter, bool reveal = true);
    void applyChange(int position, int length, const QString &text);
    void replaceSelection(const QString &text, EditKind kind);
    void deleteBackward(bool word);
    void deleteForward(bool word);
    void emitUndoState();
    bool handleEditKey(QKeyEvent *event);
    bool handleMoveKey(QKeyEvent *event);
    void startDrag();
    bool takesDrop(const QMimeData *mime) const;

    QString m_text;            // the whole text, or its head while m_pieces
    QByteArray m_payload;      // while m_pieces: Latin-1 characters after the head
    QString m_tail;            // while m_pieces: the characters after those
    bool m_pieces = false;
    int m_size = 0;            // length of the whole text
    QVector<int> m_lineStarts; // start of every line; the first is 0

    // Font metrics, in 1/64 pixel.
    QFont m_layoutFont;
    qint32 m_ascii[128];
    mutable QHash<uint, qint32> m_wideAdvances;
    qint32 m_tabStop = 0;
    int m_rowHeight = 1;
    qreal m_ascent = 0;
    qreal m_tabStopDistance = 80;

    // Wrapped rows, laid out from the top up to m_nextRowStart.
    LineWrapMode m_wrapMode = WidgetWidth;
    qint64 m_wrapWidth = 0;
    mutable QVector<int> m_rows;
    mutable int m_nextRowStart = 0;
    mutable bool m_rowsComplete = false;

    // Line widths without wrapping (-1 while unknown), and for long lines the
    // pen position at every checkpointChars-th character.
    mutable QVector<qint64> m_lineWidths;
    mutable int m_widthsUnknown = 0;
    mutable int m_widthScan = 0;
    mutable qint64 m_maxKnownWidth = 0;
    mutable int m_longestLine = -1; // characters; -1 while unknown
    mutable int m_longestLineStart = 0;
    mutable QHash<int, QVector<qint64>> m_checkpoints;

    int m_cursor = 0;
    int m_anchor = 0;
    bool m_cursorAtRowEnd = false; // shown at the end of the row before a soft break
    qint64 m_desiredX = -1;
    bool m_readOnly = false;

    QVector<Edit> m_undo;
    int m_undoDone = 0;
    int m_lastGroup = 0;
    int m_openGroup = -1;
    bool m_mergeOpen = false;
    bool m_undoAvailableSent = false;
    bool m_redoAvailableSent = false;

    QBasicTimer m_blinkTimer;
    QBasicTimer m_layoutTimer;
    QBasicTimer m_autoScrollTimer;
    bool m_caretVisible = false;
    bool m_selecting = false;
    bool m_dragPending = false;
    bool m_wordSelecting = false;
    int m_wordStart = 0;
    int m_wordEnd = 0;
    QPoint m_pressPos;
    QPoint m_lastMousePos;
    qint64 m_lastDoubleClick = -1;
    QPoint m_doubleClickPos;
    int m_dropCaret = -1;
    bool m_dragMovedInside = false;
    QString m_preedit;
    bool m_updatingScrollBars = false;
    bool m_scrollBarsDirty = false;
};
