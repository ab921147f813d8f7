#include "imageprocessfloat.h"

namespace MGraphX {

ImageProcessFloat::ImageProcessFloat(const char *fileName)
    : ImageProcessT<float>(fileName)
{
}

ImageProcessFloat::ImageProcessFloat(const int &depth, const int &width, const int &height, const int &fill)
    : ImageProcessT<float>(depth, width, height, fill)
{
}

ImageProcessFloat::ImageProcessFloat(const QImage &image)
    : ImageProcessT<float>(image)
{
}

ImageProcessFloat::ImageProcessFloat(const ImageProcessFloat &other)
    : ImageProcessT<float>(other)
{
}

ImageProcessFloat::~ImageProcessFloat() = default;

} // namespace MGraphX
