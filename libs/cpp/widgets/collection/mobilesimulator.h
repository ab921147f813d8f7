#pragma once

#include <QFrame>
#include <QPointer>

class QHBoxLayout;

namespace QMWidgets {

// A frame (object name "MobileSimulator") that holds a widget in a
// fixed-margin layout. A further setWidget() adds the new widget beside the
// earlier ones; widget() names the newest.
class MobileSimulator : public QFrame
{
    Q_OBJECT

public:
    explicit MobileSimulator(QWidget *parent = nullptr);

    // The frame takes ownership of the widget; a null widget is ignored.
    void setWidget(QWidget *widget);
    // The newest widget set, null until one is set or once it is destroyed.
    QWidget *widget() const { return m_widget; }

private:
    QHBoxLayout *m_layout = nullptr;
    QPointer<QWidget> m_widget;
};

} // namespace QMWidgets
