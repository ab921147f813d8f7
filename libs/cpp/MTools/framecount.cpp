#include "framecount.h"

#include <QDebug>

#include <cmath>

namespace {

// Frame layout of one nominal rate. Without drop-frame only nominal and
// framesPerDay are used.
struct Layout
{
    qint64 nominal = 0;
    bool dropFrame = false;
    qint64 firstMinute = 0;
    qint64 laterMinute = 0;
    qint64 tenMinutes = 0;
    qint64 framesPerDay = 0;
};

Layout dropLayout(qint64 nominal)
{
    Layout layout;
    layout.nominal = nominal;
    layout.dropFrame = true;
    layout.firstMinute = 60 * nominal;
    layout.laterMinute = 60 * nominal - 2;
    layout.tenMinutes = layout.firstMinute + 9 * layout.laterMinute; // 17,982 or 14,382
    layout.framesPerDay = 144 * layout.tenMinutes;
    return layout;
}

bool isDropRate(float fps)
{
    return fps == 29.97f || fps == 23.98f;
}

// The integral part of |fps|; 0 for rates that do not fit an int (and NaN).
qint64 truncatedRate(float fps)
{
    const double rate = std::fabs(double(fps));
    if (!(rate < 2147483648.0))
        return 0;
    return qint64(rate);
}

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// 30-fps frame of 24-fps frame f (0 to 23) at pulldown phase k (1 to 4),
// not wrapped: 30 stands for frame 0 of the next second.
int filmToVideoFrame(int f, int phase)
{
    return (5 * f + phase + 1) / 4;
}

// Twice the 24-fps frame plus the field for 30-fps frame r (0 to 29) at phase k.
int videoToFilmFields(int r, int phase)
{
    static const int base[4][5] = {
        {0, 2, 3, 4, 6},
        {0, 1, 2, 4, 6},
        {-1, 0, 2, 4, 6},
        {-2, 0, 2, 4, 5},
    };
    if (r == 0 && phase == 4)
        return -1;
    return base[phase - 1][r % 5] + 8 * (r / 5);
}

void reportError(int line)
{
    qDebug().noquote() << QStringLiteral("unexpected ERROR in ..\\..\\..\\..\\libs\\cpp\\MTools\\FrameCount:%1").arg(line);
}

// Leading decimal digits of a piece of text in the local 8-bit encoding; none gives 0.
int leadingNumber(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    int value = 0;
    for (const char c : bytes) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

FrameCount::FrameCount() = default;

FrameCount::FrameCount(qint64 count, float fps)
    : m_frames(count)
    , m_fps(fps)
{
}

FrameCount::FrameCount(int h, int m, int s, int f, float fps, bool pulldown, int phase, int *field)
    : m_fps(fps)
{
    m_frames = frameCountFromTimecode(h, m, s, f, pulldown, phase, field);
}

FrameCount::FrameCount(float fps, unsigned int bcd, bool pulldown, int phase, int *field)
{
    setSmpteTimecode(bcd, fps, pulldown, phase, field);
}

FrameCount::FrameCount(const FrameCount &other)
    : m_frames(other.m_valid ? other.frameCount() : unknown)
    , m_valid(other.m_valid)
    , m_fps(other.m_fps)
    , m_smpte(other.m_hasSmpte ? other.m_smpte : 0)
    , m_hasSmpte(other.m_hasSmpte)
{
}

FrameCount &FrameCount::operator=(const FrameCount &other)
{
    // Same as copy construction, so that a copy compares equal to its source
    // and never keeps a BCD timecode that belongs to an older count.
    if (&other != this) {
        m_frames = other.m_valid ? other.m_frames : unknown;
        m_valid = other.m_valid;
        m_fps = other.m_fps;
        m_smpte = other.m_hasSmpte ? other.m_smpte : 0;
        m_hasSmpte = other.m_hasSmpte;
    }
    return *this;
}

FrameCount::~FrameCount() = default;

bool FrameCount::operator==(const FrameCount &other) const
{
    return m_frames == other.m_frames && m_fps == other.m_fps && m_valid == other.m_valid;
}

bool FrameCount::operator>(const FrameCount &other) const
{
    if (!m_valid || !other.m_valid) {
        reportError(258);
        return false;
    }
    return m_frames > other.m_frames;
}

bool FrameCount::operator<(const FrameCount &other) const
{
    if (!m_valid || !other.m_valid) {
        reportError(276);
        return false;
    }
    return m_frames < other.m_frames;
}

qint64 FrameCount::frameCount() const
{
    if (!m_valid) {
        reportError(286);
        return -1;
    }
    return m_frames;
}

void FrameCount::setFrameCount(qint64 count)
{
    m_frames = count;
    m_valid = true;
    m_hasSmpte = false; // the stored BCD belonged to the old count
}

void FrameCount::clear()
{
    m_frames = unknown;
    m_fps = 30.0f;
    m_valid = false;
    m_smpte = 0;
    m_hasSmpte = false;
}

qint64 FrameCount::frameCountAtRate(float newFps)
{
    if (!m_valid) {
        reportError(633);
        return unknown;
    }
    m_fps = std::fabs(m_fps);
    if (m_fps == 0.0f || m_frames == unknown)
        return unknown;
    const long double value =
        std::fabs((long double)newFps) / (long double)m_fps * (long double)m_frames + 0.5L;
    if (!(value > -9223372036854775808.0L && value < 9223372036854775808.0L))
        return unknown;
    return qint64(value);
}

void FrameCount::setFrameRate(float newFps)
{
    m_frames = frameCountAtRate(newFps);
    m_valid = true;
    m_fps = newFps;
    m_hasSmpte = false;
}

void FrameCount::debugPrint() const
{
    if (m_valid)
        qDebug().nospace() << "frame = " << m_frames;
}

void FrameCount::timecodeFromFrameCount(int &h, int &m, int &s, int &f, bool inclusiveDay,
                                        int frameOffset, bool pulldown, int phase)
{
    if (!m_valid || m_frames == unknown) {
        reportError(349);
        h = m = s = f = 0;
        return;
    }
    if (m_fps == 0.0f) {
        h = m = s = f = 0;
        return;
    }

    // With pulldown the count is of 24-fps film frames whatever the video rate,
    // so a second holds 24 of them before they are spread over 30 video frames.
    Layout layout;
    if (isDropRate(m_fps))
        layout = dropLayout(m_fps == 29.97f && !pulldown ? 30 : 24);
    else {
        layout.nominal = pulldown ? 24 : truncatedRate(m_fps);
        layout.framesPerDay = layout.nominal * 86400;
        if (layout.framesPerDay == 0) {
            f = int(qBound<qint64>(std::numeric_limits<int>::min(), m_frames,
                                   std::numeric_limits<int>::max()));
            return;
        }
    }

    // Bring the count into one day; with inclusiveDay a positive whole day stays whole.
    const qint64 day = layout.framesPerDay;
    qint64 n = m_frames;
    if (n < 0)
        n = (n % day + day) % day;
    else if (inclusiveDay)
        n = n > day ? (n - 1) % day + 1 : n;
    else
        n %= day;

    if (layout.dropFrame) {
        const qint64 blocks = n / layout.tenMinutes;
        const qint64 rest = n % layout.tenMinutes;
        const qint64 laterMinutes =
            rest < layout.firstMinute ? 0 : (rest - layout.firstMinute) / layout.laterMinute;
        const qint64 minutes = 10 * blocks + (rest >= layout.firstMinute ? 1 : 0) + laterMinutes;
        n += 2 * minutes - 2 * (minutes / 10);
    }

    qint64 secs = n / layout.nominal;
    f = int(n % layout.nominal);
    qint64 mins = secs / 60;
    s = int(secs % 60);
    h = int(mins / 60);
    m = int(mins % 60);

    if (!pulldown)
        return;
    if (phase < 1 || phase > 4) {
        qDebug().nospace().noquote() << "FrameCount::timecodeFromFrameCount wrong pulldown phase value: "
                                     << phase;
        return;
    }

    // Spread the film frame over the video frames; a result outside 0 to 29
    // (the last film frame at phase 4, or a frame offset) moves into the
    // neighbouring second.
    const qint64 video = qint64(filmToVideoFrame(f, phase)) + frameOffset;
    const qint64 carry = floorDiv(video, 30);
    f = int(video - 30 * carry);
    if (carry != 0) {
        qint64 total = qint64(h) * 3600 + qint64(m) * 60 + s + carry;
        total = (total % 86400 + 86400) % 86400;
        h = int(total / 3600);
        m = int(total / 60 % 60);
        s = int(total % 60);
    }
}

qint64 FrameCount::frameCountFromTimecode(int h, int m, int s, int f, bool pulldown, int phase,
                                          int *field) const
{
    if (m_fps == 0.0f)
        return unknown;
    const bool dropFrame = isDropRate(m_fps);
    const qint64 nominal = m_fps == 29.97f ? 30 : m_fps == 23.98f ? 24 : truncatedRate(m_fps);

    qint64 perSecond = nominal;
    qint64 frame = f;
    bool fieldBefore = false; // the frame is given as frame 0 less one field
    if (pulldown) {
        if (phase < 1 || phase > 4) {
            qDebug().nospace().noquote()
                << "FrameCount::frameCountFromTimecode wrong pulldown phase value: " << phase;
            return unknown;
        }
        if (f < 0 || f > 29) {
            qDebug().nospace().noquote()
                << "FrameCount::frameCountFromTimecode wrong pulldown frame value: " << f;
            return unknown;
        }
        // Both divisions truncate: the -1 entry (video frame 0 showing the
        // second field of the previous second's last film frame) gives film
        // frame 0 of this second with field -1, so 2 * frame + field still
        // names the field.
        const int fields = videoToFilmFields(f, phase);
        if (field)
            *field = fields % 2;
        frame = fields / 2;
        fieldBefore = fields < 0;
        perSecond = 24;
    }

    qint64 count = 0;
    const qint64 terms[4][2] = {{frame, 1}, {s, perSecond}, {m, 60 * perSecond}, {h, 3600 * perSecond}};
    for (const auto &term : terms) {
        qint64 product = 0;
        if (__builtin_mul_overflow(term[0], term[1], &product)
            || __builtin_add_overflow(count, product, &count))
            return unknown;
    }
    if (dropFrame) {
        const qint64 minutes = qint64(m) + 60 * qint64(h);
        qint64 dropped = 2 * (minutes - minutes / 10);
        // Frame 0 of a minute that skips its first two numbers does not exist;
        // a pulldown field -1 there belongs to the minute's first frame.
        if (fieldBefore && s == 0 && minutes % 10 != 0)
            dropped -= 2;
        if (__builtin_sub_overflow(count, dropped, &count))
            return unknown;
    }
    return count;
}

void FrameCount::setSmpteTimecode(unsigned int bcd, float fps, bool pulldown, int phase, int *field)
{
    m_valid = true;
    if (fps != 23.98f && fps != 24.0f && fps != 25.0f && fps != 29.97f && fps != 30.0f)
        fps = 30.0f;
    const bool dropFlag = (bcd >> 6) & 1u;
    if (!dropFlag && fps == 23.98f)
        fps = 24.0f;
    if (!dropFlag && fps == 29.97f)
        fps = 30.0f;
    m_fps = fps;
    m_hasSmpte = true;
    m_smpte = bcd;

    const int h = int((bcd >> 28) & 0x3) * 10 + int((bcd >> 24) & 0xF);
    const int m = int((bcd >> 20) & 0x7) * 10 + int((bcd >> 16) & 0xF);
    const int s = int((bcd >> 12) & 0x7) * 10 + int((bcd >> 8) & 0xF);
    const int f = int((bcd >> 4) & 0x3) * 10 + int(bcd & 0xF);
    m_frames = frameCountFromTimecode(h, m, s, f, pulldown, phase, field);
}

qint64 FrameCount::frameCountFromString(const QString &text, bool pulldown, int phase) const
{
    if (text.size() != 11)
        return unknown;
    const int h = leadingNumber(text.mid(0, 2));
    const int m = leadingNumber(text.mid(3, 2));
    const int s = leadingNumber(text.mid(6, 2));
    const int f = leadingNumber(text.mid(9, 2));
    return frameCountFromTimecode(h, m, s, f, pulldown, phase, nullptr);
}

QString FrameCount::formatTimecode(int h, int m, int s, int f, bool dropFrame, float fps,
                                   bool markRate)
{
    const char separator = dropFrame ? ';' : ':';
    char last = separator;
    if (markRate && !dropFrame)
        last = (fps == 25.0f || fps == 30.0f) ? ':' : '+';
    return QString::asprintf("%02d%c%02d%c%02d%c%02d", h, separator, m, separator, s, last, f);
}

QString FrameCount::formatTimecode(int h, int m, int s, int f, bool dropFrame) const
{
    return formatTimecode(h, m, s, f, dropFrame, m_fps, false);
}

QString FrameCount::timecodeString(bool inclusiveDay, bool pulldown, int phase, bool markRate)
{
    if (m_fps == 0.0f)
        return QString();
    int h = 0, m = 0, s = 0, f = 0;
    timecodeFromFrameCount(h, m, s, f, inclusiveDay, 0, pulldown, phase);
    return formatTimecode(h, m, s, f, isDropRate(m_fps), m_fps, markRate);
}

unsigned int FrameCount::smpteTimecode()
{
    if (m_hasSmpte)
        return m_smpte;
    if (m_valid && m_frames != unknown) {
        updateSmpteTimecode();
        return m_smpte;
    }
    qDebug().noquote() << "FrameCount::smpteTimecode() wille framecount is unkonwn";
    return 0;
}

void FrameCount::updateSmpteTimecode()
{
    if (!m_valid || m_frames == unknown)
        return;
    int h = 0, m = 0, s = 0, f = 0;
    timecodeFromFrameCount(h, m, s, f, false, 0, false, 0);
    // Tens digits are limited to their SMPTE widths so they never reach the
    // flag bits; bit 6 marks a drop-frame count so that reading it back keeps the rate.
    quint32 bcd = 0;
    bcd |= quint32((h / 10) % 10 & 0x3) << 28 | quint32(h % 10) << 24;
    bcd |= quint32((m / 10) % 10 & 0x7) << 20 | quint32(m % 10) << 16;
    bcd |= quint32((s / 10) % 10 & 0x7) << 12 | quint32(s % 10) << 8;
    bcd |= quint32((f / 10) % 10 & 0x3) << 4 | quint32(f % 10);
    if (isDropRate(m_fps))
        bcd |= 1u << 6;
    m_smpte = bcd;
    m_hasSmpte = true;
}
