#pragma once

#include <QIcon>
#include <QString>

class QAbstractButton;
class QWidget;

// The look the collection's controls have in a host program without a style
// sheet. A host sheet still decides: its "qproperty-icon" and
// "qproperty-iconSize" rules are applied when the control is polished, after
// construction, and replace these defaults ("qproperty-icon: url(none)" takes
// the icon away for a sheet that draws the control with "image:" itself).
// Object names stay as they are.
namespace QMWidgets {

// The collection's own icon of that name (drawn by resources/generator), with
// an optional second picture for the checked state. Null for an unknown name.
QIcon collectionIcon(const QString &name, const QString &checkedName = QString());

// A button that shows neither text nor icon gets the given icon, sized to a
// fixed-size button; an empty tool tip or accessible name becomes the label.
void giveDefaultLook(QAbstractButton *button, const QIcon &icon, const QString &label);

// The tool tip and accessible name part of the above, for any control.
void giveDefaultLabel(QWidget *widget, const QString &label);

} // namespace QMWidgets
