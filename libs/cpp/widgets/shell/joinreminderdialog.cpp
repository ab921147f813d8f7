#include "joinreminderdialog.h"

#include "joinwidget.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace QMWidgets {

JoinReminderDialog::JoinReminderDialog(QWidget *parent)
    : ReminderDialog(parent)
{
    setWindowTitle(tr("Join Us"));

    rateButton->setText(tr("&Close"));
    messageLabel->hide();
    laterButton->hide();
    mailButton->hide();

    contentLayout->addStretch(1);
    contentLayout->addWidget(new JoinWidget(nullptr));
    contentLayout->addStretch(1);

    // "&Close" leaves the choice open, so the cycle only counts the quit;
    // "&Don't ask me again" ends the reminders as in the rating dialogs.
    connect(rateButton, SIGNAL(clicked()), this, SLOT(accept()));
    connect(neverAskButton, SIGNAL(clicked()), this, SLOT(slotNeverAskMeAgain()));

    rateButton->setFocus(Qt::OtherFocusReason);
}

} // namespace QMWidgets
