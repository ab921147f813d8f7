#include "resolutionsetupwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace QMWidgets {

ResolutionSetupWidget::ResolutionSetupWidget(QWidget *parent)
    : QGroupBox(parent)
    , m_slider(new QSlider(Qt::Horizontal))
    , m_widthBox(new QSpinBox)
    , m_heightBox(new QSpinBox)
{
    m_slider->setTickInterval(1);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setRange(0, 0);
    m_widthBox->setRange(100, 30000);
    m_heightBox->setRange(100, 30000);

    auto *sliderRow = new QHBoxLayout;
    sliderRow->setContentsMargins(1, 1, 1, 1);
    sliderRow->setSpacing(1);
    sliderRow->addWidget(new QLabel(tr("Low")));
    sliderRow->addWidget(m_slider);
    sliderRow->addWidget(new QLabel(tr("High")));

    auto *times = new QLabel(QStringLiteral("x"));
    times->setMaximumWidth(10);
    auto *sizeRow = new QHBoxLayout;
    sizeRow->setContentsMargins(1, 1, 1, 1);
    sizeRow->setSpacing(1);
    sizeRow->addWidget(m_widthBox);
    sizeRow->addWidget(times);
    sizeRow->addWidget(m_heightBox);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(1);
    layout->addLayout(sliderRow);
    layout->addLayout(sizeRow);

    connect(m_slider, SIGNAL(valueChanged(int)), this, SLOT(slotValueChanged(int)));
}

void ResolutionSetupWidget::addPreset(int width, int height)
{
    m_widths.append(width);
    m_heights.append(height);
    // Widening the range never moves the slider, so no signal is emitted here.
    m_slider->setRange(0, m_widths.size() - 1);
    m_widthBox->setValue(m_widths.first());
    m_heightBox->setValue(m_heights.first());
}

QSize ResolutionSetupWidget::size() const
{
    return QSize(m_widthBox->value(), m_heightBox->value());
}

void ResolutionSetupWidget::slotValueChanged(int position)
{
    if (position < 0 || position >= m_widths.size())
        return;
    m_widthBox->setValue(m_widths.at(position));
    m_heightBox->setValue(m_heights.at(position));
    emit resolutionChanged(size());
}

} // namespace QMWidgets
