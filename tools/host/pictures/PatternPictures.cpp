#include "PatternPictures.h"

#include "Image.h"
#include "PictureFiles.h"

namespace {

bool WritePatternFrame(const std::string& path, bool second)
{
    Image image(8, 4, 4);
    for (unsigned y = 0; y < image.height; ++y)
        for (unsigned x = 0; x < image.width; ++x) {
            uint8_t* p = image.At(x, y);
            p[0] = uint8_t(second ? 255 - x * 32 : x * 32);
            p[1] = uint8_t(second ? 40 : y * 64);
            p[2] = uint8_t(second ? y * 64 : 200);
            p[3] = 255;
        }
    return WritePng(path, image);
}

}  // namespace

bool MakeTestPatternA(const std::string& path)
{
    return WritePatternFrame(path, false);
}

bool MakeTestPatternB(const std::string& path)
{
    return WritePatternFrame(path, true);
}
