#include "gifwriter.h"

#include <QFile>

#include <vector>

namespace {

// Collects LZW codes least significant bit first and cuts them into the
// length-prefixed sub-blocks of at most 255 bytes that GIF image data uses.
class BitSink
{
public:
    void put(int code, int bits)
    {
        m_acc |= quint32(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.append(char(m_acc & 0xff));
            m_acc >>= 8;
            m_count -= 8;
        }
    }

    QByteArray finish()
    {
        if (m_count > 0)
            m_bytes.append(char(m_acc & 0xff));
        QByteArray out;
        for (int i = 0; i < m_bytes.size(); i += 255) {
            const QByteArray block = m_bytes.mid(i, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0)); // block terminator
        return out;
    }

private:
    QByteArray m_bytes;
    quint32 m_acc = 0;
    int m_count = 0;
};

void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

} // namespace

GifWriter::GifWriter(const QColor &background, const QColor &foreground)
    : m_background(background), m_foreground(foreground)
{
}

void GifWriter::addFrame(const QImage &frame, int delayCs)
{
    m_frames.append(frame.convertToFormat(QImage::Format_ARGB32));
    m_delays.append(delayCs);
}

// Maps every pixel to a palette index and LZW-compresses the indices with a
// minimum code size of 8 (codes of 9 to 12 bits, a clear code when full).
QByteArray GifWriter::encodeFrame(const QImage &frame) const
{
    const int minCodeSize = 8;
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;

    std::vector<uchar> indices;
    indices.reserve(size_t(frame.width()) * size_t(frame.height()));
    for (int y = 0; y < frame.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            // Nearly clear pixels become the transparent index 0.
            indices.push_back(alpha < 24 ? 0 : uchar(1 + (alpha * 254 + 127) / 255));
        }
    }

    BitSink sink;
    std::vector<int> table(4096 * 256, -1);
    int codeSize = minCodeSize + 1;
    int lastCode = endCode;
    sink.put(clearCode, codeSize);
    int current = indices.empty() ? 0 : indices[0];
    for (size_t i = 1; i < indices.size(); ++i) {
        const int next = indices[i];
        const int found = table[size_t(current) * 256 + size_t(next)];
        if (found >= 0) {
            current = found;
            continue;
        }
        sink.put(current, codeSize);
        table[size_t(current) * 256 + size_t(next)] = ++lastCode;
        if (lastCode >= (1 << codeSize))
            ++codeSize;
        if (lastCode == 4095) {
            sink.put(clearCode, codeSize);
            std::fill(table.begin(), table.end(), -1);
            codeSize = minCodeSize + 1;
            lastCode = endCode;
        }
        current = next;
    }
    sink.put(current, codeSize);
    sink.put(endCode, codeSize);

    QByteArray out;
    out.append(char(minCodeSize));
    out.append(sink.finish());
    return out;
}

bool GifWriter::write(const QString &path) const
{
    if (m_frames.isEmpty())
        return false;
    const int width = m_frames.first().width();
    const int height = m_frames.first().height();

    QByteArray out("GIF89a");
    putWord(out, width);
    putWord(out, height);
    out.append(char(0xF7)); // global colour table of 256 entries, 8 bits per channel
    out.append(char(0));    // background colour index
    out.append(char(0));    // square pixels

    // Palette: 0 is the transparent slot, 1..255 the background-to-foreground ramp.
    for (int i = 0; i < 256; ++i) {
        const double t = i == 0 ? 0.0 : double(i - 1) / 254.0;
        out.append(char(qRound(m_background.red() + t * (m_foreground.red() - m_background.red()))));
        out.append(char(qRound(m_background.green() + t * (m_foreground.green() - m_background.green()))));
        out.append(char(qRound(m_background.blue() + t * (m_foreground.blue() - m_background.blue()))));
    }

    // Loop forever.
    out.append("\x21\xFF\x0B", 3);
    out.append("NETSCAPE2.0");
    out.append("\x03\x01\x00\x00\x00", 5);

    for (int f = 0; f < m_frames.size(); ++f) {
        const QImage &frame = m_frames.at(f);
        if (frame.size() != QSize(width, height))
            return false;
        // Graphic control: restore to background after the frame, index 0 transparent.
        out.append("\x21\xF9\x04", 3);
        out.append(char((2 << 2) | 1));
        putWord(out, m_delays.at(f));
        out.append(char(0));
        out.append(char(0));
        // Image descriptor covering the whole canvas, no local palette.
        out.append(char(0x2C));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, width);
        putWord(out, height);
        out.append(char(0));
        out.append(encodeFrame(frame));
    }
    out.append(char(0x3B));

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(out) == out.size();
}
