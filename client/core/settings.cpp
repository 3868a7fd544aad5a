#include "client/core/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client/core/records.h"
#include "client/core/settings_file.h"
#include "platform/text.h"

namespace {

constexpr int LINE_SIZE = 256;  // a line is read in pieces of at most 255 characters

// The value word of a "key value" line, when both words scan.
bool scanValue(const char* line, char (&word)[LINE_SIZE]) {
    char key[128];
    return std::sscanf(line, "%127s %255s", key, word) == 2;
}

// "%i" value of a "key value" line. Out of range of a long it saturates, so
// nothing is undefined.
bool scanLong(const char* line, long* out) {
    char word[LINE_SIZE];
    if (!scanValue(line, word)) return false;
    char* end = word;
    long value = std::strtol(word, &end, 0);  // sign, decimal, 0x hex, leading-0 octal
    if (end == word) return false;
    *out = value;
    return true;
}

void readRow(const SettingRow& row, const char* line, Settings* out) {
    if (row.isText) {
        char word[LINE_SIZE];
        if (scanValue(line, word)) platform::copyText(settingText(*out, row), row.capacity, word);
        return;
    }
    long value = 0;
    if (!scanLong(line, &value)) return;
    int32_t& field = settingNumber(*out, row);
    switch (row.outOfRange) {
    case OutOfRange::Clamp:
        // Kept within range so no arithmetic on it later can overflow.
        field = int32_t(std::clamp(value, long(row.low), long(row.high)));
        break;
    case OutOfRange::Default:
        field = value >= row.low && value <= row.high ? int32_t(value) : row.defaultValue;
        break;
    case OutOfRange::LowByteFlag: field = (value & 0xFF) != 0 ? 1 : 0; break;
    case OutOfRange::OffOrClamp:
        field = value <= 0 ? 0 : int32_t(std::clamp(value, long(row.low), long(row.high)));
        break;
    }
}

void sanitizeName(char* name) {
    // States carry the name as one blank-delimited word and end in "+checksum".
    for (char* c = name; *c; ++c)
        if (*c == ' ' || *c == '+') *c = '_';
}

}  // namespace

const SettingRow* settingRow(const char* key) {
    for (const SettingRow& row : SETTING_ROWS)
        if (std::strcmp(row.key, key) == 0) return &row;
    return nullptr;
}

bool readConfigFile(const char* path, Settings* out) {
    // Read-only: a write-protected settings file must still be read.
    FILE* f = std::fopen(path, "r");
    if (!f) return false;
    char line[LINE_SIZE];
    while (std::fgets(line, sizeof line, f)) {
        char key[128];
        if (std::sscanf(line, "%127s", key) != 1) continue;
        if (const SettingRow* row = settingRow(key)) readRow(*row, line, out);
    }
    std::fclose(f);
    return true;
}

void copySetting(const SettingRow& row, const Settings& from, Settings* to) {
    if (row.isText) platform::copyText(settingText(*to, row), row.capacity, settingText(from, row));
    else settingNumber(*to, row) = settingNumber(from, row);
}

bool settingsMatch(const Settings& a, const Settings& b, unsigned keys) {
    for (const SettingRow& row : SETTING_ROWS) {
        if (!(keys & row.bit)) continue;
        bool same = row.isText ? std::strcmp(settingText(a, row), settingText(b, row)) == 0
                               : settingNumber(a, row) == settingNumber(b, row);
        if (!same) return false;
    }
    return true;
}

VideoMode videoModeFor(int32_t videoMode, const VideoMode& desktop) {
    switch (videoMode) {
    case 1: return {800, 600, 16};
    case 2: return {1024, 768, 16};
    case 3: return {640, 480, 32};
    case 4: return {800, 600, 32};
    case 5: return {1024, 768, 32};
    case 6: return {1280, 720, 32};
    case 7: return {1920, 1080, 32};
    case VIDEO_MODE_DESKTOP:
        // Full screen over the desktop takes the desktop's size whatever is
        // asked; a window needs some size, and the smallest mode is safe.
        if (desktop.width <= 0 || desktop.height <= 0) return {640, 480, 32, true};
        return {desktop.width, desktop.height, desktop.colourBits == 16 ? 16 : 32, true};
    default: return {640, 480, 16};
    }
}


void loadSettings(const char* path) {
    platform::copyText(settings.playerName, "Unknown");
    readConfigFile(path, &settings);
    // Choices made in the menu that the file could not keep (nothing is held
    // unless the player used the menu's settings pages).
    applyHeldSettings(&settings);
    if (settings.playerName[0] == '\0')
        platform::copyText(settings.playerName, "Unknown");
    sanitizeName(settings.playerName);
}
