#include "cube.h"

namespace MGraphX {

Cube::Cube(int lower_, int upper_, qint64 count_, int level_)
    : lower(lower_)
    , upper(upper_)
    , count(count_)
    , level(level_)
{
}

Cube::~Cube() = default;

} // namespace MGraphX
