#pragma once

#include <QFrame>

class QLabel;
class QSlider;
class QSpinBox;

namespace QMWidgets {

// One row of a caption, a horizontal slider, a spin box and an optional
// suffix, with slider and spin box kept at one common value. Every change of
// that value, whoever made it, emits sliderMoved(int) once with the new value;
// setting the value it already has emits nothing.
class ComboSlider : public QFrame
{
    Q_OBJECT

public:
    // An empty caption hides the caption label.
    explicit ComboSlider(const QString &caption, QWidget *parent = nullptr);

    // Both controls get the range; a value outside it is clamped (and reported
    // once, with the clamped value).
    void setRange(int minimum, int maximum);
    void setValue(int value);
    int value() const;
    // The slider's step only; the spin box keeps step 1.
    void setSingleStep(int step);
    void setTickInterval(int interval);
    // A non-empty text is shown after the spin box; an empty one hides it.
    void setSuffix(const QString &text);
    // True while the user holds the slider's handle with the mouse.
    bool isSliderDown() const;

signals:
    void sliderMoved(int value);
    // The user let go of the slider's handle.
    void sliderReleased();

private slots:
    void slotSpinValueChanged(int value);

private:
    QLabel *m_caption;
    QSlider *m_slider;
    QSpinBox *m_spinBox;
    QLabel *m_suffix;
};

} // namespace QMWidgets
