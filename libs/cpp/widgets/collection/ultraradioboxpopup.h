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
    // True, once, when the popup hid itself a moment ago on losing the
    // activation while the pointer was on the face (its parent): the press on
    // the face that took the activation must not reopen it.
    bool takeRecentDeactivationClose();

protected:
    bool event(QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool hovered = false;
    QElapsedTimer deactivationClose; // runs from the last such hide
};

} // namespace QMWidgets
