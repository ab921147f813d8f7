#include "dragdrop.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

bool DragDrop::enter(QWidget *target, const QMimeData *mime, QPoint pos)
{
    QDragEnterEvent event(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

bool DragDrop::drop(QWidget *target, const QMimeData *mime, QPoint pos)
{
    enter(target, mime, pos);
    QDropEvent event(QPointF(pos), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

bool DragDrop::dropUrls(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    return drop(target, &mime, target->rect().center());
}
