#include "client/assets/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstring>

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
    // Our rows have no padding; GL's default 4-byte row alignment would read
    // RGB pictures whose width is not a multiple of 4 skewed and past the end.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    int components = image.bitsPerPixel / 8;
    gluBuild2DMipmaps(GL_TEXTURE_2D, components, image.width, image.height,
                      image.bitsPerPixel == 32 ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, image.pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
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
