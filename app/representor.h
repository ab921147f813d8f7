#pragma once

#include <QList>
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
    // Encodes and shows the encoded picture in the picture preview only.
    void slotRealPreview();
    // Until slotReleaseTexts, the text previews know that a new text is on its
    // way: they store what comes but redraw nothing, and Copy, Save and Show
    // wait (the values are still changing, and each text view would encode
    // every pixmap). The picture preview still shows every pixmap; its Save
    // waits too.
    void slotHoldTexts();
    // The previews take the last pixmap and format string now, and what
    // waits acts on the picture and texts they bring.
    void slotReleaseTexts();

private:
    QList<TextPreview *> texts() const;

    QTabWidget *tabWidget;
    ImagePreview *imagePreview;
    TextPreview *htmlPreview;
    TextPreview *cssPreview;
    TextPreview *xmlPreview;
    TextPreview *xhtmlPreview;
    TextPreview *base64Preview;
    std::shared_ptr<EncodedImageCache> cache;
};
