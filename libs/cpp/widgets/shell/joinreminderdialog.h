#pragma once

#include "reminderdialog.h"

namespace QMWidgets {

// Reminds the user to follow the maker: the following panel and a close button.
class JoinReminderDialog : public ReminderDialog
{
    Q_OBJECT

public:
    explicit JoinReminderDialog(QWidget *parent = nullptr);
};

} // namespace QMWidgets
