#pragma once

#include <QFrame>
#include <QPixmap>
#include <QSize>

class QAction;
class QScrollArea;

namespace QMWidgets {

class ImageNoteWorkArea;
class NoteEditDragPreview;

// The window in which the user annotates a screenshot: a tool column with a
// draggable thumbnail on top and a new-screenshot button at the bottom, a top
// bar with colour, thickness, undo, redo, save, application menu and quit,
// and the drawing canvas in a scroll area. Unsaved changes are guarded by
// prompts before quitting, closing and taking a new screenshot.
// The embedder feeds pictures through slotSetPixmap() and answers
// doNewScreenShot() with a new one.
class ImageNoteEditor : public QFrame
{
    Q_OBJECT

public:
    explicit ImageNoteEditor(QWidget *parent = nullptr);

    // The canvas and the thumbnail; both owned by the window.
    ImageNoteWorkArea *workArea() const { return m_workArea; }
    NoteEditDragPreview *dragPreview() const { return m_dragPreview; }

    // The picture size shown for a picture of pictureSize at the given screen
    // scale factor (a factor that is not a positive number counts as 1).
    static QSize scaledPictureSize(const QSize &pictureSize, double scaleFactor);
    // The window size for a scaled picture on a desktop of desktopSize: the
    // picture plus room for the bars, or two thirds of the desktop when that
    // does not fit.
    static QSize windowSizeFor(const QSize &scaledSize, const QSize &desktopSize);

signals:
    void changed();
    void shown();
    void doNewScreenShot();

public slots:
    void slotSetPixmap(QPixmap pixmap);
    void slotAbout();
    void slotSetThikness(QAction *action);
    void slotSetDashLine(bool dash);
    void slotSetDrawTool(QAction *action);
    void slotSetFont();
    void slotSetPenTool();
    void slotSetEraserTool();
    void slotSetHighlighterTool();
    void slotSetRectangleTool();
    void slotSetFilledRectangleTool();
    void slotSetBlurRectangleTool();
    void slotSetOvalTool();
    void slotSetFilledOvalTool();
    void slotSetLineTool();
    void slotSetArrowTool();
    void slotSetTextTool();
    void slotChanged();
    void slotNewScreenShot();
    void slotQuitClicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Runs the unsaved-changes box; 0 when the window went away meanwhile.
    int askUnsaved(const QString &text, int buttons);

    ImageNoteWorkArea *m_workArea;
    QScrollArea *m_scrollArea;
    QFrame *m_toolFrame;
    NoteEditDragPreview *m_dragPreview;
};

} // namespace QMWidgets
