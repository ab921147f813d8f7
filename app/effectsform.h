#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QComboBox;
class QFormLayout;

namespace QMWidgets {
class ComboSlider;
}

// The form under the drop area: keeps the loaded picture and turns it, on
// every change of a control, into the processed pixmap (scaled, then adjusted
// in brightness and contrast). Also owns the output format and compression,
// sent as one string "<PNG|JPG>;<compression index>" only when a combo changes.
class CreatorEffects : public QWidget
{
    Q_OBJECT
public:
    CreatorEffects();
    ~CreatorEffects() override;

    // Enables or disables the five controls and their row labels; when enabling,
    // the compression box stays disabled while the format is "PNG".
    void setControlsDisabled(bool disabled);

    // Takes a newly loaded image (a null pixmap gives null results), enables the
    // form and emits pixmapChanged, then realPreview. Control values are kept.
    void setImage(const QPixmap &pixmap);

    // The kernel: a copy with brightness added and the contrast factor applied.
    static QImage applyBrightnessContrast(const QImage &image, int brightness, int contrast);

signals:
    void pixmapChanged(const QPixmap &pixmap);
    void formatChanged(const QString &format);
    void realPreview();

public slots:
    void slotParametersChanged();
    void slotFormatChanged();

private:
    QMWidgets::ComboSlider *brightnessSlider;
    QMWidgets::ComboSlider *contrastSlider;
    QMWidgets::ComboSlider *resizeSlider;
    QComboBox *formatBox;
    QComboBox *compressionBox;
    QImage sourceImage;
    QFormLayout *formLayout;
};
