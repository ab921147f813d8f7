#include "fifowatch.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

FifoWatch::FifoWatch(const QString &path)
    : m_path(QFile::encodeName(path))
{
    m_thread = std::thread([this] {
        while (!m_stop) {
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                m_readerSeen = true;
                const char junk[] = "junk";
                (void)::write(fd, junk, sizeof junk);
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
}

FifoWatch::~FifoWatch()
{
    stop();
}

void FifoWatch::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}
