#pragma once

#include <QPushButton>

namespace QMWidgets {

// A checkable push button that reports each change of its checked state as
// onClicked() or offClicked(), whether the user or the code changed it.
class CheckButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CheckButton(QWidget *parent = nullptr);

signals:
    void onClicked();
    void offClicked();

public slots:
    void slotClicked(bool checked);
};

} // namespace QMWidgets
