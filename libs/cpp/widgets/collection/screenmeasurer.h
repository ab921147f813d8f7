#pragma once

#include "screencropper.h"

namespace QMWidgets {

// Measures things on the screen: shows the grab centred on a dark background
// and writes the dragged rectangle's size in pixels into it. The owner shows
// the widget after grabScreen().
class ScreenMeasurer : public ScreenCropper
{
    Q_OBJECT

public:
    explicit ScreenMeasurer(QWidget *parent = nullptr);

    // Does nothing: the measurer saves no files.
    void saveLocationText() override;

    // The size of the current selection as "<width>x<height>", in screen
    // pixels, whichever way the rectangle was dragged.
    QString measuredText() const;

signals:
    void done();
    void doQuit();

public slots:
    void slotClose() override;
    void grabScreen() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QRect selectionRect() const;
};

} // namespace QMWidgets
