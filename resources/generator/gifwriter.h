#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

// A small GIF89a writer (Qt reads GIF but cannot write it). All frames share
// one global palette: index 0 is transparent, indices 1..255 run from the
// background colour to the foreground colour. A pixel's alpha picks its place
// on that ramp, so antialiased edges blend into the background the picture is
// meant for. Frames loop forever; each is cleared before the next is drawn.
class GifWriter
{
public:
    GifWriter(const QColor &background, const QColor &foreground);

    // Adds a frame (any format; converted to ARGB32) shown for delayCs hundredths
    // of a second. All frames must have the size of the first.
    void addFrame(const QImage &frame, int delayCs);

    // Writes the animation; returns false when the file cannot be written.
    bool write(const QString &path) const;

private:
    QByteArray encodeFrame(const QImage &frame) const;

    QColor m_background;
    QColor m_foreground;
    QVector<QImage> m_frames;
    QVector<int> m_delays;
};
