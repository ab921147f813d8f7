#pragma once

#include <QDialog>

namespace QMWidgets {

// Base of the reminder dialogs: holds the user's choice, read after exec().
//   0 rate, 1 write an e-mail, 2 later, 3 never ask again, 4 no choice (initial,
//   also after the window was closed).
class ReminderStateDialog : public QDialog
{
    Q_OBJECT

public:
    enum Choice { Rate = 0, Mail = 1, Later = 2, NeverAskAgain = 3, NoChoice = 4 };

    explicit ReminderStateDialog(QWidget *parent = nullptr);

    int state() const;

protected:
    int currentState;
};

} // namespace QMWidgets
