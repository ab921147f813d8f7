#pragma once

#include <ostream>

// A counted byte string: a heap buffer with an explicit length and no
// terminator unless one is asked for (terminate(), c_str()). Every operation
// is virtual so a subclass can replace any of them; the built-in operations
// call one another through the virtual table.
//
// Each object takes an instance number from a process-wide counter of live
// objects (incremented by every constructor, decremented by the destructor),
// so instance numbers are not unique.
//
// The file operations are the one place in the library that throws: when a
// file cannot be opened or written they throw a plain C string (const char *)
// and leave the content unchanged.
class MString
{
public:
    MString(const char *text); // copies the bytes before the terminator; null gives an empty string
    MString(const MString &other);
    MString &operator=(const MString &other); // deep copy through assign()

    virtual int *instanceCounter() const;
    virtual ~MString();

    virtual MString &operator<<(const MString &other); // appends in place
    virtual MString operator+(const MString &other) const;

    // Pointers into the buffer; a position beyond the content gives nullptr
    // (ptrAt accepts the end position, at() only positions of bytes).
    virtual char *ptrAt(int offset);
    virtual char *at(int i);

    virtual bool equals(const MString &other) const;
    virtual bool operator!=(const MString &other) const;
    // Lexicographic order of the bytes as signed chars; with an equal common
    // part the longer string is greater.
    virtual bool operator>(const MString &other) const;
    virtual bool operator<(const MString &other) const;
    virtual bool operator>=(const MString &other) const;
    virtual bool operator<=(const MString &other) const;

    // Writes the bytes, each zero byte shown as a blank.
    virtual void printReadable(std::ostream &out) const;
    virtual bool isEmpty() const;
    // Bytes from index from up to, not including, index to; both are clamped
    // to the content, and to <= from gives an empty string.
    virtual MString mid(int from, int to) const;
    virtual void assign(const char *text);
    virtual void assign(const MString &other);
    virtual void append(const MString &other);
    virtual MString &operator+=(const MString &other);
    virtual void reverse();
    virtual bool operator==(const MString &other) const;
    // Puts a zero byte after the content (the length stays the same).
    virtual void terminate();
    virtual void toUpperAscii();
    virtual void toLowerAscii();
    virtual char *data();
    virtual const char *constData() const;

    // Throws "can not create the file" when the file cannot be opened for
    // writing or the name is a FIFO, device or folder (not opened), "can not
    // write the file" when not every byte could be written.
    virtual void saveToFile(const char *path) const;
    virtual void saveToFile(MString &path) const; // terminates the path first

    // Writes the content as a C string (up to its first zero byte).
    virtual void print(std::ostream &out);

    // Replace the content with the whole file, or with size bytes from offset
    // (bytes the file does not have are zero). Only a regular file is read: a
    // FIFO, device or folder is not opened. Throw "can not open the file" when
    // the file is none or cannot be opened or positioned; the content is then
    // kept.
    virtual void loadFromFile(const char *path);
    virtual void loadFromFile(MString &path);
    virtual void readFromFile(const char *path, unsigned int offset, unsigned int size);

    virtual const char *c_str(); // terminate(), then the buffer
    // First index at or after from where other occurs, -1 when it does not or
    // when from is not inside the string. An empty pattern is found at from.
    virtual int indexOf(const MString &other, int from) const;
    virtual unsigned int length() const;

    virtual MString classId() const;
    virtual MString objectId() const; // class identifier plus the instance number
    virtual MString className() const;
    virtual int instanceCount() const;

    int instanceNumber() const { return m_instance; }

protected:
    // Copies exactly length bytes (bytes may be null when length is 0).
    MString(const char *bytes, unsigned int length);
    // Replaces the buffer by one of the given length, zero-filled.
    void resize(unsigned int length);

private:
    void setBytes(const char *bytes, unsigned int length);

    int m_instance;
    char *m_data = nullptr;
    unsigned int m_length = 0;
};
