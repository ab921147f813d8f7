#include "noteeditdragpreview.h"

#include "app.h"

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QUrl>

#include <cmath>

namespace QMWidgets {

namespace {
// Event positions rounded to whole pixels, halves away from zero.
QPoint roundedPosition(const QMouseEvent *event)
{
    const QPointF p = event->localPos();
    return QPoint(int(std::lround(p.x())), int(std::lround(p.y())));
}
} // namespace

NoteEditDragPreview::NoteEditDragPreview(QWidget *parent)
    : QWidget(parent)
{
    setMinimumWidth(60);
    setMinimumHeight(50);
}

void NoteEditDragPreview::slotSetPixmap(const QPixmap &pixmap)
{
    m_pixmap = pixmap;
    update();
}

QString NoteEditDragPreview::dragFilePath(int index)
{
    const QString suffix = index == 0 ? QString() : QString::number(index);
    return App::workDirectory(true) + QStringLiteral("TarnwickDrag") + suffix + QStringLiteral(".png");
}

QMimeData *NoteEditDragPreview::prepareDragData() const
{
    // An empty picture would be offered as an empty, unreadable PNG file.
    if (m_pixmap.isNull())
        return nullptr;

    for (int index = 0; index < MaxDragFiles; ++index) {
        const QString path = dragFilePath(index);
        // A protected file (or a folder of that name) is left alone; the next
        // name is tried instead.
        const QFileInfo existing(path);
        if (existing.exists() && (existing.isDir() || !existing.isWritable()))
            continue;

        // Written aside and renamed into place, so a failed write never
        // leaves a truncated picture under the drag name.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            continue;
        if (!m_pixmap.save(&file, "PNG", -1) || !file.commit())
            continue;

        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(path)});
        return mime;
    }
    return nullptr;
}

void NoteEditDragPreview::startDrag()
{
    QMimeData *mime = prepareDragData();
    if (!mime)
        return;

    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(m_pixmap.scaled(width(), height(), Qt::IgnoreAspectRatio,
                                    Qt::SmoothTransformation));
    drag->exec(Qt::CopyAction);
}

void NoteEditDragPreview::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressPoint = roundedPosition(event);
    QWidget::mousePressEvent(event);
}

void NoteEditDragPreview::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        const QPoint distance = roundedPosition(event) - m_pressPoint;
        if (distance.manhattanLength() > QApplication::startDragDistance())
            startDrag();
    }
    QWidget::mouseMoveEvent(event);
}

void NoteEditDragPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    if (!m_pixmap.isNull()) {
        painter.drawPixmap(0, 0, m_pixmap.scaled(size(), Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation));
    }

    // A translucent black band across the top 15 rows, with the word on it.
    const QRect band(QPoint(0, 0), QPoint(width() - 1, 14));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(QColor(0, 0, 0, 127), Qt::SolidPattern));
    painter.drawRect(band);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter, tr("Drag"));

    const QPixmap glass(QStringLiteral(":/steklo.png"));
    painter.drawPixmap(rect(), glass, glass.rect());
}

} // namespace QMWidgets
