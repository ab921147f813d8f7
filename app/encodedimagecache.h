#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <functional>
#include <memory>

class QObject;

// The encoded form of the processed picture, shared by all previews: each
// (pixmap, format string) pair is encoded once and kept, together with the
// base64 text of the bytes and the picture decoded back from them, so that six
// previews and repeated requests cost one encoding. The two most recently
// requested pairs are kept, and any pair a request still waits for.
//
// encode() and decode() are pure functions on values (QImage in, bytes and
// QImage out). The cache itself lives on the GUI thread: the asynchronous
// requests run the work on the global thread pool and call back on the GUI
// thread, one request per turn of the event loop, visible widgets first. One
// encoding runs for the pairs that are still wanted; an encoding for text
// views only, or one that supersedes another, waits briefly on its worker
// first and is dropped if superseded meanwhile (a slider being dragged). The
// synchronous getters wait for a running encoding of the same pair instead of
// starting a second one; one still waiting for a worker they do themselves.
class EncodedImageCache
{
public:
    EncodedImageCache();
    ~EncodedImageCache();
    EncodedImageCache(const EncodedImageCache &) = delete;
    EncodedImageCache &operator=(const EncodedImageCache &) = delete;

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

    // True when decoding the image's encoded bytes gives back exactly its own
    // pixels, so the picture after encoding is the image itself: PNG of an
    // opaque 32-bit image (RGB32, or ARGB32 / premultiplied ARGB32 with every
    // alpha at 255). Scans the pixels; safe on any thread.
    static bool decodesToItself(const QImage &image, const QString &formatSpec);

    // Encoded bytes of the pixmap by the rule above (encoded on first request).
    QByteArray bytes(const QPixmap &pixmap, const QString &formatSpec);

    // The base64 text of those bytes (standard alphabet, padded, one line).
    QString base64(const QPixmap &pixmap, const QString &formatSpec);

    // The pixmap as it looks after encoding: the bytes decoded again (decoded
    // on first request), or the pixmap itself where decodesToItself() holds.
    // Null when there are no bytes.
    QPixmap decodedPixmap(const QPixmap &pixmap, const QString &formatSpec);

    // Asynchronous requests. The callbacks run on the GUI thread while the
    // receiver lives, each once: before the request returns when the result is
    // already known, else from the event loop. A request made for a newer pair
    // does not wait for older ones; cancel() drops a request, and a pair that no
    // request waits for any more is not encoded (a running encoding finishes,
    // its result is kept like any other). Returns a ticket for cancel(), 0 when
    // every callback has already run.
    using Ticket = quint64;
    // base64 is the Latin-1 text of the bytes, shared by every request.
    using TextCallback = std::function<void(const QByteArray &bytes, const QByteArray &base64)>;
    using BytesCallback = std::function<void(const QByteArray &bytes)>;
    using PictureCallback = std::function<void(const QPixmap &picture)>;

    // The bytes and their base64 text.
    Ticket requestText(const QPixmap &pixmap, const QString &formatSpec, QObject *receiver,
                       TextCallback onText);
    // The bytes as soon as they are known, then the picture after encoding.
    Ticket requestPicture(const QPixmap &pixmap, const QString &formatSpec, QObject *receiver,
                          BytesCallback onBytes, PictureCallback onPicture);
    void cancel(Ticket ticket);
    // Drops every request of the receiver.
    void cancelAll(const QObject *receiver);

    // How many encodings and decoded pictures this cache has made; a decoded
    // picture taken from the pixmap itself (see decodesToItself) counts as a
    // decoding and also in shortcutCount().
    int encodeCount() const;
    int decodeCount() const;
    int shortcutCount() const;

    // True while an encoding or decoding runs or waits, or a result has still
    // to be handed to a request.
    bool isBusy() const;

    // Forgets every kept result (requests still waiting are kept).
    void clear();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
