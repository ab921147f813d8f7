#include "creator.h"

#include "droparea.h"
#include "effectsform.h"

#include <QLabel>
#include <QVBoxLayout>


Creator::Creator(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setFixedWidth(280);

    effects = new CreatorEffects;
    caption = new QLabel(QStringLiteral("<H4><CENTER>Original</CENTER></H4>"));
    caption->hide();
    dropArea = new CreatorDropArea;

    connect(effects, SIGNAL(pixmapChanged(const QPixmap &)), this,
            SIGNAL(pixmapChanged(const QPixmap &)));
    connect(effects, SIGNAL(formatChanged(const QString &)), this,
            SIGNAL(formatChanged(const QString &)));
    connect(effects, SIGNAL(realPreview()), this, SLOT(slotFormRealPreview()));
    connect(effects, SIGNAL(valuesChanging()), this, SIGNAL(textsComing()));
    connect(dropArea, SIGNAL(readingStarted()), this, SIGNAL(textsComing()));
    connect(dropArea, SIGNAL(dropped(bool)), this, SLOT(slotDropped(bool)));
    connect(dropArea, SIGNAL(refused()), this, SLOT(slotRefused()));

    QVBoxLayout *inner = new QVBoxLayout;
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    inner->addWidget(caption);
    inner->addWidget(dropArea);

    QVBoxLayout *outer = new QVBoxLayout;
    outer->setContentsMargins(3, 3, 3, 3);
    outer->setSpacing(10);
    outer->addLayout(inner);
    outer->addWidget(effects);
    outer->addStretch(1);
    setLayout(outer);
}

Creator::~Creator() = default;

void Creator::slotDropped(bool)
{
    // The drop area has just decoded the file for its thumbnail; it reports
    // only files it has taken, and nothing else reaches the previews.
    QImage image = dropArea->takeImage();
    if (image.isNull()) {
        slotRefused();
        return;
    }
    effects->setImage(image);
    caption->show();
    // A form still processing asks for the encoded picture itself, once its
    // pixmap is out; asked for now, it would be for the previous picture.
    if (!effects->isProcessing())
        emit realPreview();
}

void Creator::slotFormRealPreview()
{
    emit realPreview();
    // A file still being read brings the next picture.
    if (!dropArea->isReading())
        emit textsSettled();
}

void Creator::slotRefused()
{
    // The picture stays; a value still changing settles with its own realPreview.
    if (!dropArea->isReading() && !effects->isChanging())
        emit textsSettled();
}
