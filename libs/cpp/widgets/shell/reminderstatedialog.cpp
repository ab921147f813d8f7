#include "reminderstatedialog.h"

#include <QCoreApplication>

namespace QMWidgets {

ReminderStateDialog::ReminderStateDialog(QWidget *parent)
    : QDialog(parent)
    , currentState(NoChoice)
{
    setWindowTitle(QCoreApplication::applicationName());
}

int ReminderStateDialog::state() const
{
    return currentState;
}

} // namespace QMWidgets
