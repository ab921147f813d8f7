#include "ratemaildialog.h"

#include "app.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace QMWidgets {

RateMailDialog::RateMailDialog(QWidget *parent)
    : ReminderDialog(parent)
{
    setWindowTitle(tr("Feedback about \"") + QCoreApplication::applicationName() + QLatin1Char('"'));

    rateButton->setText(tr("&Rate"));
    mailButton->setText(tr("&Write email"));

    const QString h2 = App::isSmallScreen() ? QStringLiteral("H4") : QStringLiteral("H3");
    messageLabel->setText(
        QStringLiteral("<CENTER>") + QLatin1Char('<') + h2 + QLatin1Char('>')
        + tr("Please rate it on the app store or send us a quick e-mail<br>and tell us what you "
             "didn't enjoy. <br>Your feedback will help us improve this app.")
        + QStringLiteral("</") + h2 + QLatin1Char('>') + QStringLiteral("</CENTER>"));

    connect(rateButton, SIGNAL(clicked()), this, SLOT(slotRate()));
    connect(mailButton, SIGNAL(clicked()), this, SLOT(slotMail()));
    connect(laterButton, SIGNAL(clicked()), this, SLOT(slotMaybeLater()));
    connect(neverAskButton, SIGNAL(clicked()), this, SLOT(slotNeverAskMeAgain()));

    rateButton->setFocus(Qt::OtherFocusReason);
}

} // namespace QMWidgets
