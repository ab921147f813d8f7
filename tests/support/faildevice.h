#pragma once

#include <QBuffer>

// A buffer whose writes fail once a given number of bytes has been written.
class FailDevice : public QBuffer
{
    Q_OBJECT
public:
    explicit FailDevice(qint64 failAfter, QObject *parent = nullptr)
        : QBuffer(parent), m_failAfter(failAfter) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (m_written + len > m_failAfter) {
            const qint64 room = m_failAfter - m_written;
            if (room <= 0)
                return -1;
            len = room;
        }
        const qint64 n = QBuffer::writeData(data, len);
        if (n > 0)
            m_written += n;
        return n;
    }

private:
    qint64 m_failAfter;
    qint64 m_written = 0;
};
