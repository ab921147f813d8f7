#pragma once

#include "reminderstatedialog.h"

class QHBoxLayout;
class QLabel;
class QPushButton;

namespace QMWidgets {

// The common look of the reminder dialogs: logo and message on top, a free
// content row, and the rate, mail, later and never-ask buttons. The buttons
// are connected by the concrete dialogs; each slot records its choice and
// accepts the dialog.
class ReminderDialog : public ReminderStateDialog
{
    Q_OBJECT

public:
    explicit ReminderDialog(QWidget *parent = nullptr);

public slots:
    void slotMail();
    void slotRate();
    void slotMaybeLater();
    void slotNeverAskMeAgain();

protected:
    void focusInEvent(QFocusEvent *event) override;

    // Owned through the dialog's layouts.
    QLabel *messageLabel;
    QPushButton *rateButton;
    QPushButton *mailButton;
    QPushButton *laterButton;
    QPushButton *neverAskButton;
    QHBoxLayout *contentLayout;
    QLabel *logoLabel;

private:
    void choose(int choice);
};

} // namespace QMWidgets
