#pragma once

#include <QLabel>

namespace QMWidgets {

// The title icon of the frameless window.
class IconLabel : public QLabel
{
    Q_OBJECT

public:
    explicit IconLabel(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace QMWidgets
