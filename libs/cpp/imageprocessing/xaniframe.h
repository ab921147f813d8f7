#pragma once

#include <QImage>
#include <QString>

namespace MGraphX {

// One frame of an animated picture: the picture plus descriptive fields.
// The frame does not interpret duration, background, start or size; the
// container writer stores duration and background, a reader fills start and size.
class XaniFrame
{
public:
    XaniFrame();
    XaniFrame(const XaniFrame &other);
    XaniFrame &operator=(const XaniFrame &other);

    QImage image() const { return m_image; }
    QString name() const { return m_name; }
    QString format() const { return m_format; }
    int duration() const { return m_duration; }
    bool background() const { return m_background; }
    qint64 start() const { return m_start; }
    qint64 size() const { return m_size; }

    void setImage(const QImage &image) { m_image = image; }
    void setName(const QString &name) { m_name = name; }
    void setFormat(const QString &format) { m_format = format; }
    void setDuration(int duration) { m_duration = duration; }
    void setBackground(bool background) { m_background = background; }
    void setStart(const qint64 &start) { m_start = start; }
    void setSize(const qint64 &size) { m_size = size; }

    // The name up to its first "."; the whole name when it holds none.
    QString baseName() const;

private:
    QImage m_image;
    QString m_name;
    QString m_format;   // image format name used when the frame is stored
    int m_duration = -1;
    bool m_background = false;
    qint64 m_start = -1;
    qint64 m_size = -1;
};

} // namespace MGraphX
