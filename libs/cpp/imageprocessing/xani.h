#pragma once

#include "xaniframe.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class QIODevice;

namespace MGraphX {

// An animated picture: an ordered list of frames. The QImage part is the
// current frame's picture (null until a frame is shown). A repeating timer
// with a fixed period of 1000 ms steps through the frames and announces each
// change with frameChanged(). loop and frameDuration are stored in the
// container file only; they do not change playback.
class Xani : public QObject, public QImage
{
    Q_OBJECT
public:
    explicit Xani(QObject *parent = nullptr);
    // A copy has no parent, a null picture, no file name and starts at frame 0;
    // it takes loop, frame duration and frames, and plays like the original.
    Xani(const Xani &other);
    // Copies loop, frame duration and frames; picture, file name, position
    // and the timer's state stay.
    Xani &operator=(const Xani &other);
    ~Xani() override;

    int loop() const { return m_loop; }
    void setLoop(int loop) { m_loop = loop; }
    int frameDuration() const { return m_frameDuration; }
    void setFrameDuration(int frameDuration) { m_frameDuration = frameDuration; }

    int frameCount() const;
    // A copy of frame i; a default frame when i is out of range.
    XaniFrame frame(int i) const;
    // Appends a copy and returns the new frame count.
    int addFrame(const XaniFrame &frame);
    // Replaces frame i; an out-of-range i changes nothing.
    void setFrame(int i, const XaniFrame &frame);
    // Removes all frames; the current picture and the position stay.
    void clear();

    bool isPlaying() const { return m_timer.isActive(); }
    QString fileName() const { return m_fileName; }

    // Writes the container file through a temporary file that replaces
    // fileName only when everything was written; false on any failure, an
    // existing file is then left as it was and no new one is made. A folder,
    // device or pipe of that name is never replaced (false). quality goes to
    // the image writer. On failure *error (when given) says why.
    bool save(const QString &fileName, int quality = -1, QString *error = nullptr);
    // Writes the container to an open, writable device; false when a write
    // (or, for a file device, its flush) fails, the animation is too large for
    // the format's 32-bit length, a frame's picture cannot be encoded in the
    // frame's format (nothing is written then; a null picture takes no
    // bytes), or a frame's name or format holds a
    // character the XML index cannot carry (a control character other than
    // tab, line feed and carriage return, an unpaired surrogate, U+FFFE or
    // U+FFFF). The index is ASCII: markup
    // characters are escaped and other characters written as references, so
    // every name reads back exactly. On failure *error (when given) says why,
    // naming the frame by its index when one frame is the cause.
    bool save(QIODevice *device, int quality = -1, QString *error = nullptr) const;
    // Records fileName, checks the container's layout and reports its two
    // length fields and the index text on the debug log. False when the file
    // is not a regular file, cannot be opened or is not a well-formed
    // container (bytes after the index included); then nothing is
    // reported. The frame list, loop and frame duration are not changed.
    bool load(const QString &fileName);

signals:
    void frameChanged();

public slots:
    // Starts the repeating 1000 ms frame timer; the first frame follows one period later.
    void start();
    // Stops the timer; the position is kept, so start() continues in turn.
    void stop();
    // Shows the next frame in turn and wraps after the last; an empty list stops the timer.
    void nextFrame();
    // Shows frame i (a null picture when i is out of range) and emits
    // frameChanged(); the position of nextFrame() does not change.
    void setCurrentIndex(int i);

private:
    QString m_fileName;
    QTimer m_timer;
    int m_index = 0;
    int m_loop = 1;
    int m_frameDuration = 1000;
    QVector<XaniFrame> m_frames;
};

} // namespace MGraphX
