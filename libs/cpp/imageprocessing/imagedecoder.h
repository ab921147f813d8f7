#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QIODevice;

namespace MGraphX {

// Decodes untrusted pictures within the budget of ImageHeader. The headers
// are judged first; only a picture that fits reaches a decoder, a fresh one
// that is asked nothing but to read, and the decoded picture is judged again.
// Data whose format the headers cannot tell is left to the size and pixel
// format its own decoder announces, asked of a separate reader.
class ImageDecoder
{
public:
    // TooLarge: more pixels than the cap; TooCostly: within it, but decoding
    // would take more memory or work than the budget.
    enum Outcome { Taken, NotAFile, NotAPicture, TooLarge, TooCostly };

    // Whether the picture that starts at the device's current position may be
    // decoded, judged as decode() judges it before any decoder runs: Taken
    // when it fits the budget, otherwise why not. The device is left where
    // it was; label and turn as for decode().
    static Outcome judge(QIODevice *device, const QByteArray &label = QByteArray(), bool turn = false);

    // Decodes the picture that starts at the device's current position; the
    // device must be open and random-access. label is the format the data is
    // said to be in (a data URI's type): when it names a format that Qt
    // decodes, the content must be of that format; otherwise, and when empty,
    // the content tells. turn: turn the picture by its own orientation, in its
    // own memory (see ImageTurn).
    // Returns a null image for anything refused, and why in *outcome.
    static QImage decode(QIODevice *device, const QByteArray &label = QByteArray(), bool turn = false,
                         Outcome *outcome = nullptr);

    // The same for a regular file: a name that shows no regular file is not
    // opened, and one that does is opened with openRegularFile; FIFOs,
    // devices and folders are refused (NotAFile) without blocking.
    static QImage decodeFile(const QString &fileName, bool turn = false, Outcome *outcome = nullptr);
};

} // namespace MGraphX
