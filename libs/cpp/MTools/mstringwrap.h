#pragma once

#include "mstring.h"

namespace MTools {

// A counted string with constructors from numbers and characters. Numbers are
// formatted as printf does ("%d", "%ld", "%u", "%f"), without terminator.
class MStringWrap : public MString
{
public:
    MStringWrap(const char *text);
    MStringWrap(const char *bytes, int length); // exactly length bytes; negative gives none
    MStringWrap(int size);                      // size zero bytes; negative gives none
    MStringWrap(short value);
    MStringWrap(long value);
    MStringWrap(unsigned int value);
    MStringWrap(float value);
    MStringWrap(double value);
    MStringWrap(long double value); // narrowed to float first
    MStringWrap(char value);        // one byte

    using MString::print;
    // Writes the content as a C string to the standard output and ends the line.
    virtual void print();
};

} // namespace MTools
