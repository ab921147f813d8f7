#pragma once

#include <QGroupBox>
#include <QSize>
#include <QVector>

class QSlider;
class QSpinBox;

namespace QMWidgets {

// Picks a size from a list of presets with a slider and shows it in two
// spin boxes (100 to 30000 each), which may also be edited by hand.
class ResolutionSetupWidget : public QGroupBox
{
    Q_OBJECT

public:
    explicit ResolutionSetupWidget(QWidget *parent = nullptr);

    // Appends a preset; the spin boxes then show the first preset.
    void addPreset(int width, int height);
    // What the spin boxes show.
    QSize size() const;

signals:
    void resolutionChanged(QSize size);

public slots:
    void slotValueChanged(int position);

private:
    QVector<int> m_widths;
    QVector<int> m_heights;
    QSlider *m_slider;
    QSpinBox *m_widthBox;
    QSpinBox *m_heightBox;
};

} // namespace QMWidgets
