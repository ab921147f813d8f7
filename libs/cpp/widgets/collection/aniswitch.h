#pragma once

#include <QWidget>

class QPushButton;
class QState;
class QStateMachine;

namespace QMWidgets {

class CheckButton;

// An on/off slide switch: a handle slides over two click areas, driven by a
// two-state machine with 400 ms position animations. An optional CheckButton
// beside it shows and sets the state. The caller sizes the switch, then
// calls setup() once; before that the switch has no parts and is off.
class AniSwitch : public QWidget
{
    Q_OBJECT
public:
    explicit AniSwitch(QWidget *parent = nullptr);

    // Builds the parts from the current size; later calls do nothing.
    void setup(bool showIcon, bool initiallyOn);
    bool isOn() const;

signals:
    void toggled(bool on);

public slots:
    // The machine starts once the event loop runs; a state set before that
    // becomes its starting state, so handle and icon agree.
    void slotSetOn();
    void slotSetOff();
    void setOn(bool on);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    CheckButton *icon = nullptr;
    QStateMachine *machine = nullptr;  // owned by the switch
    QPushButton *handler = nullptr;
    QWidget *areas = nullptr;
    bool built = false;
    QState *offState = nullptr;  // owned by the machine
    QState *onState = nullptr;
};

} // namespace QMWidgets
