#include "reminderdialog.h"

#include "app.h"
#include "stylehelpers.h"

#include <QBoxLayout>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>

namespace QMWidgets {

ReminderDialog::ReminderDialog(QWidget *parent)
    : ReminderStateDialog(parent)
{
    setObjectName(QStringLiteral("Dialog"));

    rateButton = new QPushButton(tr("&Rate"));
    mailButton = new QPushButton(tr("&Mail"));
    laterButton = new QPushButton(tr("&Later"));
    neverAskButton = new QPushButton(tr("&Don't ask me again"));
    stylePushButton(rateButton);
    stylePushButton(laterButton);
    stylePushButton(mailButton);
    stylePushButton(neverAskButton);

    // Once reminders are off there is nothing left to switch off.
    App *app = App::instance();
    const bool remindersOn = app ? app->value(QStringLiteral("AutoReminder"), true).toBool() : true;
    neverAskButton->setVisible(remindersOn);

    messageLabel = new QLabel(QString());
    messageLabel->setMinimumHeight(90);
    logoLabel = new QLabel;
    logoLabel->setObjectName(QStringLiteral("LogoLabel"));
    logoLabel->setFixedSize(90, 90);

    contentLayout = new QHBoxLayout;
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);

    const bool small = App::isSmallScreen();

    QBoxLayout *topRow = nullptr;
    if (small) {
        topRow = new QVBoxLayout;
        QHBoxLayout *logoRow = new QHBoxLayout;
        logoRow->addStretch(0);
        logoRow->addWidget(logoLabel);
        logoRow->addStretch(0);
        topRow->addLayout(logoRow);
        topRow->addWidget(messageLabel);
    } else {
        topRow = new QHBoxLayout;
        topRow->addWidget(logoLabel);
        topRow->addWidget(messageLabel);
    }
    topRow->setContentsMargins(0, 0, 0, 0);
    topRow->setSpacing(5);

    QBoxLayout *buttonRow = nullptr;
    if (small) {
        buttonRow = new QVBoxLayout;
        buttonRow->addWidget(mailButton);
        buttonRow->addWidget(rateButton);
        buttonRow->addWidget(laterButton);
        buttonRow->addWidget(neverAskButton);
    } else {
        buttonRow = new QHBoxLayout;
        buttonRow->addWidget(neverAskButton);
        buttonRow->addWidget(laterButton);
        buttonRow->addWidget(rateButton);
        buttonRow->addWidget(mailButton);
    }
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->setSpacing(5);

    QVBoxLayout *mainLayout = new QVBoxLayout;
    mainLayout->setContentsMargins(6, 6, 6, 6);
    mainLayout->setSpacing(1);
    mainLayout->addLayout(topRow);
    mainLayout->addLayout(contentLayout);
    mainLayout->addLayout(buttonRow);
    setLayout(mainLayout);
}

void ReminderDialog::slotMail()
{
    choose(Mail);
}

void ReminderDialog::slotRate()
{
    choose(Rate);
}

void ReminderDialog::slotMaybeLater()
{
    choose(Later);
}

void ReminderDialog::slotNeverAskMeAgain()
{
    choose(NeverAskAgain);
}

void ReminderDialog::choose(int choice)
{
    currentState = choice;
    accept();
}

void ReminderDialog::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (!mailButton->isHidden())
        mailButton->setFocus(Qt::OtherFocusReason);
    else
        laterButton->setFocus(Qt::OtherFocusReason);
}

} // namespace QMWidgets
