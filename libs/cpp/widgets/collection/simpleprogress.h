#pragma once

#include <QString>
#include <QWidget>

namespace QMWidgets {

// A flat bar with a centred caption. While the value is 0 it shows busy
// stripes that move one pixel every 100 ms; the widget owns that timer and
// stops it once the value is no longer 0.
class SimpleProgress : public QWidget
{
    Q_OBJECT
public:
    explicit SimpleProgress(QWidget *parent = nullptr);

    void setText(const QString &text);
    int value() const { return m_value; }
    void setValue(const int &value);

    // Offset of the busy stripes, 0 up to width / 20.
    int currentBusyStep() const { return busyStep; }
    bool isAnimating() const { return busyTimer != 0; }
    // Width of the filled part for the current value, within 0 and the width.
    int filledWidth() const;

protected:
    void timerEvent(QTimerEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void startBusyTimer();

    int m_value = 0;
    QString text;
    int busyStep = 0;
    int busyTimer = 0;  // id of the running busy timer, 0 when none
};

} // namespace QMWidgets
