#include "mstring.h"

#include "filehelpers.h"

#include <QFile>

#include <climits>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

#include <sys/stat.h>

namespace {

int liveInstances = 0;

const char *const classIdentifier = "7d3e9a10-4b2c-4f81-9e6d-0c5a2b7f3e94";

// Compares as signed chars; with an equal common part the longer one is greater.
int compareBytes(const char *a, unsigned int aLength, const char *b, unsigned int bLength)
{
    const unsigned int common = aLength < bLength ? aLength : bLength;
    for (unsigned int i = 0; i < common; ++i) {
        const signed char ca = static_cast<signed char>(a[i]);
        const signed char cb = static_cast<signed char>(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (aLength == bLength)
        return 0;
    return aLength < bLength ? -1 : 1;
}

} // namespace

MString::MString(const char *text)
    : m_instance(liveInstances++)
{
    setBytes(text, text ? unsigned(std::strlen(text)) : 0u);
}

MString::MString(const char *bytes, unsigned int length)
    : m_instance(liveInstances++)
{
    setBytes(bytes, bytes ? length : 0u);
}

MString::MString(const MString &other)
    : m_instance(liveInstances++)
{
    setBytes(other.m_data, other.m_length);
}

MString &MString::operator=(const MString &other)
{
    assign(other);
    return *this;
}

MString::~MString()
{
    delete[] m_data;
    --liveInstances;
}

void MString::setBytes(const char *bytes, unsigned int length)
{
    // Allocate before freeing so a failed allocation keeps the old content.
    char *buffer = new char[length ? length : 1];
    if (length)
        std::memcpy(buffer, bytes, length);
    delete[] m_data;
    m_data = buffer;
    m_length = length;
}

void MString::resize(unsigned int length)
{
    char *buffer = new char[length ? length : 1]();
    delete[] m_data;
    m_data = buffer;
    m_length = length;
}

int *MString::instanceCounter() const
{
    return &liveInstances;
}

MString &MString::operator<<(const MString &other)
{
    append(other);
    return *this;
}

MString MString::operator+(const MString &other) const
{
    MString result(*this);
    result.append(other);
    return result;
}

char *MString::ptrAt(int offset)
{
    if (offset < 0 || unsigned(offset) > m_length)
        return nullptr;
    return m_data + offset;
}

char *MString::at(int i)
{
    if (i < 0 || unsigned(i) >= m_length)
        return nullptr;
    return m_data + i;
}

bool MString::equals(const MString &other) const
{
    return *this == other;
}

bool MString::operator!=(const MString &other) const
{
    return !(*this == other);
}

bool MString::operator>(const MString &other) const
{
    return compareBytes(m_data, m_length, other.m_data, other.m_length) > 0;
}

bool MString::operator<(const MString &other) const
{
    return compareBytes(m_data, m_length, other.m_data, other.m_length) < 0;
}

bool MString::operator>=(const MString &other) const
{
    return !(*this < other);
}

bool MString::operator<=(const MString &other) const
{
    return !(*this > other);
}

void MString::printReadable(std::ostream &out) const
{
    for (unsigned int i = 0; i < m_length; ++i)
        out << (m_data[i] == '\0' ? ' ' : m_data[i]);
}

bool MString::isEmpty() const
{
    return m_length == 0;
}

MString MString::mid(int from, int to) const
{
    const long long size = m_length;
    const long long begin = from < 0 ? 0 : (from > size ? size : from);
    const long long end = to < 0 ? 0 : (to > size ? size : to);
    if (end <= begin)
        return MString(m_data, 0);
    return MString(m_data + begin, unsigned(end - begin));
}

void MString::assign(const char *text)
{
    // The text may point into our own buffer; setBytes copies before freeing.
    setBytes(text, text ? unsigned(std::strlen(text)) : 0u);
}

void MString::assign(const MString &other)
{
    if (&other == this)
        return;
    setBytes(other.m_data, other.m_length);
}

void MString::append(const MString &other)
{
    const unsigned long long total = (unsigned long long)m_length + other.m_length;
    if (total > UINT_MAX)
        throw std::length_error("MString too long");
    char *buffer = new char[total ? total : 1];
    if (m_length)
        std::memcpy(buffer, m_data, m_length);
    if (other.m_length) // other may be this object: its buffer is still intact
        std::memcpy(buffer + m_length, other.m_data, other.m_length);
    delete[] m_data;
    m_data = buffer;
    m_length = unsigned(total);
}

MString &MString::operator+=(const MString &other)
{
    append(other);
    return *this;
}

void MString::reverse()
{
    for (unsigned int i = 0, j = m_length; i + 1 < j; ++i, --j)
        std::swap(m_data[i], m_data[j - 1]);
}

bool MString::operator==(const MString &other) const
{
    return m_length == other.m_length
           && (m_length == 0 || std::memcmp(m_data, other.m_data, m_length) == 0);
}

void MString::terminate()
{
    char *buffer = new char[size_t(m_length) + 1];
    if (m_length)
        std::memcpy(buffer, m_data, m_length);
    buffer[m_length] = '\0';
    delete[] m_data;
    m_data = buffer;
}

void MString::toUpperAscii()
{
    for (unsigned int i = 0; i < m_length; ++i) {
        if (m_data[i] >= 'a' && m_data[i] <= 'z')
            m_data[i] = char(m_data[i] - 'a' + 'A');
    }
}

void MString::toLowerAscii()
{
    for (unsigned int i = 0; i < m_length; ++i) {
        if (m_data[i] >= 'A' && m_data[i] <= 'Z')
            m_data[i] = char(m_data[i] - 'A' + 'a');
    }
}

char *MString::data()
{
    return m_data;
}

const char *MString::constData() const
{
    return m_data;
}

void MString::saveToFile(const char *path) const
{
    // A FIFO, device or folder under the name is not written: opening a FIFO
    // waits for a reader, and what is written into it is no saved file.
    struct stat status;
    if (path && ::stat(path, &status) == 0 && !S_ISREG(status.st_mode))
        throw "can not create the file";
    FILE *file = path ? std::fopen(path, "wb") : nullptr;
    if (!file)
        throw "can not create the file";
    const size_t written = m_length ? std::fwrite(m_data, 1, m_length, file) : 0;
    const bool closed = std::fclose(file) == 0;
    if (written != m_length || !closed)
        throw "can not write the file";
}

void MString::saveToFile(MString &path) const
{
    saveToFile(path.c_str());
}

void MString::print(std::ostream &out)
{
    out << c_str();
}

void MString::loadFromFile(const char *path)
{
    QFile file;
    if (!path || !MTools::openRegularPath(QByteArray(path), &file))
        throw "can not open the file";
    const qint64 size = file.size();
    file.close();
    // A file too large for the counted length is not read.
    if (size < 0 || quint64(size) > UINT_MAX)
        throw "can not open the file";
    readFromFile(path, 0, unsigned(size));
}

void MString::loadFromFile(MString &path)
{
    loadFromFile(path.c_str());
}

void MString::readFromFile(const char *path, unsigned int offset, unsigned int size)
{
    // Only a regular file, opened without blocking: a FIFO or device under
    // the name would otherwise hold the caller for good.
    QFile file;
    if (!path || !MTools::openRegularPath(QByteArray(path), &file) || !file.seek(qint64(offset)))
        throw "can not open the file";
    char *buffer = new char[size ? size : 1]();
    if (size)
        file.read(buffer, qint64(size)); // a short file leaves zeros behind
    delete[] m_data;
    m_data = buffer;
    m_length = size;
}

const char *MString::c_str()
{
    terminate();
    return m_data;
}

int MString::indexOf(const MString &other, int from) const
{
    if (from < 0)
        from = 0;
    if (unsigned(from) >= m_length)
        return -1;
    if (other.m_length == 0)
        return from;
    if (other.m_length > m_length)
        return -1;
    const unsigned int last = m_length - other.m_length;
    for (unsigned int i = unsigned(from); i <= last; ++i) {
        if (std::memcmp(m_data + i, other.m_data, other.m_length) == 0)
            return int(i);
    }
    return -1;
}

unsigned int MString::length() const
{
    return m_length;
}

MString MString::classId() const
{
    return MString(classIdentifier);
}

MString MString::objectId() const
{
    MString id = classId();
    id.append(MString(std::to_string(m_instance).c_str()));
    return id;
}

MString MString::className() const
{
    return MString("MString");
}

int MString::instanceCount() const
{
    return *instanceCounter();
}
