#include "client/shell/settings.h"

#include <cstdio>
#include <cstring>

#include "platform/text.h"

Settings settings;
float mouseLookFactor = MOUSE_LOOK_FACTOR_AT_START;

namespace {

constexpr int LINE_SIZE = 256;  // a line is read in pieces of at most 255 characters

// "%i" value of a "key value" line, only when both the key and the value scan.
bool scanInt(const char* line, int32_t* out) {
    char key[128];
    long value = 0;
    if (std::sscanf(line, "%127s %li", key, &value) != 2) return false;
    *out = int32_t(value);
    return true;
}

// One-word text value, cut to `size` - 1 characters.
bool scanWord(const char* line, char* out, size_t size) {
    char key[128];
    char word[LINE_SIZE];
    if (std::sscanf(line, "%127s %255s", key, word) != 2) return false;
    platform::copyText(out, size, word);
    return true;
}

void sanitizeName(char* name) {
    // States carry the name as one blank-delimited word and end in "+checksum".
    for (char* c = name; *c; ++c)
        if (*c == ' ' || *c == '+') *c = '_';
}

}  // namespace

bool readConfigFile(const char* path, int32_t* videoMode, int32_t* fullscreen, int32_t* volume,
                    int32_t* mouseSensitivity, char* playerName, char* serverName) {
    // Read-only: a write-protected settings file must still be read.
    FILE* f = std::fopen(path, "r");
    if (!f) return false;
    char line[LINE_SIZE];
    while (std::fgets(line, sizeof line, f)) {
        char key[128];
        if (std::sscanf(line, "%127s", key) != 1) continue;
        if (std::strcmp(key, "videoMode") == 0) scanInt(line, videoMode);
        else if (std::strcmp(key, "fullscreen") == 0) scanInt(line, fullscreen);
        else if (std::strcmp(key, "volume") == 0) scanInt(line, volume);
        else if (std::strcmp(key, "mouseSensitivity") == 0) scanInt(line, mouseSensitivity);
        else if (std::strcmp(key, "playerName") == 0) scanWord(line, playerName, sizeof Settings::playerName);
        else if (std::strcmp(key, "serverName") == 0) scanWord(line, serverName, sizeof Settings::serverName);
    }
    std::fclose(f);
    return true;
}

VideoMode videoModeFor(int32_t videoMode) {
    switch (videoMode) {
    case 1: return {800, 600, 16};
    case 2: return {1024, 768, 16};
    case 3: return {640, 480, 32};
    case 4: return {800, 600, 32};
    case 5: return {1024, 768, 32};
    default: return {640, 480, 16};
    }
}

void loadSettings(const char* path) {
    platform::copyText(settings.playerName, "Unknown");
    readConfigFile(path, &settings.videoMode, &settings.fullscreen, &settings.volume,
                   &settings.mouseSensitivity, settings.playerName, settings.serverName);
    if (settings.playerName[0] == '\0')
        platform::copyText(settings.playerName, "Unknown");
    sanitizeName(settings.playerName);
}
