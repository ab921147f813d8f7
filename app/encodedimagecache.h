#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>

// The encoded form of the processed picture, shared by all previews: each
// (pixmap, format string) pair is encoded once and kept, together with the
// picture decoded back from the bytes, so that six previews and repeated
// requests cost one encoding. The two most recent pairs are kept.
//
// encode() and decode() are pure functions on values (QImage in, bytes and
// QImage out); the cache itself is meant for the GUI thread.
class EncodedImageCache
{
public:
    EncodedImageCache() = default;

    // The encoding rule. The format string is split at ";" (empty parts kept):
    // the first part is the format name, the last the compression part.
    // "PNG" encodes as PNG at the default quality; "JPG" as JPG at quality 20
    // for compression "0", 70 for "1" and 90 for anything else. Any other name
    // (case matters) logs "Unknown format" and gives no bytes; so does a null image.
    static QByteArray encode(const QImage &image, const QString &formatSpec);

    // Reads encoded bytes back, the format detected from the data; empty or
    // unreadable bytes give a null image.
    static QImage decode(const QByteArray &bytes);

    // The format name of a format string: its first ";"-separated part.
    static QString formatName(const QString &formatSpec);

    // Encoded bytes of the pixmap by the rule above (encoded on first request).
    QByteArray bytes(const QPixmap &pixmap, const QString &formatSpec);

    // The pixmap as it looks after encoding: the bytes decoded again (decoded
    // on first request). Null when there are no bytes.
    QPixmap decodedPixmap(const QPixmap &pixmap, const QString &formatSpec);

    // How many encodings and decodings this cache has run.
    int encodeCount() const { return m_encodeCount; }
    int decodeCount() const { return m_decodeCount; }

    void clear();

private:
    struct Entry
    {
        bool valid = false;
        qint64 key = 0;
        QString formatSpec;
        QByteArray bytes;
        bool decoded = false;
        QImage decodedImage;
        QPixmap decodedPixmap;
    };

    Entry &entry(const QPixmap &pixmap, const QString &formatSpec);

    Entry m_recent;    // most recently used
    Entry m_previous;  // the one before
    int m_encodeCount = 0;
    int m_decodeCount = 0;
};
