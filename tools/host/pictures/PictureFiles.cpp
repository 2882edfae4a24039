#include "PictureFiles.h"

#include <png.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

FileHandle OpenForWriting(const std::string& path)
{
    FileHandle f(std::fopen(path.c_str(), "wb"));
    if (!f)
        std::fprintf(stderr, "%s: cannot open for writing\n", path.c_str());
    return f;
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteAll(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FileHandle f = OpenForWriting(path);
    if (!f)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
        std::fprintf(stderr, "%s: write failed\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool WritePng(const std::string& path, const Image& image)
{
    int colourType;
    switch (image.channels) {
    case 1: colourType = PNG_COLOR_TYPE_GRAY; break;
    case 3: colourType = PNG_COLOR_TYPE_RGB; break;
    case 4: colourType = PNG_COLOR_TYPE_RGBA; break;
    default:
        std::fprintf(stderr, "%s: PNG needs 1, 3 or 4 channels\n", path.c_str());
        return false;
    }
    FileHandle f = OpenForWriting(path);
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fprintf(stderr, "%s: libpng failed\n", path.c_str());
        return false;
    }
    png_init_io(png, f.get());
    png_set_IHDR(png, info, image.width, image.height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // No time chunk, so the same picture gives the same bytes on every build.
    png_write_info(png, info);
    for (unsigned y = 0; y < image.height; ++y)
        png_write_row(png, image.At(0, y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteJpeg(const std::string& path, const Image& image, int quality)
{
    if (image.channels != 1 && image.channels != 3) {
        std::fprintf(stderr, "%s: JPEG needs 1 or 3 channels\n", path.c_str());
        return false;
    }
    FileHandle f = OpenForWriting(path);
    if (!f)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f.get());
    cinfo.image_width = image.width;
    cinfo.image_height = image.height;
    cinfo.input_components = int(image.channels);
    cinfo.in_color_space = image.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.At(0, cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

bool WriteBmp(const std::string& path, const Image& image)
{
    if (image.channels != 3) {
        std::fprintf(stderr, "%s: BMP needs 3 channels\n", path.c_str());
        return false;
    }
    const uint32_t rowBytes = (image.width * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * image.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + pixelBytes);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);  // BITMAPINFOHEADER
    Put32(out, image.width);
    Put32(out, image.height);  // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (unsigned y = image.height; y-- > 0;) {
        for (unsigned x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        for (uint32_t pad = image.width * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return WriteAll(path, out);
}

bool WriteDds(const std::string& path, const MipChain& levels, DdsFormat format)
{
    const unsigned channels = format == DdsFormat::A8R8G8B8 ? 4 : 2;
    if (levels.empty() || levels[0].channels != channels) {
        std::fprintf(stderr, "%s: DDS needs %u-channel levels\n", path.c_str(), channels);
        return false;
    }
    const Image& top = levels[0];
    const unsigned bytesPerPixel = format == DdsFormat::A8R8G8B8 ? 4 : 2;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'D', 'D', 'S', ' '});
    Put32(out, 124);
    // CAPS | HEIGHT | WIDTH | PITCH | PIXELFORMAT, plus MIPMAPCOUNT for a chain
    Put32(out, 0x100F | (levels.size() > 1 ? 0x20000u : 0u));
    Put32(out, top.height);
    Put32(out, top.width);
    Put32(out, top.width * bytesPerPixel);
    Put32(out, 0);
    Put32(out, uint32_t(levels.size()));
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    // DDS_PIXELFORMAT
    Put32(out, 32);
    if (format == DdsFormat::A8R8G8B8) {
        Put32(out, 0x41);  // DDPF_RGB | DDPF_ALPHAPIXELS
        Put32(out, 0);
        Put32(out, 32);
        Put32(out, 0x00FF0000);
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
        Put32(out, 0xFF000000);
    } else {
        Put32(out, 0x80000);  // DDPF_BUMPDUDV: u in the low byte, v in the high byte
        Put32(out, 0);
        Put32(out, 16);
        Put32(out, 0x00FF);
        Put32(out, 0xFF00);
        Put32(out, 0);
        Put32(out, 0);
    }
    // DDSCAPS_TEXTURE, plus COMPLEX | MIPMAP for a chain
    Put32(out, 0x1000 | (levels.size() > 1 ? 0x400008u : 0u));
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (const Image& level : levels) {
        for (unsigned y = 0; y < level.height; ++y) {
            for (unsigned x = 0; x < level.width; ++x) {
                const uint8_t* p = level.At(x, y);
                if (format == DdsFormat::A8R8G8B8)
                    out.insert(out.end(), {p[2], p[1], p[0], p[3]});
                else
                    out.insert(out.end(), {p[0], p[1]});
            }
        }
    }
    return WriteAll(path, out);
}

bool WriteIco(const std::string& path, const std::vector<Image>& images)
{
    std::vector<std::vector<uint8_t>> entries;
    for (const Image& image : images) {
        if (image.channels != 4 || image.width == 0 || image.width > 256 || image.height > 256) {
            std::fprintf(stderr, "%s: icon images must be RGBA, 1..256 pixels\n", path.c_str());
            return false;
        }
        const uint32_t maskRow = ((image.width + 31) / 32) * 4;
        std::vector<uint8_t> e;
        Put32(e, 40);
        Put32(e, image.width);
        Put32(e, image.height * 2);  // colour rows and mask rows
        Put16(e, 1);
        Put16(e, 32);
        Put32(e, 0);
        Put32(e, image.width * image.height * 4 + maskRow * image.height);
        for (int i = 0; i < 4; ++i)
            Put32(e, 0);
        for (unsigned y = image.height; y-- > 0;)
            for (unsigned x = 0; x < image.width; ++x) {
                const uint8_t* p = image.At(x, y);
                e.insert(e.end(), {p[2], p[1], p[0], p[3]});
            }
        // The AND mask still matters to code that draws icons without alpha.
        for (unsigned y = image.height; y-- > 0;) {
            std::vector<uint8_t> row(maskRow, 0);
            for (unsigned x = 0; x < image.width; ++x)
                if (image.At(x, y)[3] < 128)
                    row[x / 8] |= uint8_t(0x80 >> (x % 8));
            e.insert(e.end(), row.begin(), row.end());
        }
        entries.push_back(std::move(e));
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, uint32_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(images[i].width & 0xFF));  // 256 is written as 0
        out.push_back(uint8_t(images[i].height & 0xFF));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, uint32_t(entries[i].size()));
        Put32(out, offset);
        offset += uint32_t(entries[i].size());
    }
    for (const std::vector<uint8_t>& e : entries)
        out.insert(out.end(), e.begin(), e.end());
    return WriteAll(path, out);
}

MipChain BuildMipChain(const Image& top, bool signedChannels)
{
    MipChain chain{top};
    while (chain.back().width > 1 || chain.back().height > 1) {
        const Image& src = chain.back();
        Image dst(src.width > 1 ? src.width / 2 : 1, src.height > 1 ? src.height / 2 : 1, src.channels);
        const unsigned sx = src.width > 1 ? 2 : 1;
        const unsigned sy = src.height > 1 ? 2 : 1;
        for (unsigned y = 0; y < dst.height; ++y)
            for (unsigned x = 0; x < dst.width; ++x)
                for (unsigned c = 0; c < src.channels; ++c) {
                    int sum = 0;
                    for (unsigned j = 0; j < sy; ++j)
                        for (unsigned i = 0; i < sx; ++i) {
                            uint8_t b = src.At(x * sx + i, y * sy + j)[c];
                            sum += signedChannels ? int(int8_t(b)) : int(b);
                        }
                    long v = std::lround(double(sum) / double(sx * sy));
                    dst.At(x, y)[c] = uint8_t(v & 0xFF);
                }
        chain.push_back(std::move(dst));
    }
    return chain;
}
