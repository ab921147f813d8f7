#pragma once

#include <QLabel>

namespace QMWidgets {

// The overlay laid over the main widget to dim it while a dialog is up. Its
// look comes from the style sheet rule for the object name "MainWidgetBlender".
class BlenderWidget : public QLabel
{
    Q_OBJECT

public:
    explicit BlenderWidget(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

} // namespace QMWidgets
