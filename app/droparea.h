#pragma once

#include "imagedecoder.h"
#include "label.h"

#include <QImage>
#include <QString>

class LatestJob;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMovie;
class QPushButton;

namespace QMWidgets {
class WaitLabel;
}

// The square where the user drops an image file or opens one. Keeps the path
// of the last file taken, shows its thumbnail and reports it with dropped(true).
// The file is read, decoded and turned on a worker while the area shows that
// it is reading; a file dropped meanwhile replaces it, and only the last one
// is taken or refused. A file that is not taken (not a readable file, not a
// picture, too large) changes nothing but a message in the area that says so
// and why; the next file taken clears it.
class CreatorDropArea : public QMWidgets::Label
{
    Q_OBJECT
public:
    explicit CreatorDropArea(QWidget *parent = nullptr);
    ~CreatorDropArea() override;

    // Local path of the last file taken; empty before the first one.
    QString fileName() const;

    // The picture decoded from the last file taken, as straight 32-bit words
    // (ImageKernel::straightSource), handed over once while dropped() is being
    // delivered; null at any other time.
    QImage takeImage();

    // True from a drop (or an open) until its file is taken or refused.
    bool isReading() const;

signals:
    void dropped(bool);

public slots:
    void slotOpenClicked();
    void slotStateChanged(QString);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Takes the file at path and shows it: the thumbnail replaces the text and
    // the button. A file that does not load is not taken: the message says why.
    void takeFile(const QString &path);
    void showRefusal(const QString &path, MGraphX::ImageDecoder::Outcome outcome);
    void showReading(bool reading);
    void focusFirstControl();

    QString imagePath;
    QPushButton *openButton;
    QLabel *message;
    QImage image;
    LatestJob *reading;
    QMWidgets::WaitLabel *waitLabel;
    QMovie *waitMovie;
};
