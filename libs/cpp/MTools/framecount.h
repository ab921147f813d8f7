#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

// A position in video as a frame count at a frame rate, convertible to and
// from SMPTE timecode (hours, minutes, seconds, frames), "hh:mm:ss:ff" text and
// packed BCD. 29.97 and 23.98 frames per second count drop-frame (two frame
// numbers skipped each minute except every tenth); with pulldown the count is
// of 24-fps film frames shown as 30-fps timecode with a 2:3 cadence whose
// phase (1 to 4) says where the count starts in the cadence.
//
// Misuse is reported on Qt's debug output and gives 0, -1, false or
// FrameCount::unknown; nothing throws.
class FrameCount
{
public:
    // Marker of a count that is not known.
    static constexpr qint64 unknown = std::numeric_limits<qint64>::min();

    FrameCount(); // unknown count, valid, 30 fps
    FrameCount(qint64 count, float fps);
    FrameCount(int h, int m, int s, int f, float fps, bool pulldown = false, int phase = 0,
               int *field = nullptr);
    FrameCount(float fps, unsigned int bcd, bool pulldown, int phase, int *field);
    FrameCount(const FrameCount &other);
    FrameCount &operator=(const FrameCount &other);
    ~FrameCount();

    bool operator==(const FrameCount &other) const;
    bool operator>(const FrameCount &other) const; // false unless both are valid
    bool operator<(const FrameCount &other) const;

    qint64 frameCount() const; // -1 when not valid
    void setFrameCount(qint64 count);
    void clear(); // unknown count, 30 fps, not valid
    bool isValid() const { return m_valid; }
    float frameRate() const { return m_fps; }
    bool hasSmpteTimecode() const { return m_hasSmpte; }

    // The count at another rate, rounded; unknown when not valid or the rate is 0.
    // Makes the own rate non-negative.
    qint64 frameCountAtRate(float newFps);
    void setFrameRate(float newFps);
    void debugPrint() const;

    // The timecode of the count. Counts outside one day are brought into it;
    // with inclusiveDay a whole day gives 24:00:00:00. frameOffset moves the
    // 30-fps frame number of a pulldown timecode.
    void timecodeFromFrameCount(int &h, int &m, int &s, int &f, bool inclusiveDay = false,
                                int frameOffset = 0, bool pulldown = false, int phase = 0);
    // The count of a timecode at the object's rate; field (may be null)
    // receives the pulldown field: 0 or 1, or -1 when the video frame shows
    // the second field of the film frame before the one counted (so 2 * count
    // + field names the field). Unknown for rate 0, for a pulldown phase
    // outside 1 to 4 or frame outside 0 to 29, and when the count overflows.
    qint64 frameCountFromTimecode(int h, int m, int s, int f, bool pulldown = false, int phase = 0,
                                  int *field = nullptr) const;
    void setSmpteTimecode(unsigned int bcd, float fps, bool pulldown = false, int phase = 0,
                          int *field = nullptr);
    // "hh:mm:ss:ff" (11 characters, separators not examined); unknown otherwise.
    qint64 frameCountFromString(const QString &text, bool pulldown = false, int phase = 0) const;

    static QString formatTimecode(int h, int m, int s, int f, bool dropFrame, float fps,
                                  bool markRate);
    QString formatTimecode(int h, int m, int s, int f, bool dropFrame) const;
    // Empty when the rate is 0.
    QString timecodeString(bool inclusiveDay = false, bool pulldown = false, int phase = 0,
                           bool markRate = false);

    // Packed BCD (one decimal digit per 4 bits, hours first; bit 6 flags
    // drop-frame). 0 with a diagnostic when the count is not known.
    unsigned int smpteTimecode();
    void updateSmpteTimecode();

private:
    qint64 m_frames = unknown;
    bool m_valid = true;
    float m_fps = 30.0f;
    quint32 m_smpte = 0;
    bool m_hasSmpte = false;
};
