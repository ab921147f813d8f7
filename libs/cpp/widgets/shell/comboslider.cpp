#include "comboslider.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

namespace QMWidgets {

ComboSlider::ComboSlider(const QString &caption, QWidget *parent)
    : QFrame(parent)
    , m_caption(new QLabel(caption))
    , m_slider(new QSlider(Qt::Horizontal))
    , m_spinBox(new QSpinBox)
    , m_suffix(new QLabel(QString()))
{
    m_suffix->hide();
    m_slider->setTickPosition(QSlider::TicksBothSides);
    m_slider->setTickInterval(20);
    if (caption.isEmpty())
        m_caption->hide();

    // The value travels one way round: slider -> spin box -> slot, which sets
    // the slider silently and reports the change.
    connect(m_slider, SIGNAL(valueChanged(int)), m_spinBox, SLOT(setValue(int)));
    connect(m_spinBox, SIGNAL(valueChanged(int)), this, SLOT(slotSpinValueChanged(int)));
    connect(m_slider, SIGNAL(sliderReleased()), this, SIGNAL(sliderReleased()));

    auto *layout = new QHBoxLayout;
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_caption);
    layout->addWidget(m_slider);
    layout->addWidget(m_spinBox);
    layout->addWidget(m_suffix);
    setLayout(layout);
}

void ComboSlider::setRange(int minimum, int maximum)
{
    // Both ranges change before anything is reported: passed along one by one,
    // the spin box's old range could clamp the slider's new value and report
    // a value the control never settles on.
    const int before = m_slider->value();
    {
        const QSignalBlocker sliderBlocker(m_slider);
        const QSignalBlocker spinBlocker(m_spinBox);
        m_slider->setRange(minimum, maximum);
        m_spinBox->setRange(minimum, maximum);
        m_spinBox->setValue(m_slider->value());
    }
    const int after = m_slider->value();
    if (after != before)
        emit sliderMoved(after);
}

void ComboSlider::setValue(int value)
{
    // Both controls share one range, so the slider's change reaches the spin
    // box unclamped and is reported once; the spin box then already holds it.
    m_slider->setValue(value);
    m_spinBox->setValue(value);
}

int ComboSlider::value() const
{
    return m_slider->value();
}

void ComboSlider::setSingleStep(int step)
{
    m_slider->setSingleStep(step);
}

void ComboSlider::setTickInterval(int interval)
{
    m_slider->setTickInterval(interval);
}

void ComboSlider::setSuffix(const QString &text)
{
    m_suffix->setText(text);
    m_suffix->setVisible(!text.isEmpty());
}

bool ComboSlider::isSliderDown() const
{
    return m_slider->isSliderDown();
}

void ComboSlider::slotSpinValueChanged(int value)
{
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(value);
    }
    emit sliderMoved(value);
}

} // namespace QMWidgets
