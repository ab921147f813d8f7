#include "helpdisplay.h"

#include "filehelpers.h"
#include "imagedecoder.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace QMWidgets {

HelpDisplay::HelpDisplay(QWidget *parent)
    : QFrame(parent)
{
}

void HelpDisplay::setImage(const QString &path)
{
    m_imagePath = path;
    // Decoded once, through the one picture decoder: a file that is no
    // regular file, no picture or over the decoding budget shows nothing.
    QFile file;
    m_picture = !path.isEmpty() && MTools::openResourceOrRegularFile(path, &file)
        ? QPixmap::fromImage(MGraphX::ImageDecoder::decode(&file))
        : QPixmap();
    update();
}

QString HelpDisplay::image() const
{
    return m_imagePath;
}

void HelpDisplay::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_imagePath.isEmpty())
        return;

    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(Qt::black, Qt::SolidPattern));
    painter.drawRect(rect());

    const QScreen *screen = QGuiApplication::primaryScreen();
    const int ratio = screen ? int(screen->devicePixelRatio()) : 1;

    const QPixmap &pixmap = m_picture;
    if (pixmap.isNull())
        return;

    if (ratio > 1) {
        const QPixmap scaled = pixmap.scaled(width() * ratio, height() * ratio, Qt::KeepAspectRatio,
                                             Qt::SmoothTransformation);
        const int w = scaled.width() / ratio;
        const int h = scaled.height() / ratio;
        painter.drawPixmap(QRect((width() - w) / 2, (height() - h) / 2, w, h), scaled);
    } else {
        const QPixmap scaled = pixmap.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawPixmap((width() - scaled.width()) / 2, (height() - scaled.height()) / 2, scaled);
    }
}

} // namespace QMWidgets
