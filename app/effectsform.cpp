#include "effectsform.h"

#include "comboslider.h"
#include "imagekernel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QTimer>
#include <utility>

namespace {
// How long a value change waits for the next one before the encoded preview
// is asked for: long enough to take a held arrow key or typed digits as one.
const int kPreviewDelayMs = 150;
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

    connect(brightnessSlider, SIGNAL(sliderMoved(int)), this, SLOT(slotParametersChanged()));
    connect(contrastSlider, SIGNAL(sliderMoved(int)), this, SLOT(slotParametersChanged()));
    connect(resizeSlider, SIGNAL(sliderMoved(int)), this, SLOT(slotParametersChanged()));
    connect(brightnessSlider, SIGNAL(sliderReleased()), this, SIGNAL(realPreview()));
    connect(contrastSlider, SIGNAL(sliderReleased()), this, SIGNAL(realPreview()));
    connect(resizeSlider, SIGNAL(sliderReleased()), this, SIGNAL(realPreview()));

    previewTimer = new QTimer(this);
    previewTimer->setSingleShot(true);
    previewTimer->setInterval(kPreviewDelayMs);
    connect(previewTimer, SIGNAL(timeout()), this, SIGNAL(realPreview()));
    for (QMWidgets::ComboSlider *slider : {brightnessSlider, contrastSlider, resizeSlider}) {
        connect(slider, SIGNAL(sliderMoved(int)), this, SLOT(slotValueChanged()));
        connect(slider, SIGNAL(sliderReleased()), previewTimer, SLOT(stop()));
    }
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
    // The kernel works on straight colours; opaque 32-bit pixels are kept as
    // they are (no copy), anything else becomes straight ARGB32.
    sourceImage = pixmap.toImage();
    if (sourceImage.format() != QImage::Format_RGB32)
        sourceImage = sourceImage.convertToFormat(QImage::Format_ARGB32);
    setControlsDisabled(false);
    slotParametersChanged();
    previewTimer->stop();
    emit realPreview();
}

QImage CreatorEffects::applyBrightnessContrast(const QImage &image, int brightness, int contrast)
{
    return ImageKernel::applyBrightnessContrast(image, brightness, contrast);
}

void CreatorEffects::slotParametersChanged()
{
    QImage result = ImageKernel::process(sourceImage, brightnessSlider->value(),
                                         contrastSlider->value(), resizeSlider->value());
    // Moved: the pixmap takes the pixels over instead of copying them.
    emit pixmapChanged(QPixmap::fromImage(std::move(result)));
}

void CreatorEffects::slotValueChanged()
{
    // A dragged handle asks on its release; every other change asks here, the
    // timer restarted by each step so a run of steps asks once.
    if (brightnessSlider->isSliderDown() || contrastSlider->isSliderDown()
        || resizeSlider->isSliderDown())
        return;
    previewTimer->start();
}

void CreatorEffects::slotFormatChanged()
{
    const QString format = formatBox->currentText();
    compressionBox->setDisabled(format == QLatin1String("PNG"));
    const QString spec = format + QLatin1Char(';') + QString::number(compressionBox->currentIndex());
    emit formatChanged(spec);
    previewTimer->stop();
    emit realPreview();
}
