#include "imagenoteworkarea.h"

#include "app.h"
#include "filedialog.h"
#include "filehelpers.h"
#include "graphx.h"
#include "mmessagebox.h"
#include "noteeditwidget.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QTextEdit>
#include <QTimer>
#include <QtMath>

namespace QMWidgets {

namespace {

// Size of a text note opened by a click or a short drag.
const QSize DefaultNoteSize(220, 90);
// A drag shorter than this (|dx| + |dy|) opens a note of the default size.
const int NoteDragThreshold = 100;
// Blur radius of the blur tool.
const int BlurRadius = 10;

bool isTextMode(ImageNoteWorkArea::Mode m)
{
    return m == ImageNoteWorkArea::Text || m == ImageNoteWorkArea::TextCanceled
           || m == ImageNoteWorkArea::TextAccepted;
}

bool isFreehand(ImageNoteWorkArea::Mode m)
{
    return m == ImageNoteWorkArea::Pen || m == ImageNoteWorkArea::Eraser
           || m == ImageNoteWorkArea::Highlighter;
}

// Values outside the tool list draw like the pen.
ImageNoteWorkArea::Mode effectiveTool(ImageNoteWorkArea::Mode m)
{
    if (m < ImageNoteWorkArea::Pen || m > ImageNoteWorkArea::TextAccepted)
        return ImageNoteWorkArea::Pen;
    return m;
}

qint64 stateBytes(const QPixmap &pixmap)
{
    return qint64(pixmap.width()) * pixmap.height() * qMax(1, pixmap.depth() / 8);
}

} // namespace

ImageNoteWorkArea::ImageNoteWorkArea(QWidget *parent)
    : QWidget(parent)
{
    noteEditor = new NoteEditWidget(this);
    noteEditor->setAutoFillBackground(true);
    noteEditor->hide();
    connect(noteEditor, SIGNAL(cancelClicked()), this, SLOT(slotEditCanceled()));
    connect(noteEditor, SIGNAL(okClicked()), this, SLOT(slotEditAccepted()));
    // Editing an open note (its text or its size) changes the picture, also
    // after a save that wrote the note as it was then.
    connect(noteEditor->textEdit(), &QTextEdit::textChanged, this, [this] {
        if (!noteEditor->isHidden())
            modified = true;
    });
    noteEditor->installEventFilter(this);
    updateNoteStyle();
}

ImageNoteWorkArea::~ImageNoteWorkArea()
{
    if (overrideCursorSet)
        QGuiApplication::restoreOverrideCursor();
}

const QPixmap &ImageNoteWorkArea::resultPixmap()
{
    if (background.isNull()) {
        result = QPixmap();
        return result;
    }
    if (result.size() != background.size())
        result = QPixmap(background.size());
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    // The picture replaces the previous composite, so a picture with
    // transparent parts does not accumulate old layers.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, background);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawPixmap(0, 0, layer);
    painter.end();
    return result;
}

bool ImageNoteWorkArea::isModified() const
{
    return modified;
}

void ImageNoteWorkArea::updateNoteStyle()
{
    noteEditor->textEdit()->setStyleSheet(
        QStringLiteral("QTextEdit{color: %1; background: rgba(10, 10, 10, 5);}").arg(color.name()));
}

bool ImageNoteWorkArea::saveToFile(const QString &fileName)
{
    if (fileName.isEmpty() || size().isEmpty() || !MTools::isSaveTarget(fileName))
        return false;
    QPixmap picture(size());
    picture.fill(Qt::transparent);
    // The note editor is no part of the picture: an open note is drawn as its
    // text, the way accepting it draws it, onto the layer for this render only.
    // Only the note's part of the layer is kept aside and put back, so the
    // drawing is held to it; the note itself stays open.
    const bool noteOpen = !noteEditor->isHidden() && !layer.isNull();
    QRect noteArea;
    QPixmap underNote;
    if (noteOpen) {
        noteArea = QRect(pressPoint, currentPoint).normalized() & layer.rect();
        underNote = layer.copy(noteArea);
        QPainter painter(&layer);
        painter.setClipRect(noteArea);
        drawNoteText(painter);
    }
    render(&picture, QPoint(0, 0), QRegion(), QWidget::RenderFlags(QWidget::DrawWindowBackground));
    if (noteOpen) {
        QPainter painter(&layer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawPixmap(noteArea.topLeft(), underNote);
    }

    // Written beside the target and renamed over it only when complete.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!picture.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    modified = false;
    return true;
}

void ImageNoteWorkArea::slotSetPixmap(QPixmap pixmap)
{
    modified = true;
    background = pixmap;
    result = pixmap;
    setFixedSize(pixmap.size());
    if (pixmap.isNull()) {
        layer = QPixmap();
    } else {
        layer = QPixmap(pixmap.size());
        layer.fill(QColor(0, 0, 0, 0));
    }
    undoStack.clear();
    redoStack.clear();
    strokeLines.clear();
    mouseDown = false;
    // A note opened on the previous picture does not belong to this one, nor
    // does its text.
    noteEditor->hideAll();
    noteEditor->textEdit()->clear();
    emit redoAvailable(false);
    emit undoAvailable(false);
    update();
}

void ImageNoteWorkArea::slotSetMode(Mode value)
{
    mode = value;
    if (!isTextMode(mode))
        noteEditor->hideAll();
}

void ImageNoteWorkArea::slotSetColor(QColor value)
{
    color = value;
    updateNoteStyle();
}

void ImageNoteWorkArea::slotSetFont(QFont value)
{
    font = value;
    updateNoteStyle();
}

void ImageNoteWorkArea::slotSetThikness(int value)
{
    thickness = value;
}

void ImageNoteWorkArea::slotSetDashLine(bool value)
{
    dashLine = value;
}

void ImageNoteWorkArea::slotSave()
{
    const QString name = QStringLiteral("/EditedScreenShot_")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"))
                         + QStringLiteral(".png");
    App *app = App::instance();
    const QString folder = app ? app->lastSaveDirectory() : QString();
    const QString fileName = FileDialog::getSaveFileName(this, tr("Save Picture"), folder + name,
                                                         QStringLiteral("*.png"));
    if (fileName.isEmpty())
        return;
    const bool saved = saveToFile(fileName);
    if (app)
        app->setLastSaveDirectory(fileName);
    if (!saved) {
        MMessageBox::warning(this, tr("Save Picture"),
                             tr("The picture could not be saved to\n%1")
                                 .arg(QDir::toNativeSeparators(fileName)),
                             QMessageBox::Ok);
    }
}

void ImageNoteWorkArea::slotUndo()
{
    if (!undoStack.isEmpty()) {
        redoStack.append(layer);
        layer = undoStack.takeLast();
        trimStacks();
        // What is shown now differs from what a save wrote.
        modified = true;
        repaint();
        emit changed();
    }
    emit undoAvailable(!undoStack.isEmpty());
    emit redoAvailable(!redoStack.isEmpty());
}

void ImageNoteWorkArea::slotRedo()
{
    if (!redoStack.isEmpty()) {
        undoStack.append(layer);
        layer = redoStack.takeLast();
        trimStacks();
        modified = true;
        repaint();
        emit changed();
    }
    emit redoAvailable(!redoStack.isEmpty());
    emit undoAvailable(!undoStack.isEmpty());
}

void ImageNoteWorkArea::slotEditCanceled()
{
    if (!qobject_cast<QWidget *>(sender()))
        return;
    noteEditor->hideAll();
    noteEditor->textEdit()->clear();
    finishNote(TextCanceled);
}

void ImageNoteWorkArea::slotEditAccepted()
{
    if (!qobject_cast<QWidget *>(sender()))
        return;
    noteEditor->hideAll();
    if (!layer.isNull()) {
        pushUndo(layer);
        QPainter painter(&layer);
        drawNoteText(painter);
        painter.end();
        emit undoAvailable(true);
    }
    noteEditor->textEdit()->clear();
    modified = true;
    emit changed();
    finishNote(TextAccepted);
}

void ImageNoteWorkArea::drawNoteText(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(noteEditor->textEdit()->currentFont());
    painter.setPen(shapePen(Text));
    painter.drawText(QRect(pressPoint + QPoint(3, 3), currentPoint), Qt::TextWordWrap,
                     noteEditor->textEdit()->toPlainText());
}

void ImageNoteWorkArea::slotSwitchToEdit()
{
    mode = Text;
}

void ImageNoteWorkArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->localPos().toPoint();
        pressPoint = previousPoint = currentPoint = pos;
        mouseDown = true;
        dirty = true;
        strokeLines.clear();
        // A click without movement leaves a dot of the pen's width.
        if (isFreehand(effectiveTool(mode)))
            strokeLines.append(QLine(pos, pos));
        modified = true;
        emit changed();
        update();
    }
    QWidget::mousePressEvent(event);
}

void ImageNoteWorkArea::mouseMoveEvent(QMouseEvent *event)
{
    // Back on the canvas from the open note. A note that opened under the
    // pointer may never be told that the pointer left it, so the move decides.
    if (!overrideCursorSet && underMouse()
        && !(noteEditor->isVisible() && noteEditor->geometry().contains(event->pos())))
        setToolCursor();
    if (mouseDown && (event->buttons() & Qt::LeftButton)) {
        previousPoint = currentPoint;
        currentPoint = event->localPos().toPoint();
        // Segments are recorded here, not at paint time, so moves that
        // arrive between two paints are not lost.
        if (isFreehand(effectiveTool(mode)) && currentPoint != previousPoint)
            strokeLines.append(QLine(previousPoint, currentPoint));
        dirty = true;
        modified = true;
        emit changed();
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void ImageNoteWorkArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (mouseDown && event->button() == Qt::LeftButton) {
        previousPoint = currentPoint;
        currentPoint = event->localPos().toPoint();
        if (isFreehand(effectiveTool(mode)) && currentPoint != previousPoint)
            strokeLines.append(QLine(previousPoint, currentPoint));
        mouseDown = false;
        dirty = true;
        commit();
        modified = true;
        emit changed();
        update();
    }
    QWidget::mouseReleaseEvent(event);
}

void ImageNoteWorkArea::enterEvent(QEvent *event)
{
    setToolCursor();
    QWidget::enterEvent(event);
}

void ImageNoteWorkArea::leaveEvent(QEvent *event)
{
    removeToolCursor();
    QWidget::leaveEvent(event);
}

bool ImageNoteWorkArea::eventFilter(QObject *watched, QEvent *event)
{
    // Moving between the canvas and the note sends enter and leave to the
    // note only; the canvas keeps the pointer all along.
    if (watched == noteEditor) {
        if (event->type() == QEvent::Enter) {
            removeToolCursor();
            // Moves over the canvas then reach it even without a button down.
            setMouseTracking(true);
        }
        else if (event->type() == QEvent::Leave && underMouse())
            setToolCursor();
    }
    return QWidget::eventFilter(watched, event);
}

void ImageNoteWorkArea::setToolCursor()
{
    const QCursor cursor = cursorForMode();
    if (overrideCursorSet) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        overrideCursorSet = true;
    }
}

void ImageNoteWorkArea::removeToolCursor()
{
    // The tool cursor belongs to the canvas only: give the application its
    // own cursors back instead of stacking an arrow over them.
    if (overrideCursorSet) {
        QGuiApplication::restoreOverrideCursor();
        overrideCursorSet = false;
    }
}

void ImageNoteWorkArea::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter screen(this);
    screen.setRenderHint(QPainter::Antialiasing);
    screen.drawPixmap(0, 0, background);

    const Mode tool = effectiveTool(mode);
    if (mouseDown && tool == Eraser && !layer.isNull()) {
        // Erase on a copy so the picture shows through the erased parts.
        QPixmap copy = layer;
        QPainter painter(&copy);
        painter.setRenderHint(QPainter::Antialiasing);
        drawStroke(painter, Eraser);
        painter.end();
        screen.drawPixmap(0, 0, copy);
    } else {
        screen.drawPixmap(0, 0, layer);
        if (mouseDown)
            drawShape(screen, tool, false);
    }
    screen.end();
    dirty = false;
}

// Draws the finished shape onto the layer; the previous layer becomes an undo
// step. The text tool opens the note editor instead.
void ImageNoteWorkArea::commit()
{
    const Mode tool = effectiveTool(mode);
    if (isTextMode(tool)) {
        if (tool == Text)
            openNote();
        strokeLines.clear();
        return;
    }
    noteEditor->hideAll();
    if (layer.isNull()) {
        strokeLines.clear();
        return;
    }
    pushUndo(layer);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);
    drawShape(painter, tool, true);
    painter.end();
    strokeLines.clear();
    emit undoAvailable(true);
}

void ImageNoteWorkArea::drawShape(QPainter &painter, Mode tool, bool onLayer)
{
    painter.save();
    switch (tool) {
    case Pen:
    case Eraser:
    case Highlighter:
        drawStroke(painter, tool);
        break;
    case Rectangle:
        painter.setPen(shapePen(tool));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(pressPoint, currentPoint));
        break;
    case FilledRectangle: {
        QColor fill = color;
        fill.setAlpha(200);
        painter.setPen(shapePen(tool));
        painter.setBrush(QBrush(fill, Qt::SolidPattern));
        painter.drawRect(QRect(pressPoint, currentPoint));
        break;
    }
    case BlurRectangle:
        drawBlur(painter);
        break;
    case Oval:
        painter.setPen(shapePen(tool));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(pressPoint, currentPoint).normalized());
        break;
    case FilledOval: {
        QColor fill = color;
        fill.setAlpha(200);
        painter.setPen(shapePen(tool));
        painter.setBrush(QBrush(fill, Qt::SolidPattern));
        painter.drawEllipse(QRect(pressPoint, currentPoint).normalized());
        break;
    }
    case Line:
        painter.setPen(shapePen(tool));
        painter.drawLine(QLine(pressPoint, currentPoint));
        break;
    case Arrow:
        painter.setPen(shapePen(tool));
        drawArrow(painter);
        break;
    case Text:
        if (!onLayer) {
            painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::SolidLine));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(pressPoint, currentPoint));
        }
        break;
    case TextCanceled:
    case TextAccepted:
        break;
    }
    painter.restore();
}

void ImageNoteWorkArea::drawStroke(QPainter &painter, Mode tool)
{
    painter.save();
    painter.setPen(strokePen(tool));
    if (tool == Eraser)
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    else if (tool == Highlighter)
        painter.setOpacity(0.1);
    // One segment at a time, so overlapping highlighter segments darken.
    for (const QLine &segment : qAsConst(strokeLines)) {
        // A zero-length line draws nothing; a point takes the pen's cap.
        if (segment.p1() == segment.p2())
            painter.drawPoint(segment.p1());
        else
            painter.drawLine(segment);
    }
    painter.restore();
}

// The blurred patch always comes from the unannotated picture and replaces
// whatever the layer held there.
void ImageNoteWorkArea::drawBlur(QPainter &painter)
{
    const QRect r = QRect(pressPoint, currentPoint).normalized() & background.rect();
    if (r.isEmpty())
        return;
    // The blur only reads pixels inside its rectangle, so blurring the cut-out
    // gives the same pixels as blurring the whole picture over r.
    const QImage patch = background.copy(r).toImage();
    const QImage blurred = MGraphX::GraphX::blurRect(patch, patch.rect(), BlurRadius, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(r.topLeft(), blurred);
}

void ImageNoteWorkArea::drawArrow(QPainter &painter)
{
    painter.drawLine(QLine(pressPoint, currentPoint));
    // A zero-length arrow has no direction: no head.
    if (pressPoint == currentPoint)
        return;
    painter.save();
    QPen pen = painter.pen();
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    const float dx = float(pressPoint.x() - currentPoint.x());
    const float dy = float(pressPoint.y() - currentPoint.y());
    const float len = std::sqrt(dx * dx + dy * dy);
    const float c = dx / len;
    painter.translate(currentPoint);
    if (dy > 0) {
        painter.rotate(std::acos(c) * 180.0 / 3.14159);
        painter.drawLine(QLine(0, 0, 30, 12));
        painter.drawLine(QLine(0, 0, 30, -12));
    } else {
        painter.rotate(std::asin(c) * 180.0 / 3.14159);
        painter.drawLine(QLine(0, 0, -12, -30));
        painter.drawLine(QLine(0, 0, 12, -30));
    }
    painter.restore();
}

// Places the note editor over the clicked or dragged rectangle.
void ImageNoteWorkArea::openNote()
{
    QRect note;
    if (qAbs(pressPoint.x() - currentPoint.x()) + qAbs(pressPoint.y() - currentPoint.y())
        <= NoteDragThreshold) {
        note = QRect(pressPoint, DefaultNoteSize);
        // Keep a default-sized note on the picture where it fits.
        if (note.right() > width() - 1)
            note.moveRight(qMax(note.width() - 1, width() - 1));
        if (note.bottom() > height() - 1)
            note.moveBottom(qMax(note.height() - 1, height() - 1));
        if (note.left() < 0)
            note.moveLeft(0);
        if (note.top() < 0)
            note.moveTop(0);
    } else {
        note = QRect(pressPoint, currentPoint).normalized() & rect();
        if (note.isEmpty())
            note = QRect(QPoint(0, 0), DefaultNoteSize);
    }
    pressPoint = note.topLeft();
    currentPoint = note.bottomRight();
    noteEditor->setGeometry(note);
    noteEditor->showAll();
}

void ImageNoteWorkArea::pushUndo(const QPixmap &state)
{
    undoStack.append(state);
    trimStacks();
}

// Keeps both stacks within UndoLimit states each and, together, within
// UndoByteBudget bytes, dropping the oldest states first.
void ImageNoteWorkArea::trimStacks()
{
    while (undoStack.size() > UndoLimit)
        undoStack.removeFirst();
    while (redoStack.size() > UndoLimit)
        redoStack.removeFirst();
    const qint64 bytes = stateBytes(layer);
    if (bytes <= 0)
        return;
    auto total = [&] { return bytes * (undoStack.size() + redoStack.size()); };
    while (total() > UndoByteBudget && undoStack.size() > 1)
        undoStack.removeFirst();
    while (total() > UndoByteBudget && redoStack.size() > 1)
        redoStack.removeFirst();
}

QPen ImageNoteWorkArea::strokePen(Mode tool) const
{
    const int width = qMax(1, thickness);
    switch (tool) {
    case Eraser:
        return QPen(QBrush(QColor(0, 0, 0, 0)), width * 10, Qt::SolidLine, Qt::RoundCap,
                    Qt::BevelJoin);
    case Highlighter:
        return QPen(QBrush(color), width * 8, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    default:
        return QPen(QBrush(color), width, dashLine ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap,
                    Qt::BevelJoin);
    }
}

QPen ImageNoteWorkArea::shapePen(Mode tool) const
{
    Qt::PenStyle style = dashLine ? Qt::DashLine : Qt::SolidLine;
    if (tool == FilledOval) {
        // Dashes make no sense on a tiny filled oval.
        const QRect r = QRect(pressPoint, currentPoint).normalized();
        if (r.right() - r.left() <= 4 || r.bottom() - r.top() <= 4)
            style = Qt::SolidLine;
    }
    return QPen(QBrush(color), qMax(1, thickness), style, Qt::SquareCap, Qt::BevelJoin);
}

QCursor ImageNoteWorkArea::cursorForMode() const
{
    QString resource;
    bool tinted = true;
    switch (mode) {
    case Pen: resource = QStringLiteral(":/Pen_cur.png"); break;
    case Eraser: resource = QStringLiteral(":/Eraser_cur.png"); tinted = false; break;
    case Highlighter: resource = QStringLiteral(":/Highlighter_cur.png"); break;
    case Rectangle: resource = QStringLiteral(":/Rect_cur.png"); break;
    case FilledRectangle: resource = QStringLiteral(":/FilledRect_cur.png"); break;
    case BlurRectangle: resource = QStringLiteral(":/Blur_cur.png"); tinted = false; break;
    case Oval: resource = QStringLiteral(":/Oval_cur.png"); break;
    case Line: resource = QStringLiteral(":/Line_cur.png"); break;
    case Arrow: resource = QStringLiteral(":/Arrow_cur.png"); break;
    case Text: resource = QStringLiteral(":/Text_cur.png"); break;
    default:
        qDebug() << "Default";
        return QCursor(Qt::ArrowCursor);
    }
    QImage image(resource);
    if (image.isNull())
        return QCursor(Qt::ArrowCursor);
    // Cursor images are drawn in pure blue, which takes the drawing colour.
    if (tinted)
        image = MGraphX::GraphX::replaceHue(image, QColor(0, 0, 255, 255), color);
    return QCursor(QPixmap::fromImage(image), image.width() / 2, image.height() / 2);
}

// Leaves the transient note state and returns to the text tool shortly after,
// unless another tool was chosen meanwhile.
void ImageNoteWorkArea::finishNote(Mode transient)
{
    mode = transient;
    repaint();
    QTimer::singleShot(100, this, [this] {
        if (mode == TextAccepted || mode == TextCanceled)
            slotSwitchToEdit();
    });
}

} // namespace QMWidgets
