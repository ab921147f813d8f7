#include "mstringwrap.h"

#include <cstdio>
#include <iostream>
#include <limits>
#include <vector>

namespace {

// printf into a buffer of the exact size: "%f" of a large float has dozens of digits.
template<typename T>
std::vector<char> format(const char *pattern, T value)
{
    const int size = std::snprintf(nullptr, 0, pattern, value);
    std::vector<char> text(size > 0 ? size_t(size) + 1 : 1u, '\0');
    if (size > 0)
        std::snprintf(text.data(), text.size(), pattern, value);
    return text;
}

// Out-of-range values become infinities instead of an undefined conversion.
float narrowToFloat(long double value)
{
    if (value > std::numeric_limits<float>::max())
        return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max())
        return -std::numeric_limits<float>::infinity();
    return float(value);
}

} // namespace

namespace MTools {

MStringWrap::MStringWrap(const char *text)
    : MString(text)
{
}

MStringWrap::MStringWrap(const char *bytes, int length)
    : MString(bytes, length > 0 ? unsigned(length) : 0u)
{
}

MStringWrap::MStringWrap(int size)
    : MString(nullptr, 0)
{
    resize(size > 0 ? unsigned(size) : 0u);
}

MStringWrap::MStringWrap(short value)
    : MString(format("%d", int(value)).data())
{
}

MStringWrap::MStringWrap(long value)
    : MString(format("%ld", value).data())
{
}

MStringWrap::MStringWrap(unsigned int value)
    : MString(format("%u", value).data())
{
}

MStringWrap::MStringWrap(float value)
    : MString(format("%f", double(value)).data())
{
}

MStringWrap::MStringWrap(double value)
    : MString(format("%f", value).data())
{
}

MStringWrap::MStringWrap(long double value)
    : MString(format("%f", double(narrowToFloat(value))).data())
{
}

MStringWrap::MStringWrap(char value)
    : MString(&value, 1)
{
}

void MStringWrap::print()
{
    std::cout << c_str() << std::endl;
}

} // namespace MTools
