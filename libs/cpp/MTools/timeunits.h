#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Conversions of 64-bit counts between video frames, audio samples and a time
// base (a number of units per second). Kind 2 is frames at fps, kind 3 samples
// at a sample rate; other kinds pass the value through. Results are computed
// in extended precision and truncated toward zero; a result outside the
// 64-bit range, or not a number, is the smallest 64-bit value (the marker of
// an unknown count). A zero divisor gives 0.
namespace MTools {

qint64 convertUnits(qint64 value, int kind, float fps, int rate, int timeBase);
qint64 convertUnitsBack(qint64 value, int kind, float fps, int rate, int timeBase);
qint64 samplesToFramesViaTimeBase(qint64 samples, float fps, int rate, int timeBase);
qint64 framesToSamplesViaTimeBase(qint64 frames, float fps, int rate, int timeBase);
qint64 samplesToFrames(qint64 samples, float fps, unsigned int rate);
qint64 framesToSamples(qint64 frames, float fps, unsigned int rate);

// "yyyy-MM-dd_hh:mm:ss:zzz" of the current local time, or of the given time.
QString timeStampString();
QString timeStampString(const QDateTime &time);

} // namespace MTools
