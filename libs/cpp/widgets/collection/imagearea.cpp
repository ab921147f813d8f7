#include "imagearea.h"

#include "defaultlook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtMath>

namespace QMWidgets {

ImageArea::ImageArea(QWidget *parent)
    : QFrame(parent)
    , m_scrollArea(new QScrollArea(this))
    , m_previewLabel(new QLabel)
    , m_nextButton(new QPushButton)
    , m_previousButton(new QPushButton)
    , m_infoLabel(new QLabel)
    , m_loadingLabel(new QLabel)
    , m_loadingMovie(new QMovie(QStringLiteral(":/loading_image.gif"), QByteArray(), this))
{
    m_previewLabel->setObjectName(QStringLiteral("PreviewLabel"));
    m_previewLabel->setAlignment(Qt::AlignCenter);
    m_scrollArea->setWidget(m_previewLabel);
    m_scrollArea->move(0, 0);

    m_nextButton->setObjectName(QStringLiteral("NextImageButton"));
    m_previousButton->setObjectName(QStringLiteral("PreviousImageButton"));
    giveDefaultLook(m_nextButton, collectionIcon(QStringLiteral("next")), tr("Next image"));
    giveDefaultLook(m_previousButton, collectionIcon(QStringLiteral("previous")), tr("Previous image"));

    m_loadingMovie->setScaledSize(QSize(96, 96));
    m_loadingLabel->setObjectName(QStringLiteral("ImageLoadingLabel"));
    m_loadingLabel->setAlignment(Qt::AlignCenter);
    m_loadingLabel->setMovie(m_loadingMovie);
    const QSize movieSize = m_loadingMovie->scaledSize();
    m_loadingLabel->setFixedSize(qRound(movieSize.width() * 1.5), qRound(movieSize.height() * 1.5));

    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(m_previousButton);
    middle->addStretch(1);
    middle->addWidget(m_loadingLabel);
    middle->addStretch(1);
    middle->addWidget(m_nextButton);

    auto *bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    bottom->addStretch(1);
    bottom->addWidget(m_infoLabel);
    bottom->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    layout->addLayout(middle);
    layout->addStretch(1);
    layout->addLayout(bottom);

    // The scroll area is not in the layout; keep it beneath the floating controls.
    m_scrollArea->lower();
    m_loadingLabel->hide();

    connect(m_nextButton, SIGNAL(clicked()), this, SLOT(slotNextClicked()));
    connect(m_previousButton, SIGNAL(clicked()), this, SLOT(slotPreviousClicked()));
}

void ImageArea::setPixmap(const QPixmap &pixmap)
{
    m_source = pixmap;
    refresh();
    m_loadingMovie->stop();
    m_loadingLabel->hide();
}

QPixmap ImageArea::pixmap() const
{
    return m_source;
}

void ImageArea::setInfo(const QString &text)
{
    if (text.isEmpty()) {
        m_infoLabel->hide();
        return;
    }
    m_infoLabel->setText(text);
    m_infoLabel->show();
}

void ImageArea::setNavigationHidden(bool hidden)
{
    m_navigationHidden = hidden;
    if (hidden) {
        m_nextButton->hide();
        m_previousButton->hide();
        m_infoLabel->hide();
    }
}

void ImageArea::slotZoom(int percent)
{
    m_fit = false;
    zoom(percent);
}

void ImageArea::slotFitScreen()
{
    m_infoLabel->setText(tr("<H1>Fit to Window</H1>"));
    m_fit = true;
    fitToWindow();
}

void ImageArea::slotHideInfo()
{
    m_infoLabel->hide();
}

void ImageArea::slotShowInfo()
{
    m_infoLabel->show();
}

void ImageArea::slotNextClicked()
{
    m_loadingMovie->start();
    m_loadingLabel->show();
    emit next();
    emit infoChanged();
}

void ImageArea::slotPreviousClicked()
{
    m_loadingMovie->start();
    m_loadingLabel->show();
    emit previous();
    emit infoChanged();
}

void ImageArea::enterEvent(QEvent *event)
{
    if (!m_navigationHidden) {
        m_nextButton->show();
        m_previousButton->show();
    }
    m_infoLabel->show();
    QFrame::enterEvent(event);
}

void ImageArea::leaveEvent(QEvent *event)
{
    m_nextButton->hide();
    m_previousButton->hide();
    m_infoLabel->hide();
    QFrame::leaveEvent(event);
}

void ImageArea::resizeEvent(QResizeEvent *event)
{
    refresh();
    QFrame::resizeEvent(event);
}

void ImageArea::zoom(int percent)
{
    // A percentage of 0 would give an empty picture and a large one an
    // overflowing size; keep it within the supported range.
    m_percent = qBound(MinimumPercent, percent, MaximumPercent);
    const int w = qRound(qint64(m_source.width()) * m_percent / 100.0);
    const int h = qRound(qint64(m_source.height()) * m_percent / 100.0);

    const QPixmap scaled = m_source.isNull()
        ? QPixmap()
        : m_source.scaled(w, h, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_previewLabel->setPixmap(scaled);

    const int areaW = width();
    const int areaH = height();
    const bool wide = scaled.width() >= areaW;
    const bool tall = scaled.height() >= areaH;
    m_previewLabel->setFixedSize(wide ? scaled.width() : areaW, tall ? scaled.height() : areaH);
    m_scrollArea->setHorizontalScrollBarPolicy(wide ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(tall ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    m_scrollArea->setGeometry(0, 0, areaW, areaH);
}

void ImageArea::fitToWindow()
{
    const int areaW = width();
    const int areaH = height();
    // Scaling to an empty size gives a null pixmap, which the label shows as nothing.
    const QPixmap scaled = (m_source.isNull() || areaW <= 0 || areaH <= 0)
        ? QPixmap()
        : m_source.scaled(areaW, areaH, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_previewLabel->setPixmap(scaled);
    m_scrollArea->setGeometry(0, 0, areaW, areaH);
    m_previewLabel->setFixedSize(areaW, areaH);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ImageArea::refresh()
{
    if (m_fit)
        fitToWindow();
    else
        zoom(m_percent);
}

} // namespace QMWidgets
