#include "joindialog.h"

#include "app.h"
#include "joinwidget.h"
#include "stylehelpers.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace QMWidgets {

JoinDialog::JoinDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Join us"));
    setObjectName(QStringLiteral("Dialog"));

    QPushButton *closeButton = new QPushButton(tr("&Close"));
    stylePushButton(closeButton);
    connect(closeButton, SIGNAL(clicked()), this, SLOT(accept()));

    JoinWidget *panel = new JoinWidget;

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
    layout->addLayout(panelRow);
    layout->addLayout(buttonRow);
    setLayout(layout);
}

} // namespace QMWidgets
