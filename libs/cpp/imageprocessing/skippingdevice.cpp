#include "skippingdevice.h"

#include <algorithm>

namespace MGraphX {

SkippingDevice::SkippingDevice(QIODevice *source, qint64 start, const QVector<Range> &skipped)
    : m_source(source),
      m_start(start)
{
    qint64 total = 0;
    for (const Range &range : skipped) {
        m_viewStarts.append(range.first - m_start - total);
        m_skippedBefore.append(total);
        total += range.second - range.first;
    }
    m_skippedBefore.append(total); // all of them, for positions past the last
    // Unbuffered: every read lands at the position kept here.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 SkippingDevice::size() const
{
    return std::max<qint64>(0, m_source->size() - m_start - m_skippedBefore.last());
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
        // before the next skipped range (the first that begins after it).
        const int next = int(std::upper_bound(m_viewStarts.cbegin(), m_viewStarts.cend(), m_at)
                             - m_viewStarts.cbegin());
        const qint64 offset = m_start + m_at + m_skippedBefore.at(next);
        const qint64 run = next < m_viewStarts.size() ? m_viewStarts.at(next) - m_at : m_source->size() - offset;
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

} // namespace MGraphX
