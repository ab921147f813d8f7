#include "skippingdevice.h"

#include <algorithm>

namespace MTools {

SkippingDevice::SkippingDevice(QIODevice *source, qint64 start, const QVector<Range> &skipped)
    : m_source(source),
      m_start(start),
      m_skipped(skipped)
{
    // Unbuffered: every read lands at the position kept here.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 SkippingDevice::size() const
{
    qint64 left = m_source->size() - m_start;
    for (const Range &range : m_skipped)
        left -= range.second - range.first;
    return std::max<qint64>(0, left);
}

bool SkippingDevice::seek(qint64 pos)
{
    if (pos < 0 || !QIODevice::seek(pos))
        return false;
    m_at = pos;
    return true;
}

qint64 SkippingDevice::readData(char *data, qint64 maxSize)
{
    qint64 done = 0;
    while (done < maxSize) {
        // The source offset of the view's position, and how much follows it
        // before the next skipped range.
        qint64 offset = m_start + m_at;
        qint64 run = -1;
        for (const Range &range : m_skipped) {
            if (offset < range.first) {
                run = range.first - offset;
                break;
            }
            offset += range.second - range.first;
        }
        if (run < 0)
            run = m_source->size() - offset;
        const qint64 want = std::min(run, maxSize - done);
        if (want <= 0 || (m_source->pos() != offset && !m_source->seek(offset)))
            break;
        const qint64 got = m_source->read(data + done, want);
        if (got <= 0)
            break;
        done += got;
        m_at += got;
        if (got < want)
            break;
    }
    return done;
}

qint64 SkippingDevice::writeData(const char *, qint64)
{
    return -1;
}

} // namespace MTools
