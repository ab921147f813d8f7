#include "effectsform.h"

#include "comboslider.h"
#include "imagekernel.h"
#include "latestjob.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QTimer>

#include <memory>
#include <utility>

namespace {
// How long a value change waits for the next one before the encoded preview
// is asked for: long enough to take typed digits or quick steps as one. A
// key held down waits for its release instead.
const int kPreviewDelayMs = 150;
// Pictures of at most this many pixels are processed on the GUI thread at
// once (a few milliseconds); larger ones on a worker.
const qint64 kInlinePixels = qint64(1) << 20;
}

CreatorEffects::CreatorEffects()
    : QWidget(nullptr)
{
    brightnessSlider = new QMWidgets::ComboSlider(QString(), nullptr);
    contrastSlider = new QMWidgets::ComboSlider(QString(), nullptr);
    resizeSlider = new QMWidgets::ComboSlider(QString(), nullptr);
    formatBox = new QComboBox;
    compressionBox = new QComboBox;

    brightnessSlider->setRange(-127, 128);
    contrastSlider->setRange(-127, 128);
    resizeSlider->setRange(0, 100);
    brightnessSlider->setMinimumWidth(140);
    contrastSlider->setMinimumWidth(140);
    resizeSlider->setMinimumWidth(140);
    brightnessSlider->setTickInterval(20);
    contrastSlider->setTickInterval(20);
    brightnessSlider->setValue(0);
    contrastSlider->setValue(0);
    resizeSlider->setValue(100);

    formatBox->addItem(QStringLiteral("PNG"));
    formatBox->addItem(QStringLiteral("JPG"));
    compressionBox->addItem(QStringLiteral("High"));
    compressionBox->addItem(QStringLiteral("Average"));
    compressionBox->addItem(QStringLiteral("Low"));
    compressionBox->setCurrentIndex(1);

    connect(brightnessSlider, SIGNAL(sliderReleased()), this, SLOT(slotAskRealPreview()));
    connect(contrastSlider, SIGNAL(sliderReleased()), this, SLOT(slotAskRealPreview()));
    connect(resizeSlider, SIGNAL(sliderReleased()), this, SLOT(slotAskRealPreview()));

    processing = new LatestJob(this);
    previewTimer = new QTimer(this);
    previewTimer->setSingleShot(true);
    previewTimer->setInterval(kPreviewDelayMs);
    connect(previewTimer, SIGNAL(timeout()), this, SLOT(slotAskRealPreview()));
    for (QMWidgets::ComboSlider *slider : {brightnessSlider, contrastSlider, resizeSlider}) {
        connect(slider, SIGNAL(sliderMoved(int)), this, SLOT(slotValueChanged()));
        connect(slider, SIGNAL(sliderReleased()), previewTimer, SLOT(stop()));
        // Keys go to the slider, the number box or its line edit.
        for (QWidget *part : slider->findChildren<QWidget *>())
            part->installEventFilter(this);
    }
    // After slotValueChanged, so that valuesChanging comes before the first pixmap.
    connect(brightnessSlider, SIGNAL(sliderMoved(int)), this, SLOT(slotParametersChanged()));
    connect(contrastSlider, SIGNAL(sliderMoved(int)), this, SLOT(slotParametersChanged()));
    connect(resizeSlider, SIGNAL(sliderMoved(int)), this, SLOT(slotParametersChanged()));
    connect(formatBox, SIGNAL(currentIndexChanged(int)), this, SLOT(slotFormatChanged()));
    connect(compressionBox, SIGNAL(currentIndexChanged(int)), this, SLOT(slotFormatChanged()));

    formLayout = new QFormLayout;
    formLayout->addRow(tr("Brightness:"), brightnessSlider);
    formLayout->addRow(tr("Contrast:"), contrastSlider);
    formLayout->addRow(tr("Resize:"), resizeSlider);
    formLayout->addRow(tr("Format:"), formatBox);
    formLayout->addRow(tr("Compression:"), compressionBox);
    setLayout(formLayout);

    setControlsDisabled(true);
}

CreatorEffects::~CreatorEffects() = default;

void CreatorEffects::setControlsDisabled(bool disabled)
{
    const QList<QWidget *> controls = {brightnessSlider, contrastSlider, resizeSlider, formatBox,
                                       compressionBox};
    for (QWidget *control : controls) {
        control->setDisabled(disabled);
        if (QWidget *label = formLayout->labelForField(control))
            label->setDisabled(disabled);
    }
    if (!disabled && formatBox->currentText() == QLatin1String("PNG"))
        compressionBox->setDisabled(true);
}

void CreatorEffects::setImage(const QPixmap &pixmap)
{
    setImage(pixmap.toImage());
}

void CreatorEffects::setImage(const QImage &image)
{
    // The kernel works on straight colours; opaque 32-bit pixels are kept as
    // they are (no copy), anything else becomes straight ARGB32.
    markChanging();
    // The running piece is of the previous picture: nothing of it is shown.
    processing->cancel();
    sourceImage = image;
    if (sourceImage.format() != QImage::Format_RGB32 && sourceImage.format() != QImage::Format_ARGB32)
        sourceImage = sourceImage.convertToFormat(QImage::Format_ARGB32);
    setControlsDisabled(false);
    slotParametersChanged();
    previewTimer->stop();
    slotAskRealPreview();
}

bool CreatorEffects::isProcessing() const
{
    return processing->isBusy();
}

QImage CreatorEffects::applyBrightnessContrast(const QImage &image, int brightness, int contrast)
{
    return ImageKernel::applyBrightnessContrast(image, brightness, contrast);
}

void CreatorEffects::slotParametersChanged()
{
    const QImage source = sourceImage;
    const int brightness = brightnessSlider->value();
    const int contrast = contrastSlider->value();
    const int percent = resizeSlider->value();
    const bool itself = brightness == 0 && contrast == 0 && percent == 100
        && source.format() == QImage::Format_RGB32;
    if (source.isNull() || itself || qint64(source.width()) * source.height() <= kInlinePixels) {
        processing->cancel();
        // Made in the pixmap's own format, the pixmap takes the pixels over.
        emit pixmapChanged(QPixmap::fromImage(
            ImageKernel::forPixmap(ImageKernel::process(source, brightness, contrast, percent))));
        if (realPreviewHeld)
            slotAskRealPreview();
        return;
    }
    auto result = std::make_shared<QImage>();
    processing->start(
        [source, brightness, contrast, percent, result] {
            *result = ImageKernel::forPixmap(ImageKernel::process(source, brightness, contrast, percent));
        },
        [this, result] {
            emit pixmapChanged(QPixmap::fromImage(std::move(*result)));
            if (realPreviewHeld)
                slotAskRealPreview();
        });
}

void CreatorEffects::slotAskRealPreview()
{
    // Asked for while the pixmap is being made: asked for once it is out.
    realPreviewHeld = processing->isBusy();
    if (realPreviewHeld)
        return;
    changing = false;
    emit realPreview();
}

void CreatorEffects::markChanging()
{
    if (changing)
        return;
    changing = true;
    emit valuesChanging();
}

void CreatorEffects::slotValueChanged()
{
    markChanging();
    // A dragged handle asks on its release, and so does a held key; every
    // other change asks here, the timer restarted by each step so a run of
    // steps asks once.
    if (brightnessSlider->isSliderDown() || contrastSlider->isSliderDown()
        || resizeSlider->isSliderDown())
        return;
    if (keyDown) {
        changedWhileKeyDown = true;
        previewTimer->stop();
        return;
    }
    previewTimer->start();
}

bool CreatorEffects::eventFilter(QObject *watched, QEvent *event)
{
    bool released = false;
    switch (event->type()) {
    case QEvent::KeyPress:
        keyDown = true;
        break;
    case QEvent::KeyRelease:
        // The repeats of a held key come as releases and presses marked auto-repeated.
        released = !static_cast<QKeyEvent *>(event)->isAutoRepeat();
        break;
    case QEvent::FocusOut:
        released = true;
        break;
    default:
        break;
    }
    if (released && keyDown) {
        keyDown = false;
        if (changedWhileKeyDown) {
            changedWhileKeyDown = false;
            previewTimer->start();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CreatorEffects::slotFormatChanged()
{
    markChanging();
    const QString format = formatBox->currentText();
    compressionBox->setDisabled(format == QLatin1String("PNG"));
    const QString spec = format + QLatin1Char(';') + QString::number(compressionBox->currentIndex());
    emit formatChanged(spec);
    previewTimer->stop();
    slotAskRealPreview();
}
