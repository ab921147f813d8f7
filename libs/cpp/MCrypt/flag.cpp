#include "flag.h"

namespace MCrypt {

bool Flag::toBool(bool *ok) const
{
    if (m_value == 1)
        return true;
    if (m_value == 1000 && ok)
        *ok = false;
    return false;
}

} // namespace MCrypt
