#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace QMWidgets {

// A progress bar with a stop button that gives way to a message label. It
// starts with the label; a value below 100 shows the bar, 100 or more, or
// the stop button, shows the label again.
class ComboProgress : public QWidget
{
    Q_OBJECT
public:
    explicit ComboProgress(QWidget *parent = nullptr);

    int value() const;
    bool isStopPressed() const { return stopPressed; }
    // The message label, for the caller to set its text; owned by this widget.
    QLabel *label() const { return messageLabel; }
    // Label visible exactly when on; bar and stop button exactly when not.
    void showLabel(bool on);

public slots:
    void slotSetProgress(int value);
    void slotStopPressed();

private:
    QProgressBar *progressBar;
    QPushButton *stopButton;
    QLabel *messageLabel;
    bool stopPressed = false;
};

} // namespace QMWidgets
