#pragma once

#include "reminderdialog.h"

namespace QMWidgets {

// Asks the user to rate the application (rate, later, never ask again).
class RateAppStoreDialog : public ReminderDialog
{
    Q_OBJECT

public:
    explicit RateAppStoreDialog(QWidget *parent = nullptr);

    // While true the reminder cycle shows no rating dialog. Class-wide, false
    // for the whole run: nothing switches it on.
    static bool isSuppressed();
};

} // namespace QMWidgets
