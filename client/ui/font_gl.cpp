#include <GL/gl.h>

#include "client/ui/font.h"

#include "client/core/records.h"
#include "client/core/trace.h"
#include "platform/font.h"

void createFont(int height, int weight, const char* face) {
    fontListBase = glGenLists(256);
    screenRecords.fontHeight = height;
    platform::buildFontLists(face, height, weight, fontListBase, 0, 255);
    trace(TRACE_FONT, height);
}

void deleteFont() {
    if (fontListBase != 0) glDeleteLists(fontListBase, 256);
    fontListBase = 0;
    screenRecords.fontHeight = 0;
}

void fitFont(int height, int weight, const char* face) {
    if (fontListBase != 0 && screenRecords.fontHeight == height) return;
    deleteFont();
    createFont(height, weight, face);
}
