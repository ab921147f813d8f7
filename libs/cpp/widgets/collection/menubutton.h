#pragma once

#include <QPushButton>

namespace QMWidgets {

// A push button that writes "Menu" over its lower half: in white on a dark
// face, in the button text colour on a light one. Built without a text, its
// tool tip and accessible name are "Menu".
class MenuButton : public QPushButton
{
    Q_OBJECT
public:
    MenuButton(const QString &text, QWidget *parent = nullptr);
    explicit MenuButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace QMWidgets
