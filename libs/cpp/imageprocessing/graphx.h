#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QVector>

namespace MGraphX {

// An abstract pixel surface. Subclasses provide the two pixel accessors and
// their extent; the raster primitives below draw through them only. Values are
// handed unchanged to setPixel; coordinates outside the surface are ignored by
// the surface, so nothing here clips.
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
    // Whether (x, y) lies on the surface; bounds the flood fill.
    virtual bool contains(int x, int y) const = 0;

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

    // Sets (x, y) for x = x1 .. x2 - 1.
    void drawHLine(int x1, int x2, int y, int value);
    // Sets (x, y) for y = y1 .. y2 - 1.
    void drawVLine(int y1, int y2, int x, int value);
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
    // Fills the 4-connected region of pixels equal to pixel(x, y) with value.
    // Returns the right end of the start row's span, or -1 when nothing changed
    // (start outside the surface, or value reads back as the old colour).
    int floodFill(int x, int y, int value);

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
    // image is transparent black (opaque black for RGB32).
    static QImage edgeDetect(const QImage &image);
    // Exponential blur of rect, four passes; radius <= 0 leaves pixels as they
    // are. Result is ARGB32_Premultiplied; alphaOnly blurs only the alpha bytes.
    static QImage blurRect(const QImage &image, const QRect &rect, int radius, bool alphaOnly);
    // (max + min) / 2 of the four values.
    static int midRange(int a, int b, int c, int d);
};

} // namespace MGraphX
