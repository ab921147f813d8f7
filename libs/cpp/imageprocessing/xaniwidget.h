#pragma once

#include "xani.h"

#include <QWidget>

class QPaintEvent;

namespace MGraphX {

// A widget that holds one animated picture, repaints on every frame change
// and paints the current frame stretched over its whole area (aspect ratio
// not kept). It never starts playing on its own.
class XaniWidget : public QWidget
{
    Q_OBJECT
public:
    explicit XaniWidget(QWidget *parent = nullptr);
    ~XaniWidget() override;

    // Takes loop, frame duration and frames of xani; the shown picture and
    // the position in the sequence stay.
    void setXani(const Xani &xani);
    // The held animation, owned by the widget.
    Xani &xani() { return m_xani; }
    const Xani &xani() const { return m_xani; }

public slots:
    void play();
    void stop();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Xani m_xani;
};

} // namespace MGraphX
