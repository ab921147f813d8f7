#pragma once

#include "reminderdialog.h"

namespace QMWidgets {

// Reminds the user to share the application: the sharing panel and a close button.
class TellReminderDialog : public ReminderDialog
{
    Q_OBJECT

public:
    explicit TellReminderDialog(QWidget *parent = nullptr);
};

} // namespace QMWidgets
