#include "representor.h"

#include "encodedimagecache.h"
#include "imagepreview.h"
#include "textpreview.h"

#include <QTabWidget>
#include <QVBoxLayout>

Representor::Representor(QWidget *parent)
    : QWidget(parent),
      cache(std::make_shared<EncodedImageCache>())
{
    tabWidget = new QTabWidget;
    imagePreview = new ImagePreview;
    htmlPreview = new TextPreview;
    cssPreview = new TextPreview;
    xmlPreview = new TextPreview;
    xhtmlPreview = new TextPreview;
    base64Preview = new TextPreview;

    htmlPreview->setType(TextPreview::Html);
    cssPreview->setType(TextPreview::Css);
    xmlPreview->setType(TextPreview::Xml);
    xhtmlPreview->setType(TextPreview::Xhtml);
    base64Preview->setType(TextPreview::Base64);

    const QList<Preview *> previews = {imagePreview, htmlPreview,  cssPreview,
                                       xmlPreview,   xhtmlPreview, base64Preview};
    for (Preview *preview : previews)
        preview->setEncodedImageCache(cache);

    tabWidget->addTab(imagePreview, tr("PREVIEW"));
    tabWidget->addTab(htmlPreview, tr("HTML"));
    tabWidget->addTab(cssPreview, tr("CSS"));
    tabWidget->addTab(xmlPreview, tr("XML"));
    tabWidget->addTab(xhtmlPreview, tr("XHTML"));
    tabWidget->addTab(base64Preview, tr("BASE64"));

    setMinimumSize(500, 500);

    auto *layout = new QVBoxLayout;
    layout->setMargin(3);
    layout->addWidget(tabWidget);
    setLayout(layout);
}

Representor::~Representor() = default;

void Representor::slotSetPixmap(const QPixmap &pixmap)
{
    imagePreview->slotSetPixmap(pixmap);
    if (textsHeld) {
        heldPixmap = pixmap;
        heldPixmapNew = true;
        return;
    }
    setTextsPixmap(pixmap);
}

void Representor::setTextsPixmap(const QPixmap &pixmap)
{
    htmlPreview->slotSetPixmap(pixmap);
    cssPreview->slotSetPixmap(pixmap);
    xmlPreview->slotSetPixmap(pixmap);
    xhtmlPreview->slotSetPixmap(pixmap);
    base64Preview->slotSetPixmap(pixmap);
}

void Representor::slotSetFormat(const QString &formatSpec)
{
    imagePreview->slotSetFormat(formatSpec);
    htmlPreview->slotSetFormat(formatSpec);
    cssPreview->slotSetFormat(formatSpec);
    xmlPreview->slotSetFormat(formatSpec);
    xhtmlPreview->slotSetFormat(formatSpec);
    base64Preview->slotSetFormat(formatSpec);
}

void Representor::slotRealPreview()
{
    imagePreview->realPreview();
    if (!textsHeld)
        return;
    textsHeld = false;
    if (heldPixmapNew)
        setTextsPixmap(heldPixmap);
    heldPixmap = QPixmap();
    heldPixmapNew = false;
}

void Representor::slotHoldTexts()
{
    textsHeld = true;
}
