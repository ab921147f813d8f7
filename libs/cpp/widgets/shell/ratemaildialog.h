#pragma once

#include "reminderdialog.h"

namespace QMWidgets {

// Asks the user to rate the application or to write an e-mail about it.
class RateMailDialog : public ReminderDialog
{
    Q_OBJECT

public:
    explicit RateMailDialog(QWidget *parent = nullptr);
};

} // namespace QMWidgets
