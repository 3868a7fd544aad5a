// Texture services that record what a map asks for, without GL or files:
// names counted up from 1, every deletion logged.
#pragma once
#include <cstring>
#include <vector>

#include "client/map/map.h"

struct TextureLog {
    unsigned int nextName = 0;
    std::vector<unsigned int> deleted;
    std::vector<unsigned int> loadFlags;
};
inline TextureLog textureLog;

// Any ".tga" or ".jpg" path loads, unless it names a "missing" file.
inline int fakeLoadTexture(const char* path, int flags) {
    if ((!std::strstr(path, ".tga") && !std::strstr(path, ".jpg")) || std::strstr(path, "missing"))
        return -1;
    textureLog.loadFlags.push_back(unsigned(flags));
    return int(++textureLog.nextName);
}
inline void fakeDeleteTexture(unsigned int name) { textureLog.deleted.push_back(name); }

inline const MapServices FAKE_TEXTURES = {fakeLoadTexture, fakeDeleteTexture, nullptr};
