#pragma once

#include <QWidget>

namespace QMWidgets {

// A circular gauge: a shaded disc, a green pie of the percentage from
// 12 o'clock clockwise, a dark hub and the value followed by "%".
class RoundProgress : public QWidget
{
    Q_OBJECT
public:
    explicit RoundProgress(QWidget *parent = nullptr);

    int value() const { return m_value; }
    void setValue(const int &value);

    // The pie's span in sixteenths of a degree for a percentage (negative:
    // clockwise); 100 gives -5759.
    static int spanAngle(int percent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_value = 0;
};

} // namespace QMWidgets
