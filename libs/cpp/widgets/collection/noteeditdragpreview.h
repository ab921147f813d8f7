#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>

class QMimeData;

namespace QMWidgets {

// A thumbnail of the edited picture under a "Drag" band. Dragging it with the
// left button writes the picture as a PNG file into the application's work
// folder and drags that file out, so any program that takes files can get it.
class NoteEditDragPreview : public QWidget
{
    Q_OBJECT

public:
    explicit NoteEditDragPreview(QWidget *parent = nullptr);

    QPixmap pixmap() const { return m_pixmap; }

    // Writes the picture to the first usable drag file of the work folder and
    // returns mime data holding that file's URL; the caller takes ownership.
    // Returns null (and leaves every drag file as it was) when there is no
    // picture or none of the names can be written.
    QMimeData *prepareDragData() const;

    // The work-folder file a drag tries for index 0 to MaxDragFiles - 1.
    static QString dragFilePath(int index);
    static const int MaxDragFiles = 32;

    // Writes the file and runs a copy drag of it; nothing happens when the
    // file cannot be written.
    virtual void startDrag();

public slots:
    void slotSetPixmap(const QPixmap &pixmap);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_pixmap;
    QPoint m_pressPoint;
};

} // namespace QMWidgets
