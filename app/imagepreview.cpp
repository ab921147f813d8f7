#include "imagepreview.h"

#include "app.h"
#include "encodedimagecache.h"
#include "filedialog.h"
#include "formatbytesize.h"
#include "mmessagebox.h"
#include "safefilewriter.h"
#include "stylehelpers.h"

#include <QBrush>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <utility>

ImagePreview::ImagePreview(QWidget *parent)
    : Preview(parent),
      pendingPreview(0),
      pictureGeneration(0)
{
    sizeLabel = new QLabel;
    captionLabel = new QLabel(QStringLiteral("<H2>0x0</H2>"));

    pictureWidget = new QWidget;
    scrollArea = new QScrollArea;
    pictureWidget->setAutoFillBackground(true);
    scrollArea->setObjectName(QStringLiteral("PreviewWidget"));
    scrollArea->setWidget(pictureWidget);

    captionLabel->setMinimumWidth(30);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    saveButton = new QPushButton(tr("Save"));
    saveButton->setEnabled(false);
    connect(saveButton, SIGNAL(clicked()), this, SLOT(slotSave()));
    QMWidgets::setNameAndToolTip(saveButton, QStringLiteral("SaveButton"), tr("Save As.."));
    saveButton->setFlat(true);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->setMargin(2);
    buttonRow->addWidget(saveButton);
    buttonRow->addStretch(1);
    buttonRow->addWidget(captionLabel);
    buttonRow->addStretch(1);
    buttonRow->addWidget(sizeLabel);

    // Quitting writes what waits before anything else runs on the way out.
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { writeHeldSaves(); });

    auto *mainLayout = new QVBoxLayout;
    mainLayout->setMargin(2);
    mainLayout->setSpacing(2);
    mainLayout->addWidget(scrollArea);
    mainLayout->addLayout(buttonRow);
    setLayout(mainLayout);
}

ImagePreview::~ImagePreview()
{
    writeHeldSaves();
}

void ImagePreview::showPicture(const QPixmap &pixmap)
{
    QPalette palette;
    palette.setBrush(pictureWidget->backgroundRole(), QBrush(pixmap));
    pictureWidget->setPalette(palette);
    pictureWidget->setFixedSize(pixmap.size());
}

void ImagePreview::showCaption(const QSize &size)
{
    captionLabel->setText(QStringLiteral("<H2>%1x%2</H2>").arg(size.width()).arg(size.height()));
}

void ImagePreview::refresh(const QPixmap &pixmap)
{
    ++pictureGeneration;
    showPicture(pixmap);
    showCaption(pixmap.size());
}

void ImagePreview::slotSetPixmap(const QPixmap &pixmap)
{
    // A hidden view is not redrawn, but its caption must not name an older picture.
    showCaption(pixmap.size());
    saveButton->setEnabled(!pixmap.isNull());
    Preview::slotSetPixmap(pixmap);
}

void ImagePreview::realPreview()
{
    EncodedImageCache *cache = encodedImageCache().get();
    cache->cancel(pendingPreview);
    pendingPreview = 0;
    // The encoded picture is shown only if nothing is shown after this request
    // and before it arrives; its size label is set in any case, as the latest
    // real preview decides it.
    const quint64 generation = ++pictureGeneration;
    pendingPreview = cache->requestPicture(
        pixmap(), formatSpec(), this,
        [this](const QByteArray &bytes) {
            sizeLabel->setText(tr("Size: ") + formatByteSize(bytes.size()));
        },
        [this, generation](const QPixmap &picture) {
            pendingPreview = 0;
            if (generation == pictureGeneration)
                showPicture(picture);
        });
}

void ImagePreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    realPreview();
}

bool ImagePreview::saveImage(const QString &fileName)
{
    const QByteArray bytes = encodedBytes(pixmap());
    if (bytes.isEmpty())
        return false;
    return SafeFileWriter::write(fileName, bytes);
}

void ImagePreview::slotSave()
{
    if (pixmap().isNull())
        return;
    const QString fileName = QMWidgets::FileDialog::getSaveFileName(
        this, tr("Save As.."), QMWidgets::App::documentsDirectory(true), QString(), nullptr,
        QFileDialog::Options());
    if (fileName.isEmpty())
        return;
    // The picture may have changed while the dialog was open, and a newer
    // one may be on its way: the Save carries what was set last.
    if (expecting) {
        heldSaves.append(fileName);
        setCursor(Qt::BusyCursor);
        if (!watchedWindow) {
            watchedWindow = window();
            watchedWindow->installEventFilter(this);
        }
        return;
    }
    saveNow(fileName);
}

void ImagePreview::saveNow(const QString &fileName)
{
    const QPixmap picture = pixmap();
    const QByteArray bytes = picture.isNull() ? QByteArray() : encodedBytes(picture);
    if (bytes.isEmpty()) {
        QMWidgets::MMessageBox::warning(
            this, tr("Save As.."),
            picture.isNull() ? tr("There is no picture to save.")
                             : tr("The picture could not be encoded in the chosen format."),
            QMessageBox::Ok);
        return;
    }
    saveOrWarn(fileName, bytes, tr("Save As.."));
}

void ImagePreview::expectPicture()
{
    expecting = true;
}

void ImagePreview::settlePicture()
{
    expecting = false;
    writeHeldSaves();
}

void ImagePreview::writeHeldSaves()
{
    const QStringList names = std::exchange(heldSaves, QStringList());
    if (watchedWindow) {
        watchedWindow->removeEventFilter(this);
        watchedWindow = nullptr;
    }
    if (names.isEmpty())
        return;
    unsetCursor();
    for (const QString &name : names)
        saveNow(name);
}

bool ImagePreview::eventFilter(QObject *watched, QEvent *event)
{
    // Before the window goes, so a failed save can still be told.
    if (watched == watchedWindow && event->type() == QEvent::Close)
        writeHeldSaves();
    return Preview::eventFilter(watched, event);
}

QString ImagePreview::captionText() const
{
    return captionLabel->text();
}

QString ImagePreview::sizeText() const
{
    return sizeLabel->text();
}
