#include "progressline.h"

#include <algorithm>

namespace MGraphX {

ProgressLine::ProgressLine(const int &value1, const int &value2, const int &value3,
                           const int &value4, const int &value5)
    : m_value1(value1), m_value2(value2), m_value3(value3), m_value4(value4), m_value5(value5)
{
}

ProgressLine::~ProgressLine() = default;

void ProgressLine::setProgress(const int &p)
{
    if (p < 0)
        return;
    m_percent = std::min(std::max(m_percent, p), 100);
}

void ProgressLine::addProgress(const int &d)
{
    if (d < 0)
        return;
    // Widened so that a huge d cannot overflow past the cap.
    const long long sum = static_cast<long long>(m_percent) + d;
    m_percent = static_cast<int>(std::min<long long>(std::max<long long>(sum, 0), 100));
}

void ProgressLine::hookA()
{
}

void ProgressLine::hookB()
{
}

} // namespace MGraphX
