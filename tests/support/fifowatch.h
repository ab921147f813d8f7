#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <thread>

// Watches a FIFO while the code under test runs: if anyone opens it for
// reading, the watcher writes a little and closes, so the reader does not
// hang the test, and remembers that it happened.
class FifoWatch
{
public:
    explicit FifoWatch(const QString &path);
    ~FifoWatch();
    FifoWatch(const FifoWatch &) = delete;
    FifoWatch &operator=(const FifoWatch &) = delete;

    void stop();
    bool readerSeen() const { return m_readerSeen; }

private:
    QByteArray m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_readerSeen{false};
    std::thread m_thread;
};
