#pragma once

#include <QIODevice>
#include <QPair>
#include <QVector>

namespace MGraphX {

// A read-only view of a random-access device from a start offset on, with
// some byte ranges left out, so that a decoder reads the data as if those
// bytes were not there. The source is read in place, never copied.
class SkippingDevice : public QIODevice
{
public:
    using Range = QPair<qint64, qint64>; // from first to before second

    // skipped: ranges of the source's offsets at or after start, in order
    // and not overlapping. Opens itself for reading.
    SkippingDevice(QIODevice *source, qint64 start, const QVector<Range> &skipped);

    bool isSequential() const override { return false; }
    qint64 size() const override;
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QIODevice *m_source;
    qint64 m_start;
    // For each skipped range, where it would begin in the view and the bytes
    // skipped before it (and last, all bytes skipped): a position is placed
    // by a binary search, so that many ranges cost little per read.
    QVector<qint64> m_viewStarts;
    QVector<qint64> m_skippedBefore;
    qint64 m_at = 0; // position in the view
};

} // namespace MGraphX
