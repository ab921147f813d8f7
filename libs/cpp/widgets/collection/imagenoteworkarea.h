#pragma once

#include <QColor>
#include <QFont>
#include <QLine>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QVector>
#include <QWidget>

class QCursor;
class QPainter;
class QPen;

namespace QMWidgets {

class NoteEditWidget;

// The drawing surface of the image note editor. It shows one picture at its
// natural size with a transparent drawing layer over it; the tools draw onto
// the layer only, so the picture itself is never changed. Whole layer states
// are kept for undo and redo (bounded in count and in memory), and the
// composite can be saved as a PNG file.
class ImageNoteWorkArea : public QWidget
{
    Q_OBJECT

public:
    // The drawing tools. The editor window sets Pen to Text; the canvas
    // switches between Text, TextCanceled and TextAccepted itself. Values
    // outside the list draw like Pen (the fixed underlying type makes any int
    // a valid value).
    enum Mode : int {
        Pen = 0,
        Eraser,
        Highlighter,
        Rectangle,
        FilledRectangle,
        BlurRectangle,
        Oval,
        FilledOval,
        Line,
        Arrow,
        Text,
        TextCanceled,
        TextAccepted
    };

    // At most this many layer states are kept on each of the undo and redo
    // stacks, and the oldest states are dropped earlier when both stacks
    // together would hold more than UndoByteBudget bytes (the newest state
    // always stays).
    static const int UndoLimit = 50;
    static const qint64 UndoByteBudget = qint64(512) * 1024 * 1024;

    explicit ImageNoteWorkArea(QWidget *parent = nullptr);
    ~ImageNoteWorkArea() override;

    // The picture with the layer drawn over it. The reference stays valid
    // while the canvas lives; the next call refreshes it.
    const QPixmap &resultPixmap();
    // True until a save succeeds; set again by every change (drawing, editing
    // an open note, undo and redo) and by a new picture.
    bool isModified() const;
    // Styles the note editor's text field in the drawing colour.
    void updateNoteStyle();

    // Writes the composite of the canvas as PNG to fileName, atomically (an
    // open note as its text alone, the note staying open): an
    // existing file is replaced only when the whole new file was written.
    // Returns false (and leaves the file as it was) on failure, and for a name
    // that is a folder, device or pipe; success clears isModified().
    bool saveToFile(const QString &fileName);

    Mode currentMode() const { return mode; }
    QColor penColor() const { return color; }
    QFont noteFont() const { return font; }
    int penThickness() const { return thickness; }
    bool isDashLine() const { return dashLine; }
    int undoCount() const { return undoStack.size(); }
    int redoCount() const { return redoStack.size(); }
    // The drawing layer (transparent where nothing is drawn).
    QPixmap layerPixmap() const { return layer; }
    // The text-note editor, a child of the canvas.
    NoteEditWidget *noteEditWidget() const { return noteEditor; }

signals:
    void changed();
    void redoAvailable(bool available);
    void undoAvailable(bool available);

public slots:
    void slotSetPixmap(QPixmap pixmap);
    void slotSetMode(Mode value);
    void slotSetColor(QColor value);
    void slotSetFont(QFont value);
    void slotSetThikness(int value);
    void slotSetDashLine(bool value);
    // Asks for a file name (starting in the last-save folder) and saves the
    // composite there; a failed write is reported in a message box.
    void slotSave();
    void slotUndo();
    void slotRedo();
    void slotEditCanceled();
    void slotEditAccepted();
    void slotSwitchToEdit();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    // Over the open note the tool cursor steps aside for the note's own.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void commit();
    void drawShape(QPainter &painter, Mode tool, bool onLayer);
    void drawStroke(QPainter &painter, Mode tool);
    void drawBlur(QPainter &painter);
    void drawArrow(QPainter &painter);
    // Draws the open note's text in its rectangle, as accepting the note does.
    void drawNoteText(QPainter &painter);
    void openNote();
    void pushUndo(const QPixmap &state);
    void trimStacks();
    QPen strokePen(Mode tool) const;
    QPen shapePen(Mode tool) const;
    QCursor cursorForMode() const;
    void setToolCursor();
    void removeToolCursor();
    void finishNote(Mode transient);

    QPixmap background;
    QPixmap layer;
    QPixmap result;
    QPoint previousPoint;
    QPoint currentPoint;
    QPoint pressPoint;
    Mode mode = Pen;
    QColor color = Qt::yellow;
    QFont font;
    int thickness = 1;
    bool dashLine = false;
    bool mouseDown = false;
    NoteEditWidget *noteEditor = nullptr;
    bool dirty = false;
    QVector<QPixmap> undoStack;
    QVector<QPixmap> redoStack;
    QList<QLine> strokeLines;
    bool modified = true;
    bool overrideCursorSet = false;
};

} // namespace QMWidgets
