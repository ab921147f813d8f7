#include "imageloader.h"

#include "imagedecoder.h"

QImage ImageLoader::load(const QString &path, Outcome *outcome)
{
    MTools::ImageDecoder::Outcome why = MTools::ImageDecoder::NotAFile;
    QImage image = MTools::ImageDecoder::decodeFile(path, true, &why);
    if (outcome) {
        switch (why) {
        case MTools::ImageDecoder::Taken:
            *outcome = Taken;
            break;
        case MTools::ImageDecoder::NotAFile:
            *outcome = NotAFile;
            break;
        case MTools::ImageDecoder::NotAPicture:
            *outcome = NotAPicture;
            break;
        case MTools::ImageDecoder::TooLarge:
            *outcome = TooLarge;
            break;
        }
    }
    return image;
}
