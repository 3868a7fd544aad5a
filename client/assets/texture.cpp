#include "client/assets/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

void freeImage(Image& image) {
    std::free(image.pixels);
    image.pixels = nullptr;
}

namespace {

long fileSize(FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(f);
    if (std::fseek(f, 0, SEEK_SET) != 0) return -1;
    return size;
}

}  // namespace

bool loadTga(const char* path, Image& image) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    unsigned char header[18];
    if (std::fread(header, 1, sizeof header, f) != sizeof header || header[2] != 2) {
        std::fclose(f);
        return false;
    }
    int width = header[12] | (header[13] << 8);
    int height = header[14] | (header[15] << 8);
    int bits = header[16];
    // The pixels must be in the file: a short file fails before any allocation.
    size_t bytes = size_t(width) * size_t(height) * size_t(bits / 8);
    long size = fileSize(f);
    if ((bits != 24 && bits != 32) || width == 0 || height == 0 || size < 0 ||
        size_t(size) - 18 < bytes || std::fseek(f, 18, SEEK_SET) != 0) {
        std::fclose(f);
        return false;
    }
    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(bytes));
    if (!pixels || std::fread(pixels, 1, bytes, f) != bytes) {
        std::free(pixels);
        std::fclose(f);
        return false;
    }
    int step = bits / 8;
    for (size_t i = 0; i + 2 < bytes; i += size_t(step)) {
        unsigned char b = pixels[i];
        pixels[i] = pixels[i + 2];
        pixels[i + 2] = b;
    }
    std::fclose(f);
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bits;
    image.pixels = pixels;
    return true;
}

namespace {

// libjpeg reports errors by calling error_exit, which must not return: jump
// back into the loader so a bad file fails the load instead of the process.
struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf recovery;
};

void jpegErrorExit(j_common_ptr info) {
    JpegError* err = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(err->recovery, 1);
}

void jpegSilence(j_common_ptr, int) {}

}  // namespace

bool loadJpeg(const char* path, Image& image) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    JpegError err;
    info.err = jpeg_std_error(&err.manager);
    err.manager.error_exit = jpegErrorExit;
    err.manager.emit_message = jpegSilence;
    // Volatile: read after a longjmp back into this frame.
    unsigned char* volatile pixels = nullptr;
    JSAMPROW* volatile rows = nullptr;
    if (setjmp(err.recovery)) {
        jpeg_destroy_decompress(&info);
        std::free(rows);
        std::free(pixels);
        std::fclose(f);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    // Grey, CMYK or anything else comes out as three-component RGB.
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0) {
        jpeg_destroy_decompress(&info);
        std::fclose(f);
        return false;
    }
    size_t stride = size_t(info.output_width) * 3;
    size_t height = info.output_height;
    pixels = static_cast<unsigned char*>(std::malloc(stride * height));
    rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * height));
    if (!pixels || !rows) std::longjmp(err.recovery, 1);
    for (size_t r = 0; r < height; ++r) rows[r] = pixels + r * stride;
    while (info.output_scanline < info.output_height) {
        JDIMENSION done = info.output_scanline;
        jpeg_read_scanlines(&info, rows + done, info.output_height - done);
    }
    std::free(rows);
    rows = nullptr;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    image.width = int32_t(info.output_width);
    image.height = int32_t(height);
    image.bitsPerPixel = 24;
    image.pixels = pixels;
    return true;
}

int loadTexture(const char* path, int flags) {
    Image image;
    bool read = false;
    if (std::strstr(path, ".tga")) {
        if (!loadTga(path, image)) return -1;
        read = true;
    }
    if (std::strstr(path, ".jpg")) {
        freeImage(image);
        if (!loadJpeg(path, image)) return -1;
        read = true;
    }
    // Neither extension: there is no picture to upload.
    if (!read) return -1;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    int components = image.bitsPerPixel / 8;
    gluBuild2DMipmaps(GL_TEXTURE_2D, components, image.width, image.height,
                      image.bitsPerPixel == 32 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, image.pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    if (flags & TEXTURE_TRILINEAR)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    GLfloat wrap = (flags & TEXTURE_REPEAT) ? GLfloat(GL_REPEAT) : GLfloat(GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    freeImage(image);
    return int(name);
}
