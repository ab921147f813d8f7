#pragma once

#include "imageprocesst.h"

namespace MGraphX {

// Planar image with double samples; see ImageProcessT.
class ImageProcessDouble : public ImageProcessT<double>
{
public:
    explicit ImageProcessDouble(const char *fileName);
    ImageProcessDouble(const int &depth, const int &width, const int &height, const int &fill);
    explicit ImageProcessDouble(const QImage &image);
    ImageProcessDouble(const ImageProcessDouble &other);
    ImageProcessDouble &operator=(const ImageProcessDouble &) = delete;
    ~ImageProcessDouble() override;
};

} // namespace MGraphX
