#pragma once

#include <QPushButton>

namespace QMWidgets {

// A push button that writes "Menu" in white over its lower half.
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
