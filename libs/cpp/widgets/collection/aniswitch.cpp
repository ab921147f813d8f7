#include "aniswitch.h"

#include "checkbutton.h"
#include "defaultlook.h"
#include "stylehelpers.h"

#include <QHBoxLayout>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSignalTransition>
#include <QState>
#include <QStateMachine>

namespace QMWidgets {

AniSwitch::AniSwitch(QWidget *parent)
    : QWidget(parent)
{
}

void AniSwitch::setup(bool showIcon, bool initiallyOn)
{
    if (built)
        return;
    built = true;

    const int w = width();
    const int h = height();

    icon = new CheckButton;
    icon->setFixedSize(h, h);
    icon->setFlat(true);
    setNameAndToolTip(icon, QStringLiteral("AniSwitchIcon"), QString());
    giveDefaultLook(icon, collectionIcon(QStringLiteral("poweroff"), QStringLiteral("poweron")), tr("On/Off"));
    connect(icon, SIGNAL(toggled(bool)), this, SIGNAL(toggled(bool)));

    areas = new QWidget;
    QPushButton *onArea = new QPushButton;
    QPushButton *offArea = new QPushButton;
    setNameAndToolTip(onArea, QStringLiteral("AniSwitchOnArea"), QString());
    setNameAndToolTip(offArea, QStringLiteral("AniSwitchOffArea"), QString());
    // The area the handle leaves free names the state the switch is in.
    giveDefaultLook(onArea, collectionIcon(QStringLiteral("switchon")), tr("On"));
    giveDefaultLook(offArea, collectionIcon(QStringLiteral("switchoff")), tr("Off"));
    // An area switches to the state that moves the handle onto it.
    connect(onArea, SIGNAL(clicked()), this, SLOT(slotSetOff()));
    connect(offArea, SIGNAL(clicked()), this, SLOT(slotSetOn()));

    QHBoxLayout *areaLayout = new QHBoxLayout;
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->setSpacing(0);
    areaLayout->addWidget(onArea);
    areaLayout->addStretch(1);
    areaLayout->addWidget(offArea);
    areas->setLayout(areaLayout);

    handler = new QPushButton(areas);
    handler->setAutoFillBackground(true);
    // A shade darker than the areas, so the handle shows without a style sheet.
    handler->setBackgroundRole(QPalette::Mid);
    handler->setFlat(true);
    if (showIcon) {
        handler->setFixedSize(w / 2 - h / 2, h);
    } else {
        icon->hide();
        handler->setFixedSize(w / 2, h);
    }
    handler->show();
    handler->raise();
    setNameAndToolTip(handler, QStringLiteral("AniSwitchHandler"), QString());
    giveDefaultLook(handler, collectionIcon(QStringLiteral("handle")), tr("Switch"));

    machine = new QStateMachine(this);
    offState = new QState(machine);
    offState->assignProperty(handler, "pos", QPoint(0, 0));
    offState->assignProperty(icon, "checked", false);
    onState = new QState(machine);
    onState->assignProperty(handler, "pos", QPoint(handler->width(), 0));
    onState->assignProperty(icon, "checked", true);
    machine->setInitialState(initiallyOn ? onState : offState);

    QSignalTransition *offToOnByHandle = offState->addTransition(handler, SIGNAL(clicked()), onState);
    QSignalTransition *onToOffByHandle = onState->addTransition(handler, SIGNAL(clicked()), offState);
    QSignalTransition *offToOnByIcon = offState->addTransition(icon, SIGNAL(onClicked()), onState);
    QSignalTransition *onToOffByIcon = onState->addTransition(icon, SIGNAL(offClicked()), offState);

    QPropertyAnimation *toOn = new QPropertyAnimation(handler, "pos", machine);
    toOn->setDuration(400);
    QPropertyAnimation *toOff = new QPropertyAnimation(handler, "pos", machine);
    toOff->setDuration(400);
    offToOnByHandle->addAnimation(toOn);
    offToOnByIcon->addAnimation(toOn);
    onToOffByHandle->addAnimation(toOff);
    onToOffByIcon->addAnimation(toOff);

    machine->start();

    QHBoxLayout *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(icon);
    layout->addWidget(areas);
    setLayout(layout);
}

bool AniSwitch::isOn() const
{
    return icon && icon->isChecked();
}

void AniSwitch::slotSetOn()
{
    setOn(true);
}

void AniSwitch::slotSetOff()
{
    setOn(false);
}

void AniSwitch::setOn(bool on)
{
    if (!icon)
        return;
    if (!machine->isRunning())
        machine->setInitialState(on ? onState : offState);
    icon->setChecked(on);
}

void AniSwitch::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}

} // namespace QMWidgets
