#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>
#include <memory>

class EncodedImageCache;

// Abstract base of the six views of the current image. Keeps the last pixmap
// and format string received and decides when a view redraws: a new pixmap
// redraws only a visible view, a new format string every view, and showing a
// view redraws it. A redraw that needs encoded bytes asks the cache for them
// and completes when they arrive (at once when they are already known); a
// newer redraw of the same view drops the older one's request.
class Preview : public QFrame
{
    Q_OBJECT
public:
    explicit Preview(QWidget *parent = nullptr);
    ~Preview() override;

    QString formatSpec() const { return m_formatSpec; }
    QPixmap pixmap() const { return m_pixmap; }

    // The cache of encoded pictures this view reads from; views that share one
    // encode each (pixmap, format) pair only once. A view starts with its own;
    // changing it drops the view's requests to the old one.
    void setEncodedImageCache(const std::shared_ptr<EncodedImageCache> &cache);
    std::shared_ptr<EncodedImageCache> encodedImageCache() const { return m_cache; }

protected:
    void showEvent(QShowEvent *event) override;

    // Redraws the view from the given pixmap (always the current one) and the
    // stored format string.
    virtual void refresh(const QPixmap &pixmap) = 0;

    // The given pixmap encoded by the stored format string (waits for the
    // encoding when it is still running).
    QByteArray encodedBytes(const QPixmap &pixmap) const;

    // Saves the bytes to the file the user chose; a failed save is told to the
    // user in a warning titled by the given title (on the standard error
    // stream while the application quits unattended). Returns whether it was saved.
    bool saveOrWarn(const QString &fileName, const QByteArray &bytes, const QString &title);

public slots:
    virtual void slotSetPixmap(const QPixmap &pixmap);
    void slotSetFormat(const QString &formatSpec);

private:
    QString m_formatSpec;
    QPixmap m_pixmap;
    std::shared_ptr<EncodedImageCache> m_cache;
};
