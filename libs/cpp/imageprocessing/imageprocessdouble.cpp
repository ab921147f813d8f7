#include "imageprocessdouble.h"

namespace MGraphX {

ImageProcessDouble::ImageProcessDouble(const char *fileName)
    : ImageProcessT<double>(fileName)
{
}

ImageProcessDouble::ImageProcessDouble(const int &depth, const int &width, const int &height, const int &fill)
    : ImageProcessT<double>(depth, width, height, fill)
{
}

ImageProcessDouble::ImageProcessDouble(const QImage &image)
    : ImageProcessT<double>(image)
{
}

ImageProcessDouble::ImageProcessDouble(const ImageProcessDouble &other)
    : ImageProcessT<double>(other)
{
}

ImageProcessDouble::~ImageProcessDouble() = default;

} // namespace MGraphX
