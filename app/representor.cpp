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
    for (TextPreview *text : texts())
        text->slotSetPixmap(pixmap);
}

void Representor::slotSetFormat(const QString &formatSpec)
{
    imagePreview->slotSetFormat(formatSpec);
    for (TextPreview *text : texts())
        text->slotSetFormat(formatSpec);
}

void Representor::slotRealPreview()
{
    imagePreview->realPreview();
}

void Representor::slotHoldTexts()
{
    imagePreview->expectPicture();
    for (TextPreview *text : texts())
        text->expectText();
}

void Representor::slotReleaseTexts()
{
    imagePreview->settlePicture();
    for (TextPreview *text : texts())
        text->settleText();
}

QList<TextPreview *> Representor::texts() const
{
    return {htmlPreview, cssPreview, xmlPreview, xhtmlPreview, base64Preview};
}
