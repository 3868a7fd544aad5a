#include "image_files.h"

#include <cstdio>
#include <jpeglib.h>

bool writeTga(const std::string& path, const Picture& p) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    // Type 2, 24 bits, top-left origin so rows go out in picture order.
    unsigned char header[18] = {0, 0, 2};
    header[12] = uint8_t(p.width & 0xff);
    header[13] = uint8_t(p.width >> 8);
    header[14] = uint8_t(p.height & 0xff);
    header[15] = uint8_t(p.height >> 8);
    header[16] = 24;
    header[17] = 0x20;
    std::fwrite(header, 1, sizeof header, f);
    for (size_t i = 0; i < p.rgb.size(); i += 3) {
        unsigned char bgr[3] = {p.rgb[i + 2], p.rgb[i + 1], p.rgb[i]};
        std::fwrite(bgr, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

bool writeJpeg(const std::string& path, const Picture& p, int quality) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, f);
    info.image_width = JDIMENSION(p.width);
    info.image_height = JDIMENSION(p.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&p.rgb[size_t(info.next_scanline) * size_t(p.width) * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(f) == 0;
}
