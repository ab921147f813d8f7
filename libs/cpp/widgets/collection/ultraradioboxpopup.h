#pragma once

#include <QElapsedTimer>
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
    // True, once, when the popup hid itself on losing the activation a moment
    // ago: a press on the face that took the activation must not reopen it.
    bool takeRecentDeactivationClose();

protected:
    bool event(QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool hovered = false;
    QElapsedTimer deactivationClose; // runs from the last hide on deactivation
};

} // namespace QMWidgets
