#pragma once

#include "preview.h"

#include <QPointer>
#include <QStringList>

class QLabel;
class QPushButton;
class QScrollArea;

// The picture view ("PREVIEW" tab): the image at 1:1 in a scroll area, a
// caption with its width and height, the size of its encoded bytes and a Save
// button that writes the encoded image to a file. Save is disabled while there
// is no picture (none loaded, or scaled to an empty size).
class ImagePreview : public Preview
{
    Q_OBJECT
public:
    explicit ImagePreview(QWidget *parent = nullptr);
    ~ImagePreview() override;

    // Encodes the current pixmap, shows the picture decoded from the bytes
    // and their size. The caption is left as it is. Runs visible or not.
    // The work runs in the background: the size shows when the bytes are
    // known, the picture when it is decoded, unless a later refresh or real
    // preview has replaced it by then.
    void realPreview();

    // Writes the current pixmap, encoded by the current format string, to the
    // file name exactly as given. Returns false, and leaves any existing file
    // as it was, when there are no bytes or the file cannot be written.
    bool saveImage(const QString &fileName);

    // The caption and size texts as shown.
    QString captionText() const;
    QString sizeText() const;

    // A new picture is on its way: a Save confirmed until settlePicture()
    // waits for it, with a busy cursor, and then writes the picture stored by
    // then. Every ending (the window closing, the application quitting, the
    // view going) writes the Saves still waiting at once, with the picture
    // stored then.
    void expectPicture();
    void settlePicture();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Shows the pixmap unencoded and sets the caption to its size.
    void refresh(const QPixmap &pixmap) override;

public slots:
    // Stores the pixmap and captions it with its size, shown or not.
    void slotSetPixmap(const QPixmap &pixmap) override;
    void slotSave();

private:
    void showPicture(const QPixmap &pixmap);
    void showCaption(const QSize &size);
    // Encodes the stored pixmap and writes it, or says why not.
    void saveNow(const QString &fileName);
    // Writes the Saves that wait, oldest first.
    void writeHeldSaves();

    QPushButton *saveButton;
    QLabel *sizeLabel;
    QLabel *captionLabel;
    QScrollArea *scrollArea;
    QWidget *pictureWidget;
    quint64 pendingPreview;     // the cache's ticket of the real preview on its way
    quint64 pictureGeneration;  // counts what was put on show, to drop late pictures
    bool expecting = false;     // a new picture is on its way
    QStringList heldSaves;      // names confirmed meanwhile, oldest first
    QPointer<QWidget> watchedWindow;
};
