#pragma once

#include "imagedecoder.h"
#include "label.h"

#include <QImage>
#include <QString>

#include <memory>

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
// it is reading (readingStarted comes first); files dropped meanwhile are read
// next, the last of them only. Of the files read in a row the last one taken
// is taken, and a later one that is refused is told in the message. A file
// that is not taken (not a readable file, not a picture, too large) changes
// nothing but a message in the area that says so and why, and refused comes
// when nothing else was taken; the next file taken clears the message.
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
    void readingStarted();
    void refused();

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
    struct Read;
    // Shows the file read and reports it with dropped(true).
    void take(const QString &path, Read &read);
    void showRefusal(const QString &path, MGraphX::ImageDecoder::Outcome outcome);
    void showReading(bool reading);
    void focusFirstControl();

    QString imagePath;
    QPushButton *openButton;
    QLabel *message;
    QImage image;
    LatestJob *reading;
    std::shared_ptr<Read> standby;  // a file taken while a later one is read
    QString standbyPath;
    QMWidgets::WaitLabel *waitLabel;
    QMovie *waitMovie;
};
