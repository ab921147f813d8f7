#include "preview.h"

#include "app.h"
#include "encodedimagecache.h"
#include "mmessagebox.h"
#include "safefilewriter.h"

#include <QMessageBox>

#include <cstdio>

Preview::Preview(QWidget *parent)
    : QFrame(parent),
      m_formatSpec(QStringLiteral("PNG")),
      m_cache(std::make_shared<EncodedImageCache>())
{
    setObjectName(QStringLiteral("MainSeparator"));
}

Preview::~Preview()
{
    m_cache->cancelAll(this);
}

void Preview::setEncodedImageCache(const std::shared_ptr<EncodedImageCache> &cache)
{
    if (!cache || cache == m_cache)
        return;
    m_cache->cancelAll(this);
    m_cache = cache;
}

void Preview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh(m_pixmap);
}

QByteArray Preview::encodedBytes(const QPixmap &pixmap) const
{
    return m_cache->bytes(pixmap, m_formatSpec);
}

void Preview::slotSetPixmap(const QPixmap &pixmap)
{
    m_pixmap = pixmap;
    if (isVisible())
        refresh(m_pixmap);
}

void Preview::slotSetFormat(const QString &formatSpec)
{
    m_formatSpec = formatSpec;
    refresh(m_pixmap);
}

bool Preview::saveOrWarn(const QString &fileName, const QByteArray &bytes, const QString &title)
{
    QString error;
    if (SafeFileWriter::write(fileName, bytes, &error))
        return true;
    // Nobody may be there to answer a dialog, and it would hold the ending up.
    const QMWidgets::App *app = QMWidgets::App::instance();
    if (app && app->isQuittingUnattended()) {
        std::fprintf(stderr, "%s: %s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(title), qPrintable(error));
        return false;
    }
    QMWidgets::MMessageBox::warning(this, title, error, QMessageBox::Ok);
    return false;
}
