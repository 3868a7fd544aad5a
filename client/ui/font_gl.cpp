#include <GL/gl.h>

#include "client/ui/font.h"

#include "client/core/records.h"
#include "platform/font.h"

void createFont(int height, int weight, const char* face) {
    fontListBase = glGenLists(256);
    platform::buildFontLists(face, height, weight, fontListBase, 0, 255);
}

void deleteFont() {
    if (fontListBase != 0) glDeleteLists(fontListBase, 256);
    fontListBase = 0;
}
