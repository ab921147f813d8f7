#include "checkbutton.h"

namespace QMWidgets {

CheckButton::CheckButton(QWidget *parent)
    : QPushButton(parent)
{
    setCheckable(true);
    setChecked(false);
    connect(this, SIGNAL(toggled(bool)), this, SLOT(slotClicked(bool)));
}

void CheckButton::slotClicked(bool checked)
{
    if (checked)
        emit onClicked();
    else
        emit offClicked();
}

} // namespace QMWidgets
