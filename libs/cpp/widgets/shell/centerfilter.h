#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace QMWidgets {

// Centres a widget on its parent widget, or on the desktop, whenever the
// widget is shown. Install it with installEventFilter on that widget; connect
// slotResized(int) to a screen-change signal to re-centre after a change.
class CenterFilter : public QObject
{
    Q_OBJECT

public:
    explicit CenterFilter(QObject *parent = nullptr);

    // Remembers and centres a widget that is shown; never consumes an event.
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Moves the watched widget to the middle of its container (sizes only).
    void center();

public slots:
    void slotResized(int);

private:
    // Guarded: the watched widget may be destroyed before the filter.
    QPointer<QWidget> m_widget;
};

} // namespace QMWidgets
