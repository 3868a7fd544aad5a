#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

#include "client/assets/texture.h"

namespace {

// libjpeg reports errors by calling error_exit, which must not return: jump
// back into the reader so a bad file fails the load instead of the process.
// Warnings (corrupt or missing data) fail it too: a truncated file would
// otherwise be padded out with grey and pass as a picture.
struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf recovery;
};

[[noreturn]] void jpegErrorExit(j_common_ptr info) {
    JpegError* err = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(err->recovery, 1);
}

void jpegMessage(j_common_ptr info, int level) {
    if (level < 0) jpegErrorExit(info);
}

// libjpeg's own working memory (progressive coefficient buffers and so on).
constexpr long JPEG_WORK_MEMORY = 256L << 20;

}  // namespace

bool readJpeg(FILE* f, Image& image) {
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    JpegError err;
    info.err = jpeg_std_error(&err.manager);
    err.manager.error_exit = jpegErrorExit;
    err.manager.emit_message = jpegMessage;
    // Volatile: read after a longjmp back into this frame.
    unsigned char* volatile pixels = nullptr;
    JSAMPROW* volatile rows = nullptr;
    if (setjmp(err.recovery)) {
        jpeg_destroy_decompress(&info);
        std::free(rows);
        std::free(pixels);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = JPEG_WORK_MEMORY;
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    if (info.image_width > unsigned(MAX_JPEG_SIDE) || info.image_height > unsigned(MAX_JPEG_SIDE))
        jpegErrorExit(reinterpret_cast<j_common_ptr>(&info));
    // Grey comes out as three-component RGB; what libjpeg cannot convert
    // (CMYK) fails in jpeg_start_decompress.
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0)
        jpegErrorExit(reinterpret_cast<j_common_ptr>(&info));
    size_t stride = size_t(info.output_width) * 3;
    size_t height = info.output_height;
    pixels = static_cast<unsigned char*>(std::malloc(stride * height));
    rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * height));
    if (!pixels || !rows) jpegErrorExit(reinterpret_cast<j_common_ptr>(&info));
    for (size_t r = 0; r < height; ++r) rows[r] = pixels + r * stride;
    while (info.output_scanline < info.output_height) {
        JDIMENSION done = info.output_scanline;
        jpeg_read_scanlines(&info, rows + done, info.output_height - done);
    }
    int32_t width = int32_t(info.output_width);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::free(rows);
    image.width = width;
    image.height = int32_t(height);
    image.bitsPerPixel = 24;
    image.pixels = pixels;
    return true;
}

bool loadJpeg(const char* path, Image& image) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = readJpeg(f, image);
    std::fclose(f);
    return ok;
}
