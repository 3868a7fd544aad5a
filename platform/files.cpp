// Whole-file reads, the same on every system; the rest is in files_posix.cpp
// and files_win.cpp.
#include "platform/files.h"

#include <cstdio>

namespace platform {

bool readWholeFile(const char* path, std::string* out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (ok) *out = text;
    return ok;
}

}  // namespace platform
