#pragma once

#include <QByteArray>

// Hand-made GIF, BMP, ICO and JPEG files for tests of what decoding them
// costs: only their headers are sound, the pixel data is empty or blank.
namespace PictureBytes {
// A GIF whose logical screen has the given size, holding one 1 x 1 frame.
QByteArray gifOnScreen(quint16 width, quint16 height);
// A 24-bit bitmap stored top-down (negative height); pixel rows only when asked.
QByteArray topDownBmp(int width, int height, bool withPixels);
// A bottom-up bitmap of the given depth (1, 4, 8, 16, 24 or 32), its palette
// grey levels and its pixels a pattern, with the old core header or the
// common 40-byte one.
QByteArray bmp(int width, int height, int bits, bool coreHeader);
// An icon file of one 16 x 16 entry holding the given PNG data.
QByteArray icoHolding(const QByteArray &png);
// A JPEG frame of the given size and components, every component sampled
// 1 x 1 but the first (lumaSampling, 0x22 for 4:2:0); its first scan codes
// every block as blank, the others hold one byte of data. Progressive: a
// first scan of the DC coefficients of all components, then scans of one
// component's AC coefficients. Sequential: one scan per component (several
// components make a multi-scan picture).
QByteArray jpeg(quint16 width, quint16 height, int components, int scans, bool progressive,
                quint8 lumaSampling = 0x11);
// A greyscale progressive JPEG of the given size: a first scan of the DC
// coefficients, each 0, then refinement scans of the AC coefficients
// 1 to 63, each one end-of-block run after another over every block, so
// that the decoder visits every coefficient of every block in each of them.
QByteArray refiningJpeg(quint16 width, quint16 height, int refinements);
// A real width x height JPEG, blue in its top-left 8 x 8 corner and red
// elsewhere, carrying the given EXIF orientation (1 to 8).
QByteArray orientedJpeg(int width, int height, int orientation);
// The JPEG with its baseline frame header saying another size; its data
// stays that of the picture it was, followed by zero bytes enough for a bit
// a block at the new size.
QByteArray withFrameSize(QByteArray jpeg, quint16 width, quint16 height);
// The JPEG with an EXIF segment carrying the given orientation inserted after
// its start marker.
QByteArray withOrientation(QByteArray jpeg, int orientation);
}
