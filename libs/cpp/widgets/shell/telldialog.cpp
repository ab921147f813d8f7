#include "telldialog.h"

#include "app.h"
#include "stylehelpers.h"
#include "tellwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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

    QPushButton *closeButton = new QPushButton(tr("&Close"));
    stylePushButton(closeButton);
    connect(closeButton, SIGNAL(clicked()), this, SLOT(accept()));

    TellWidget *panel = new TellWidget;

    QHBoxLayout *panelRow = new QHBoxLayout;
    panelRow->setSpacing(7);
    panelRow->setContentsMargins(15, 15, 15, 15);
    panelRow->addStretch(1);
    panelRow->addWidget(panel);
    panelRow->addStretch(1);

    // A small screen stacks the buttons.
    QBoxLayout *buttonRow = newButtonRowLayout();
    buttonRow->setContentsMargins(10, 10, 10, 10);
    buttonRow->setSpacing(7);
    buttonRow->addStretch(1);
    buttonRow->addWidget(closeButton);
    buttonRow->addStretch(1);

    QVBoxLayout *layout = new QVBoxLayout;
    layout->setSpacing(7);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(message);
    layout->addLayout(panelRow);
    layout->addLayout(buttonRow);
    setLayout(layout);
}

} // namespace QMWidgets
