#pragma once

namespace MCrypt {

// A small int-valued flag. true and false are stored as 1 and 0; the value
// 1000 marks an explicit "no" that toBool() reports through its out-flag.
class Flag
{
public:
    Flag(int value = 0) : m_value(value) {}
    Flag(bool value) : m_value(value ? 1 : 0) {}
    Flag(const Flag &other) = default;

    Flag &operator=(const Flag &other) = default;
    Flag &operator=(bool value)
    {
        m_value = value ? 1 : 0;
        return *this;
    }

    bool operator==(const Flag &other) const { return m_value == other.m_value; }
    bool operator!=(const Flag &other) const { return m_value != other.m_value; }

    // True for the value 1. The value 1000 gives false and sets *ok to false;
    // any other value gives false and leaves *ok alone. ok may be null.
    bool toBool(bool *ok = nullptr) const;

    int value() const { return m_value; }

private:
    int m_value;
};

} // namespace MCrypt
