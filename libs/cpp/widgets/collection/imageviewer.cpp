#include "imageviewer.h"

#include "app.h"
#include "defaultlook.h"
#include "imagearea.h"
#include "imagedecoder.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSlider>
#include <QUrl>
#include <QVBoxLayout>

namespace QMWidgets {

ImageViewer::ImageViewer(QWidget *parent)
    : QFrame(parent)
    , m_area(new ImageArea)
    , m_slider(new QSlider(Qt::Horizontal))
    , m_fitButton(new QPushButton)
    , m_actualPixelsButton(new QPushButton(tr("Actual Pixels")))
{
    setMinimumHeight(400);

    auto *previewButton = new QPushButton(tr("Open with Preview"));
    previewButton->setObjectName(QStringLiteral("SysPreviewButton"));
    previewButton->setFixedHeight(32);
    previewButton->setFlat(true);
    giveDefaultLabel(previewButton, tr("Open with Preview"));

    m_slider->setObjectName(QStringLiteral("ImageViewSlider"));
    m_slider->setRange(1, 100);
    m_slider->setValue(100);
    m_slider->setTickPosition(QSlider::TicksBothSides);
    m_slider->setMinimumWidth(200);

    // The left button lowers the zoom and the right one raises it; the style
    // sheet knows them by these names.
    auto *leftStepButton = new QPushButton;
    leftStepButton->setObjectName(QStringLiteral("ZoomInButton"));
    leftStepButton->setFixedSize(44, 44);
    leftStepButton->setFlat(true);
    auto *rightStepButton = new QPushButton;
    rightStepButton->setObjectName(QStringLiteral("ZoomOutButton"));
    rightStepButton->setFixedSize(44, 44);
    rightStepButton->setFlat(true);
    giveDefaultLook(leftStepButton, collectionIcon(QStringLiteral("zoomout")), tr("Zoom out"));
    giveDefaultLook(rightStepButton, collectionIcon(QStringLiteral("zoomin")), tr("Zoom in"));

    m_actualPixelsButton->setObjectName(QStringLiteral("ActualPixelsButton"));
    m_actualPixelsButton->setToolTip(tr("100%"));
    m_actualPixelsButton->setFixedHeight(32);
    m_actualPixelsButton->setCheckable(true);
    m_actualPixelsButton->setChecked(false);
    m_actualPixelsButton->setFlat(true);
    giveDefaultLabel(m_actualPixelsButton, tr("Actual Pixels"));

    m_fitButton->setObjectName(QStringLiteral("FitToScreenButton"));
    m_fitButton->setToolTip(tr("Fit To Window"));
    m_fitButton->setCheckable(true);
    m_fitButton->setChecked(true);
    m_fitButton->setFlat(true);
    giveDefaultLook(m_fitButton, collectionIcon(QStringLiteral("fit")), tr("Fit To Window"));

    auto *top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(previewButton);
    top->addStretch(1);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(5, 5, 5, 5);
    bottom->addStretch(1);
    bottom->addWidget(leftStepButton);
    bottom->addWidget(m_slider);
    bottom->addWidget(rightStepButton);
    bottom->addSpacing(5);
    bottom->addWidget(m_actualPixelsButton);
    bottom->addSpacing(20);
    bottom->addWidget(m_fitButton);
    bottom->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(m_area);
    layout->addLayout(bottom);

    connect(m_area, SIGNAL(next()), this, SIGNAL(next()));
    connect(m_area, SIGNAL(previous()), this, SIGNAL(previous()));
    connect(m_area, SIGNAL(infoChanged()), this, SIGNAL(infoChanged()));

    connect(m_slider, SIGNAL(valueChanged(int)), this, SLOT(slotZoom(int)));
    connect(m_slider, SIGNAL(sliderPressed()), this, SLOT(slotShowInfo()));
    connect(m_slider, SIGNAL(sliderReleased()), m_area, SLOT(slotHideInfo()));
    connect(m_fitButton, SIGNAL(clicked()), this, SLOT(slotFitScreen()));
    connect(m_actualPixelsButton, SIGNAL(clicked()), this, SLOT(slotActualPixels()));
    connect(previewButton, SIGNAL(clicked()), this, SLOT(slotSysPreview()));
    connect(rightStepButton, SIGNAL(clicked()), this, SLOT(slotIncZoom()));
    connect(leftStepButton, SIGNAL(clicked()), this, SLOT(slotDecZoom()));
}

void ImageViewer::setInfo(const QString &text)
{
    m_area->setInfo(text);
}

void ImageViewer::setNavigationHidden(bool hidden)
{
    m_area->setNavigationHidden(hidden);
}

void ImageViewer::openFile(const QString &fileOrUrl)
{
    if (QFileInfo::exists(fileOrUrl))
        QDesktopServices::openUrl(QUrl::fromLocalFile(fileOrUrl));
    else
        QDesktopServices::openUrl(QUrl(fileOrUrl, QUrl::TolerantMode));
}

QString ImageViewer::previewFilePath()
{
    return App::workDirectory(true) + QStringLiteral("preview.png");
}

void ImageViewer::slotLoad(const QString &path)
{
    // Only a regular file within the decoding budget; anything else shows nothing.
    slotLoad(MGraphX::ImageDecoder::decodeFile(path));
}

void ImageViewer::slotLoad(const QImage &image)
{
    m_area->setPixmap(QPixmap::fromImage(image));
}

void ImageViewer::slotActualPixels()
{
    {
        const QSignalBlocker blocker(m_fitButton);
        m_fitButton->setChecked(false);
    }
    if (!m_actualPixelsButton->isChecked())
        return;
    // Setting the value the slider already has emits nothing.
    if (m_slider->value() == 100)
        slotZoom(100);
    else
        m_slider->setValue(100);
}

void ImageViewer::slotZoom(int value)
{
    m_area->setInfo(QStringLiteral("<H1>") + QString::number(value) + QStringLiteral("%</H1>"));
    {
        const QSignalBlocker blocker(m_fitButton);
        m_fitButton->setChecked(false);
    }
    {
        const QSignalBlocker blocker(m_actualPixelsButton);
        m_actualPixelsButton->setChecked(m_slider->value() == 100);
    }
    m_area->slotZoom(value);
}

void ImageViewer::slotFitScreen()
{
    m_area->setInfo(QString());
    m_area->slotHideInfo();
    m_actualPixelsButton->setChecked(false);
    m_area->slotFitScreen();
}

void ImageViewer::slotIncZoom()
{
    if (m_slider->value() < 100)
        m_slider->setValue(m_slider->value() + 1);
}

void ImageViewer::slotDecZoom()
{
    if (m_slider->value() >= 2)
        m_slider->setValue(m_slider->value() - 1);
}

void ImageViewer::slotSysPreview()
{
    // Written through a save file, so a failed write neither truncates an
    // earlier preview nor opens a stale one.
    const QString path = previewFilePath();
    const QPixmap picture = m_area->pixmap();
    if (picture.isNull())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "png") || !file.flush()
        || !file.commit())
        return;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        emit systemPreviewOpened();
}

void ImageViewer::slotShowInfo()
{
    slotZoom(m_slider->value());
}

} // namespace QMWidgets
