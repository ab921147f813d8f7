#include "timeunits.h"

#include <cmath>
#include <limits>

namespace {

constexpr qint64 unknownValue = std::numeric_limits<qint64>::min();

qint64 toCount(long double value)
{
    if (!(value > -9223372036854775808.0L && value < 9223372036854775808.0L))
        return unknownValue;
    return qint64(value); // truncates toward zero
}

} // namespace

namespace MTools {

qint64 convertUnits(qint64 value, int kind, float fps, int rate, int timeBase)
{
    if (kind == 2) {
        if (fps == 0.0f)
            return 0;
        return toCount((long double)value * timeBase / fps);
    }
    if (kind == 3) {
        if (rate == 0)
            return 0;
        if (rate == timeBase)
            return value;
        return toCount((long double)value * timeBase / rate);
    }
    return value;
}

qint64 convertUnitsBack(qint64 value, int kind, float fps, int rate, int timeBase)
{
    if (kind == 2) {
        if (timeBase == 0)
            return 0;
        return toCount((long double)value * fps / timeBase);
    }
    if (kind == 3) {
        if (timeBase == 0)
            return 0;
        if (rate == timeBase)
            return value;
        return toCount((long double)value * rate / timeBase);
    }
    return value;
}

qint64 samplesToFramesViaTimeBase(qint64 samples, float fps, int rate, int timeBase)
{
    const qint64 units = convertUnits(samples, 3, fps, rate, timeBase);
    if (units == unknownValue)
        return unknownValue;
    return convertUnitsBack(units, 2, fps, rate, timeBase);
}

qint64 framesToSamplesViaTimeBase(qint64 frames, float fps, int rate, int timeBase)
{
    const qint64 units = convertUnits(frames, 2, fps, rate, timeBase);
    if (units == unknownValue)
        return unknownValue;
    return convertUnitsBack(units, 3, fps, rate, timeBase);
}

qint64 samplesToFrames(qint64 samples, float fps, unsigned int rate)
{
    if (rate == 0 || fps == 0.0f)
        return 0;
    return toCount((long double)samples * fps / rate);
}

qint64 framesToSamples(qint64 frames, float fps, unsigned int rate)
{
    if (fps == 0.0f)
        return 0;
    return toCount((long double)frames / fps * rate);
}

QString timeStampString()
{
    return timeStampString(QDateTime::currentDateTime());
}

QString timeStampString(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return QString::asprintf("%04d-%02d-%02d_%02d:%02d:%02d:%03d", date.year(), date.month(),
                             date.day(), clock.hour(), clock.minute(), clock.second(), clock.msec());
}

} // namespace MTools
