#pragma once

#include <QImage>
#include <QObject>

namespace MGraphX {

// A 4x4 colour transform. m[i][j] is the weight of input channel i on output
// channel j, channels in the order red, green, blue, alpha. The presets change
// only the entries they name; reset() returns to the identity.
class ColorMatrix : public QObject
{
    Q_OBJECT

public:
    ColorMatrix();
    ColorMatrix(const ColorMatrix &other);
    ColorMatrix &operator=(const ColorMatrix &other);
    ~ColorMatrix() override;

    // Saturation s within the colour block: 0 gives a grey average, 1 the identity.
    void setSaturation(float s);
    void setScale(float r, float g, float b, float a);
    void setBrightness(float k);
    void setGrayAverage();
    void setGrayLuminance();
    void swapRedGreen();
    void swapRedBlue();
    void swapGreenBlue();
    void reset();
    // Every output colour becomes (r + g + b) * weight / sum, sum being the sum of
    // the rounded-up weights (1 when that is not positive); alpha is scaled.
    void setTint(float wr, float wg, float wb, float alphaScale);
    // Alpha becomes r + g + b + a, the colour black.
    void setAlphaSum();

    // Maps one colour; each output channel is truncated and clamped to 0..255.
    // Returns 0xAARRGGBB.
    quint32 map(int r, int g, int b, int a) const;
    // A copy of image with every 32-bit pixel mapped as stored (premultiplied
    // pixels are not unpremultiplied). Images of other formats are converted to
    // ARGB32 first; a null image gives a null image.
    QImage apply(const QImage &image) const;

    float m[4][4];
    int mask = 31;

private:
    void setIdentity();
    void swapColumns(int a, int b);
};

} // namespace MGraphX
