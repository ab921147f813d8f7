#pragma once

namespace MGraphX {

// A completion percentage that only moves forward, kept within 0..100, plus
// five integers fixed at construction that the class itself never reads.
class ProgressLine
{
public:
    ProgressLine(const int &value1, const int &value2, const int &value3, const int &value4,
                 const int &value5);
    virtual ~ProgressLine();

    // Raises the percentage to p (capped at 100); a lower or negative p changes nothing.
    void setProgress(const int &p);
    // Adds d (capped at 100); a negative d changes nothing.
    void addProgress(const int &d);

    int percent() const { return m_percent; }
    int value1() const { return m_value1; }
    int value2() const { return m_value2; }
    int value3() const { return m_value3; }
    int value4() const { return m_value4; }
    int value5() const { return m_value5; }

    // Extension points for subclasses; they do nothing here.
    virtual void hookA();
    virtual void hookB();

private:
    int m_percent = 0;
    int m_value1;
    int m_value2;
    int m_value3;
    int m_value4;
    int m_value5;
};

} // namespace MGraphX
