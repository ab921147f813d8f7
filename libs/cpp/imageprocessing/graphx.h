#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

class QPainter;

namespace MGraphX {

// An abstract pixel surface. Subclasses provide the two pixel accessors and
// may tell their extent through bounds(); the raster primitives below draw
// through the accessors only. Values are handed unchanged to setPixel. The
// primitives clip to bounds(), so their cost follows the part of the surface
// they reach however far off their centres or end points lie; circles and
// ellipses visit only the rows of the surface and set each pixel once.
//
// The class also carries static whole-image operations on QImage. They never
// change their input and return a new image; a null input gives a null image.
// Pixels are 0xAARRGGBB words, computed channels are truncated and clamped to
// 0..255 and alpha is kept unless stated otherwise. Inputs that are not RGB32,
// ARGB32 or ARGB32_Premultiplied are converted to ARGB32 first; premultiplied
// pixels are processed as stored.
class GraphX
{
public:
    virtual ~GraphX();

    virtual void setPixel(unsigned x, unsigned y, int value) = 0;
    // 0 for coordinates outside the surface.
    virtual int pixel(unsigned x, unsigned y) = 0;

    // Extension hooks; nothing in the library calls them.
    virtual int sharedValue1();
    virtual int sharedValue2();
    virtual bool sharedFlag();
    virtual void hookStoredPair();
    virtual void hookPair(const int &a, const int &b);
    virtual void hookQuad(int a, int b, int c, int d);
    virtual void hookOneA(int a);
    virtual void hookOneB(int a);
    virtual void hookSix(int a, int b, int c, int d, int e, int f);
    // The part of the plane the surface holds. The default is every
    // non-negative coordinate (all that setPixel can address); surfaces that
    // know their size return it.
    virtual QRect bounds() const;
    bool contains(int x, int y) const { return bounds().contains(x, y); }

    // Sets (x, y) for x = x1 .. x2 - 1.
    void drawHLine(int x1, int x2, int y, int value);
    // Sets (x, y) for y = y1 .. y2 - 1.
    void drawVLine(int y1, int y2, int x, int value);
    // Rows x .. x+w-1 at y and at y+h-1 (only when w > 0), the column x over
    // y+1 .. y+h-1 and the column x+w-1 over y+1 .. y+h-2. A zero width or
    // height therefore still draws the columns or rows it names.
    void drawRect(int x, int y, int w, int h, int value);
    void fillRect(int x, int y, int w, int h, int value);
    // Bresenham line from (x1, y1) to (x2, y2), both end points included.
    void drawLine(int x1, int y1, int x2, int y2, int value);
    // A negative radius draws nothing; radius 0 draws the centre.
    void drawCircle(int cx, int cy, int r, int value);
    // Spans are half-open (cx - k .. cx + k - 1); radius 0 fills nothing.
    void fillCircle(int cx, int cy, int r, int value);
    void drawEllipse(int cx, int cy, int rx, int ry, int value);
    void fillEllipse(int cx, int cy, int rx, int ry, int value);
    // floodFillSpan(x, y, 1, x, x, value).
    int floodFill(int x, int y, int value);
    // Fills the span of pixels equal to pixel(x, y) around (x, y) on row y and
    // everything 4-connected to it, the rows y + dy and y - dy included; the
    // caller's span prevLeft .. prevRight on row y - dy is looked at again, so
    // the whole region is reached whatever the caller passes. Runs on an
    // explicit stack, so large regions need no deep recursion. Returns the
    // right end of the span on row y, or -1 when nothing changed (start
    // outside the surface, or value reads back as the old colour).
    int floodFillSpan(int x, int y, int dy, int prevLeft, int prevRight, int value);

    static QImage toGray(const QImage &image);
    // Each channel v -> trunc((v + brightness) * (contrast + 127) / 127).
    static QImage brightnessContrast(const QImage &image, int brightness, int contrast);
    // Each channel moves away from (amount > 1) or towards the perceived
    // brightness sqrt(0.299 R^2 + 0.587 G^2 + 0.114 B^2).
    static QImage saturation(const QImage &image, float amount);
    static QImage brightnessContrastSaturation(const QImage &image, int brightness, int contrast,
                                               float amount);
    static QImage invert(const QImage &image);
    // Each channel becomes 255 when >= level, else 0.
    static QImage threshold(const QImage &image, int level);
    // Snaps each channel to the nearer of the ascending levels around it (ties
    // upward); below the first level gives 0, above the last 255.
    static QImage posterize(const QImage &image, const QVector<int> &levels);
    static QImage swapRedBlue(const QImage &image);
    static QImage swapRedGreen(const QImage &image);
    static QImage swapGreenBlue(const QImage &image);
    // Scales red, green and blue by value / 127.
    static QImage colorBalance(const QImage &image, const int &red, const int &green,
                               const int &blue);
    static QImage brightness(const QImage &image, const int &percent);
    // Pixels whose hue lies within 9 degrees of from's take to's hue and are
    // scaled to its saturation and value. Result is ARGB32_Premultiplied.
    static QImage replaceHue(const QImage &image, const QColor &from, const QColor &to);
    // The level operations return opaque ARGB32 images.
    static QImage autoLevels(const QImage &image, int highClip, int lowClip);
    static QImage levelsInput(const QImage &image, int low, int highCut);
    static QImage levelsOutput(const QImage &image, int low, int highCut);
    static QImage levels(const QImage &image, int amount);
    // 3x3 Laplacian divided by 9, negative results 0, alpha 255. Pixels
    // x = 1 .. width - 3, y = 1 .. height - 3 are computed; the rest of the new
    // image is transparent black (opaque black for RGB32). Premultiplied input
    // is read as stored and keeps its format.
    static QImage edgeDetect(const QImage &image);
    // Exponential blur of rect, four passes; radius <= 0 leaves pixels as they
    // are. Result is ARGB32_Premultiplied; alphaOnly blurs only the alpha bytes
    // and scales each colour byte with its alpha, so the straight colour stays.
    static QImage blurRect(const QImage &image, const QRect &rect, int radius, bool alphaOnly);
    // (max + min) / 2 of the four values.
    static int midRange(int a, int b, int c, int d);

    // Colour reduction to an indexed picture saved as PNG (quality 0). Returns
    // whether the file was written; a folder, device or pipe under the name
    // is refused.
    static bool reduceColorsToPng(const QImage &image, const QString &fileName, int maxColors,
                                  bool dither, bool detectGray);
    // The same with dithering and grey detection on, in the given file format.
    static bool reduceColorsToFile(const QImage &image, const QString &fileName, int maxColors,
                                   const QString &format);

    // Geometry. The turns, addBorder and the crops keep a 32-bit input's format;
    // other formats give ARGB32. Sizes that leave no pixel give a null image.
    static QImage mirror(const QImage &image, bool horizontal, bool vertical);
    // A quarter turn counter-clockwise: new (x, y) = input (W - 1 - y, x).
    static QImage rotateLeft(const QImage &image);
    // A quarter turn clockwise: new (x, y) = input (y, H - 1 - x).
    static QImage rotateRight(const QImage &image);
    static QImage rotate180(const QImage &image);
    // A border of percent * width / 100 pixels (truncated) on all four sides;
    // negative percentages add none.
    static QImage addBorder(const QImage &image, int percent, const QColor &colour);
    // Scales into size keeping the aspect ratio and centres the picture on fill.
    static QImage fitIntoSize(const QImage &image, const QSize &size, const QColor &fill);
    // Cuts the margins away; negative margins count as 0.
    static QImage cropMargins(const QImage &image, int left, int right, int top, int bottom);
    // Margins in percent of the width (left, right) and height (top, bottom),
    // each bounded to 0..100.
    static QImage cropPercent(const QImage &image, int left, int right, int top, int bottom);

    // Two images. The result is first's copy changed over the overlap of the
    // images (the smaller width and height); a null first gives a null image.
    // Opaque |first - second| per channel.
    static QImage difference(const QImage &first, const QImage &second);
    // (first + second) >> 1 per byte, alpha included.
    static QImage average(const QImage &first, const QImage &second);
    // Half (three quarters) of each 2x2 block of the doubled first image taken
    // from second, then scaled back smoothly: a 50 % (75 %) mix.
    static QImage interleaveHalf(const QImage &first, const QImage &second);
    static QImage interleaveThreeQuarters(const QImage &first, const QImage &second);
    // second's pixel where the mask's RGB is 0; outside the mask first's.
    static QImage maskedCopy(const QImage &first, const QImage &second, const QImage &mask);
    // second's pixel where every colour channel differs by less than tolerance.
    static QImage replaceSimilar(const QImage &first, const QImage &second, const int &tolerance);
    // The pixmap with the red channel of mask (scaled to its size) as alpha.
    static QPixmap applyAlphaMask(const QPixmap &pixmap, const QPixmap &mask);

    // Encoding. Pictures decoded from a data URI are held to the budget of
    // MGraphX::ImageHeader, judged from their headers before decoding.
    // "data:image/<format>;base64,<bytes>"; an empty string when the image
    // cannot be written in that format.
    static QString toDataUri(const QImage &image, const QString &format, const int &quality);
    // The image of the first "...:image/<format>;base64,<payload>" in text,
    // its marks in any case. Text may stand around the URI, as in CSS or
    // markup: the payload is the run of base64 and whitespace after the marks,
    // up to a character that closes a URI there (' " ) < >, or a quote written
    // as &quot; &apos; &#34; &#39; &#x22; &#x27;) or the end of the text;
    // what follows is not read. A null image when the marks are missing, the
    // run holds other characters (the URL-safe alphabet, percent-encoding,
    // padding before its end) or is followed by any other (";", ",", "&"),
    // does not load, is damaged in a way that would make decoding costly, or
    // exceeds the budget (a JPEG with an unreasonable number of scans
    // included).
    static QImage fromDataUri(const QString &text);
    // The image after a save and reload in format; null when that fails.
    static QImage recompress(const QImage &image, const QString &format, const int &quality);

    // A rounded caption box with a shadow and centred white text at position.
    // Does nothing without an active painter.
    static void drawCaption(QPainter *painter, const QPoint &position, const QString &text,
                            const QFont &font, const QColor &colour, bool outline, float opacity);
};

} // namespace MGraphX
