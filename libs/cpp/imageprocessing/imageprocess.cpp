#include "imageprocess.h"

namespace MGraphX {

ImageProcess::ImageProcess(const char *fileName)
    : ImageProcessT<unsigned char>(fileName)
{
}

ImageProcess::ImageProcess(const int &depth, const int &width, const int &height, const int &fill)
    : ImageProcessT<unsigned char>(depth, width, height, fill)
{
}

ImageProcess::ImageProcess(const QImage &image)
    : ImageProcessT<unsigned char>(image)
{
}

ImageProcess::ImageProcess(const ImageProcess &other)
    : ImageProcessT<unsigned char>(other)
{
}

ImageProcess::~ImageProcess() = default;

} // namespace MGraphX
