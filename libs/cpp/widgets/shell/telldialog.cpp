#include "telldialog.h"

#include "app.h"
#include "stylehelpers.h"
#include "tellwidget.h"

#include <QLabel>
#include <QPushButton>

namespace QMWidgets {

TellDialog::TellDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Share ") + QCoreApplication::applicationName());
    setObjectName(QStringLiteral("Dialog"));

    const bool small = App::isSmallScreen();
    const QString open = small ? QStringLiteral("<H4>") : QStringLiteral("<H2>");
    const QString close = small ? QStringLiteral("</H4>") : QStringLiteral("</H2>");
    QLabel *message = new QLabel(QStringLiteral("<CENTER>") + open + tr("If you like the app")
                                 + tr("<br>please share it with<br>your friends.<br>Thanks!")
                                 + close + QStringLiteral("</CENTER>"));

    layOutPanelDialog(this, message, new TellWidget, new QPushButton(tr("&Close")));
}

} // namespace QMWidgets
