#pragma once

#include "imageprocesst.h"

namespace MGraphX {

// Planar image with unsigned char samples; see ImageProcessT.
class ImageProcess : public ImageProcessT<unsigned char>
{
public:
    explicit ImageProcess(const char *fileName);
    ImageProcess(const int &depth, const int &width, const int &height, const int &fill);
    explicit ImageProcess(const QImage &image);
    ImageProcess(const ImageProcess &other);
    ImageProcess &operator=(const ImageProcess &) = delete;
    ~ImageProcess() override;
};

} // namespace MGraphX
