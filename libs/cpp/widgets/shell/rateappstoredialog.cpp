#include "rateappstoredialog.h"

#include "app.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace QMWidgets {

namespace {
bool s_suppressed = false;
}

RateAppStoreDialog::RateAppStoreDialog(QWidget *parent)
    : ReminderDialog(parent)
{
    const QString name = QCoreApplication::applicationName();
    const QChar dq = QLatin1Char('"');
    setWindowTitle(tr("Rate \"") + name + dq);

    mailButton->hide();
    rateButton->setText(tr("&Rate It Now"));

    const bool small = App::isSmallScreen();
    const QString h1 = small ? QStringLiteral("H3") : QStringLiteral("H2");
    const QString h2 = small ? QStringLiteral("H4") : QStringLiteral("H3");
    messageLabel->setText(
        QStringLiteral("<CENTER>") + QLatin1Char('<') + h1 + QLatin1Char('>') + tr("Enjoying \"")
        + name + tr("\" ?") + QStringLiteral("</") + h1 + QLatin1Char('>') + QLatin1Char('<') + h2
        + QLatin1Char('>')
        + tr("Please rate the app on the App Store.<br>This will help us improve <br>the app's "
             "features in the future.")
        + QStringLiteral("<br>") + QStringLiteral("</") + h2 + QLatin1Char('>')
        + QStringLiteral("</CENTER>"));

    connect(rateButton, SIGNAL(clicked()), this, SLOT(slotRate()));
    connect(laterButton, SIGNAL(clicked()), this, SLOT(slotMaybeLater()));
    connect(neverAskButton, SIGNAL(clicked()), this, SLOT(slotNeverAskMeAgain()));

    rateButton->setFocus(Qt::OtherFocusReason);
}

bool RateAppStoreDialog::isSuppressed()
{
    return s_suppressed;
}

} // namespace QMWidgets
