#pragma once

#include "cube.h"

#include <QImage>
#include <QObject>
#include <QVector>

namespace MGraphX {

// Median-cut colour reduction of one picture to an 8-bit indexed picture.
//
// Colours are counted in a 15-bit (5-5-5) histogram; palette colours are the
// pixel-weighted means of the bin values (multiples of 8, with the top bin of
// all three channels giving white). Pictures with an alpha channel reserve
// index 255 as fully transparent for pixels of alpha 126 or less. Entirely
// grey pictures are posterised to evenly spaced grey levels when grey
// detection is on.
//
// Build one reducer per picture, set the flags, then call reduce or
// reduceGrayLevels once: reduce overwrites the histogram with palette indices.
// A picture without pixels gives a null image.
class ColorReducer : public QObject
{
    Q_OBJECT

public:
    explicit ColorReducer(const QImage &image, QObject *parent = nullptr);
    ~ColorReducer() override;

    void setDither(bool dither);
    void setDetectGray(bool detectGray);

    // An indexed picture of at most maxColors colours (clamped to 1..256).
    QImage reduce(int maxColors);
    // An opaque ARGB32 picture whose channels take levels + 1 evenly spaced
    // values (levels clamped to 1..255).
    QImage reduceGrayLevels(int levels);

    static int rgbToKey15(QRgb rgb);
    static int keyRed(int key);
    static int keyGreen(int key);
    static int keyBlue(int key);
    // Euclidean distance of the red, green and blue channels.
    static float colorDistance(const QRgb &a, const QRgb &b);
    // The first nearest entry of table; 0 for an empty table.
    static QRgb nearestColor(QRgb color, const QVector<QRgb> &table);

signals:
    void progress(int percent);

protected:
    enum Axis { RedAxis, GreenAxis, BlueAxis };

    void shrinkCube(Cube &cube);
    void rotateForAxis(int lower, int upper, int axis);
    void quickSort(int lower, int upper);
    void rotateBack(int lower, int upper, int axis);
    void buildColorTable(QVector<int> &histogram, int cubeCount);
    QImage mapToIndexed();
    QImage reduceGray();
    QImage reduceGrayLevels();
    QImage ditherFloydSteinberg(const QImage &image, const QVector<QRgb> &table);

    // Whether the source pixel at (x, y) counts as transparent (alpha <= 126).
    bool transparentAt(int x, int y) const;
    // The source posterised to L + 1 levels per channel, opaque ARGB32.
    QImage posterizeSource(int levels) const;

    QVector<int> histogram;
    QVector<int> colors;
    QVector<Cube> cubes;
    int maxColors = 256;
    QImage workImage;
    QImage sourceImage;
    QVector<QRgb> colorTable;
    bool dither = true;
    bool detectGray = true;

private:
    // sourceImage as ARGB32 words, for the alpha tests.
    QImage alphaImage;
};

} // namespace MGraphX
