#include "client/shell/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client/shell/settings_file.h"
#include "platform/text.h"

Settings settings;
float mouseLookFactor = MOUSE_LOOK_FACTOR_AT_START;

namespace {

constexpr int LINE_SIZE = 256;  // a line is read in pieces of at most 255 characters

// "%i" value of a "key value" line, only when both the key and the value scan.
// Out of range of a long it saturates, so nothing is undefined.
bool scanLong(const char* line, long* out) {
    char key[128];
    char word[LINE_SIZE];
    if (std::sscanf(line, "%127s %255s", key, word) != 2) return false;
    char* end = word;
    long value = std::strtol(word, &end, 0);  // sign, decimal, 0x hex, leading-0 octal
    if (end == word) return false;
    *out = value;
    return true;
}

// Kept within [low, high] so no arithmetic on it later can overflow.
void scanInRange(const char* line, int32_t* out, long low, long high) {
    long value = 0;
    if (scanLong(line, &value)) *out = int32_t(std::clamp(value, low, high));
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
        long value = 0;
        if (std::strcmp(key, "videoMode") == 0) {
            // Modes outside the table have always meant the smallest window.
            if (scanLong(line, &value)) *videoMode = (value >= 0 && value <= 5) ? int32_t(value) : 0;
        } else if (std::strcmp(key, "fullscreen") == 0) {
            // Only the low byte ever counted: 256 is a window, 2 full screen.
            if (scanLong(line, &value)) *fullscreen = (value & 0xFF) != 0 ? 1 : 0;
        } else if (std::strcmp(key, "volume") == 0) {
            scanInRange(line, volume, VOLUME_MIN, VOLUME_MAX);
        } else if (std::strcmp(key, "mouseSensitivity") == 0) {
            scanInRange(line, mouseSensitivity, SENSITIVITY_MIN, SENSITIVITY_MAX);
        }
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
    // Choices made in the menu that the file could not keep (nothing is held
    // unless the player used the menu's settings pages).
    applyHeldSettings(&settings);
    if (settings.playerName[0] == '\0')
        platform::copyText(settings.playerName, "Unknown");
    sanitizeName(settings.playerName);
}
