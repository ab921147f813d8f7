#pragma once

#include <QWidget>

namespace QMWidgets {

// The frameless popup window of UltraRadioBox. It knows whether the mouse is
// over it and hides itself when it stops being the active window.
class UltraRadioBoxPopup : public QWidget
{
    Q_OBJECT
public:
    UltraRadioBoxPopup(QWidget *parent, Qt::WindowFlags flags);

    bool isHovered() const { return hovered; }

protected:
    bool event(QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool hovered = false;
};

} // namespace QMWidgets
