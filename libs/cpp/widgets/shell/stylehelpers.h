#pragma once

#include <QPixmap>
#include <QString>
#include <QStyle>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

// The shell's shared control looks and window helpers. They keep no state; a
// null widget is ignored.
namespace QMWidgets {

// Sets the object name, and the tool tip only when the given one is not empty.
void setNameAndToolTip(QWidget *widget, const QString &name, const QString &toolTip);

// The look of every dialog push button: object name "PushButton", flat,
// at least 32 pixels high. The style sheet selects on the name.
void stylePushButton(QPushButton *button);

// A new layout for a dialog's row of buttons: vertical on a small screen
// (desktop width or height under 480 pixels), else horizontal. The caller owns it.
QBoxLayout *newButtonRowLayout();

// Lays out a panel dialog: an optional message on top, the panel centred
// below it, and the close button (given the dialog-button look and connected
// to accept()) in a button row that stacks on small screens.
void layOutPanelDialog(QDialog *dialog, QWidget *message, QWidget *panel, QPushButton *closeButton);

// A flat, square 32 x 32 icon button.
void styleIconButton(QPushButton *button);

// Gives a button without text the platform style's standard icon, so it is
// not a blank area without a style sheet, and its tool tip as accessible
// name. A style sheet may still replace the icon (qproperty-icon).
void setDefaultIcon(QPushButton *button, QStyle::StandardPixmap icon);

// Gives a button that a style sheet draws as a picture its own text, which is
// also its tool tip and accessible name, so it is readable without that style
// sheet. A style sheet whose picture carries the words hides the text with
// "color: transparent".
void setLabelledPictureButton(QPushButton *button, const QString &text);

// Window opacity for a translucency percentage: 1.3 - percentage / 100, kept
// within 0.3 (so no window turns invisible) and 1.0.
double opacityForTransparency(int percentage);

// Window opacity of a dialog from the setting "TransparencyParameters/ChartDialogs"
// (default 35 percent).
void applyDialogTransparency(QWidget *window);

// Window opacity of the widget and of every menu inside it, from the setting
// "TransparencyParameters/ContextMenus" (default 35 percent).
void applyContextMenuTransparency(QWidget *widget);

// A picture of the primary screen, sized by the operating system's scale
// factor; null when there is no screen.
QPixmap grabDesktop();

} // namespace QMWidgets
