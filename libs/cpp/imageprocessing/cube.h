#pragma once

#include <QtGlobal>

namespace MGraphX {

// One box of the median cut: an inclusive range of colour keys in the
// reducer's key list, their total pixel count and the channel extremes
// (bin value times 8) over those keys.
class Cube
{
public:
    Cube() = default;
    Cube(int lower, int upper, qint64 count, int level);
    virtual ~Cube();

    int lower = 0;
    int upper = -1;
    qint64 count = 0;
    int level = 0;
    // Over an empty range the minima stay 255 and the maxima 0.
    int minRed = 255;
    int maxRed = 0;
    int minGreen = 255;
    int maxGreen = 0;
    int minBlue = 255;
    int maxBlue = 0;
};

} // namespace MGraphX
