#pragma once

#include <QList>
#include <QPoint>
#include <QUrl>

class QMimeData;
class QWidget;

// Drags and drops delivered to a widget the way the platform delivers them.
namespace DragDrop {
// Sends a drag-enter; returns whether the target accepted it.
bool enter(QWidget *target, const QMimeData *mime, QPoint pos);
// The drag enters (which makes the target the drop site) and is dropped;
// returns whether the drop was accepted.
bool drop(QWidget *target, const QMimeData *mime, QPoint pos);
// A drop of "text/uri-list" with the given URLs at the target's centre.
bool dropUrls(QWidget *target, const QList<QUrl> &urls);
}
