#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

class LatestJob;
class QComboBox;
class QFormLayout;
class QTimer;

namespace QMWidgets {
class ComboSlider;
}

// The form under the drop area: keeps the loaded picture and turns it, on
// every change of a control, into the processed pixmap (scaled, then adjusted
// in brightness and contrast). A large picture is processed on a worker, the
// pixmap emitted when it is ready; values changed meanwhile are processed
// next, the newest of them only, so the pixmaps follow a run of changes at
// the pace the work allows. Neutral values (0, 0, 100 %) emit the picture
// itself. Also owns the output format and compression, sent as one string
// "<PNG|JPG>;<compression index>" only when a combo changes.
// realPreview asks for the encoded picture, always after the pixmap of the
// values it is for: on a new image, a combo change, the release of a dragged
// handle, and shortly after any other change of a value (keys, wheel, spin
// box), once for a quick run of such changes. A drag in progress, and a key
// held down (auto-repeated), ask for nothing until their release.
// valuesChanging comes at the first change after a realPreview (a value, a
// combo, a new image) before anything else of it: what the form sends until
// the next realPreview is on its way to the values set last.
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
    // The same for an image, best a straight 32-bit one as
    // ImageKernel::straightSource gives (any other is converted here).
    void setImage(const QImage &image);

    // True while the pixmap for the current values is still being made.
    bool isProcessing() const;
    // True from valuesChanging until the realPreview that follows it.
    bool isChanging() const { return changing; }


    // The kernel: a copy with brightness added and the contrast factor applied.
    static QImage applyBrightnessContrast(const QImage &image, int brightness, int contrast);

signals:
    void pixmapChanged(const QPixmap &pixmap);
    void formatChanged(const QString &format);
    void realPreview();
    void valuesChanging();

public slots:
    void slotParametersChanged();
    void slotFormatChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void slotValueChanged();
    void slotAskRealPreview();

private:
    void markChanging();

    QMWidgets::ComboSlider *brightnessSlider;
    QMWidgets::ComboSlider *contrastSlider;
    QMWidgets::ComboSlider *resizeSlider;
    QComboBox *formatBox;
    QComboBox *compressionBox;
    QImage sourceImage;
    QFormLayout *formLayout;
    QTimer *previewTimer;  // single shot: the realPreview after a value change
    LatestJob *processing;
    bool realPreviewHeld = false;  // asked for while the pixmap was being made
    bool keyDown = false;          // a key is down on one of the sliders
    bool changedWhileKeyDown = false;
    bool changing = false;  // valuesChanging sent, realPreview not yet
};
