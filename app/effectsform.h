#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QComboBox;
class QFormLayout;
class QTimer;

namespace QMWidgets {
class ComboSlider;
}

// The form under the drop area: keeps the loaded picture and turns it, on
// every change of a control, into the processed pixmap (scaled, then adjusted
// in brightness and contrast). Also owns the output format and compression,
// sent as one string "<PNG|JPG>;<compression index>" only when a combo changes.
// realPreview asks for the encoded picture: on a new image, a combo change, the
// release of a dragged handle, and shortly after any other change of a value
// (keys, wheel, spin box), once for a quick run of such changes. A drag in
// progress asks for nothing until its release.
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

private slots:
    void slotValueChanged();

private:
    QMWidgets::ComboSlider *brightnessSlider;
    QMWidgets::ComboSlider *contrastSlider;
    QMWidgets::ComboSlider *resizeSlider;
    QComboBox *formatBox;
    QComboBox *compressionBox;
    QImage sourceImage;
    QFormLayout *formLayout;
    QTimer *previewTimer;  // single shot: the realPreview after a value change
};
