#include "picture_files.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <unistd.h>

std::string scratchPath(const std::string& name) {
    static std::string folder;
    if (folder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp ? tmp : "/tmp") + "/blast-pictures-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) folder = buffer.data();
    }
    return folder + "/" + name;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    // An empty file is written by opening it: fwrite takes no null buffer.
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

Bytes tgaFile(int type, int width, int height, int bits, const Bytes& pixels, const Bytes& id) {
    Bytes out(18, 0);
    out[0] = uint8_t(id.size());
    out[2] = uint8_t(type);
    out[12] = uint8_t(width);
    out[13] = uint8_t(width >> 8);
    out[14] = uint8_t(height);
    out[15] = uint8_t(height >> 8);
    out[16] = uint8_t(bits);
    out.insert(out.end(), id.begin(), id.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

Bytes jpegFile(int width, int height, int components, const Painter& paint, bool progressive) {
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : (components == 4 ? JCS_CMYK : JCS_RGB);
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    Bytes row(size_t(width) * size_t(components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) paint(x, int(info.next_scanline), &row[size_t(x) * components]);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}
