#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>

class EncodedImageCache;
class ImagePreview;
class QTabWidget;
class TextPreview;

// The right-hand column: a tab widget with the picture preview and the five
// text previews. Hands a new pixmap, a new format string and a request for
// the encoded picture on to them. All six share one cache of encoded bytes.
class Representor : public QWidget
{
    Q_OBJECT
public:
    explicit Representor(QWidget *parent = nullptr);
    ~Representor() override;

public slots:
    // Every preview stores the pixmap; only the visible one redraws.
    void slotSetPixmap(const QPixmap &pixmap);
    // Every preview stores the format string and redraws.
    void slotSetFormat(const QString &formatSpec);
    // Encodes and shows the encoded picture in the picture preview only; text
    // previews held by slotHoldTexts get the last pixmap now.
    void slotRealPreview();
    // Until the next slotRealPreview, new pixmaps reach the picture preview
    // only: the values are still changing (a key held down), and each text
    // view would encode every pixmap.
    void slotHoldTexts();

private:
    void setTextsPixmap(const QPixmap &pixmap);

    QTabWidget *tabWidget;
    ImagePreview *imagePreview;
    TextPreview *htmlPreview;
    TextPreview *cssPreview;
    TextPreview *xmlPreview;
    TextPreview *xhtmlPreview;
    TextPreview *base64Preview;
    std::shared_ptr<EncodedImageCache> cache;
    bool textsHeld = false;
    QPixmap heldPixmap;  // the newest pixmap the held text previews have not had
    bool heldPixmapNew = false;
};
