#pragma once

#include "imageprocesst.h"

namespace MGraphX {

// Planar image with float samples; see ImageProcessT.
class ImageProcessFloat : public ImageProcessT<float>
{
public:
    explicit ImageProcessFloat(const char *fileName);
    ImageProcessFloat(const int &depth, const int &width, const int &height, const int &fill);
    explicit ImageProcessFloat(const QImage &image);
    ImageProcessFloat(const ImageProcessFloat &other);
    ImageProcessFloat &operator=(const ImageProcessFloat &) = delete;
    ~ImageProcessFloat() override;
};

} // namespace MGraphX
