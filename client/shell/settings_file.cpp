#include "client/shell/settings_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/text.h"

namespace {

struct KeyInfo {
    SettingKey bit;
    const char* name;
};

const KeyInfo KEYS[] = {
    {KEY_VIDEO_MODE, "videoMode"},     {KEY_FULLSCREEN, "fullscreen"},
    {KEY_VOLUME, "volume"},            {KEY_SENSITIVITY, "mouseSensitivity"},
    {KEY_PLAYER_NAME, "playerName"},   {KEY_SERVER_NAME, "serverName"},
};

std::string valueText(SettingKey key, const Settings& s) {
    switch (key) {
    case KEY_VIDEO_MODE: return std::to_string(s.videoMode);
    case KEY_FULLSCREEN: return std::to_string(s.fullscreen);
    case KEY_VOLUME: return std::to_string(s.volume);
    case KEY_SENSITIVITY: return std::to_string(s.mouseSensitivity);
    case KEY_PLAYER_NAME: return s.playerName;
    case KEY_SERVER_NAME: return s.serverName;
    }
    return "";
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

// The first word of a line as the reader sees it, and where the line starts
// after its leading blanks.
std::string firstWord(const std::string& line, size_t* indent) {
    size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    *indent = i;
    size_t end = i;
    while (end < line.size() && !isBlank(line[end]) && line[end] != '\n') ++end;
    return line.substr(i, end - i);
}

Settings held;
unsigned heldKeys = 0;

bool matches(const Settings& a, const Settings& b, unsigned keys) {
    return (!(keys & KEY_VIDEO_MODE) || a.videoMode == b.videoMode) &&
           (!(keys & KEY_FULLSCREEN) || a.fullscreen == b.fullscreen) &&
           (!(keys & KEY_VOLUME) || a.volume == b.volume) &&
           (!(keys & KEY_SENSITIVITY) || a.mouseSensitivity == b.mouseSensitivity) &&
           (!(keys & KEY_PLAYER_NAME) || std::strcmp(a.playerName, b.playerName) == 0) &&
           (!(keys & KEY_SERVER_NAME) || std::strcmp(a.serverName, b.serverName) == 0);
}

// Whether the game, reading the file, gets the chosen values.
bool readsBack(const char* path, const Settings& values, unsigned keys) {
    Settings read;
    read.videoMode = read.fullscreen = read.volume = read.mouseSensitivity = -1;
    read.playerName[0] = read.serverName[0] = '\0';
    readConfigFile(path, &read.videoMode, &read.fullscreen, &read.volume, &read.mouseSensitivity,
                   read.playerName, read.serverName);
    return matches(read, values, keys);
}

}  // namespace

std::string settingsWithValues(const std::string& original, const Settings& values, unsigned keys) {
    std::string out;
    unsigned written = 0;
    size_t start = 0;
    while (start < original.size()) {
        size_t newline = original.find('\n', start);
        size_t end = newline == std::string::npos ? original.size() : newline + 1;
        std::string line = original.substr(start, end - start);
        start = end;
        size_t indent = 0;
        std::string word = firstWord(line, &indent);
        const KeyInfo* key = nullptr;
        for (const KeyInfo& k : KEYS)
            if ((keys & k.bit) && word == k.name) key = &k;
        if (!key) {
            out += line;
            continue;
        }
        std::string ending;
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) ending = "\r\n";
        else if (!line.empty() && line.back() == '\n') ending = "\n";
        out += line.substr(0, indent) + key->name + " " + valueText(key->bit, values) + ending;
        written |= key->bit;
    }
    for (const KeyInfo& k : KEYS) {
        if (!(keys & k.bit) || (written & k.bit)) continue;
        if (!out.empty() && out.back() != '\n') out += '\n';
        out += std::string(k.name) + " " + valueText(k.bit, values) + "\n";
    }
    return out;
}

bool saveSettings(const char* path, const Settings& values, unsigned keys) {
    if (!platform::mayReplaceFile(path)) return false;
    std::string original;
    if (platform::fileExists(path) && !platform::readWholeFile(path, &original)) return false;
    std::string text = settingsWithValues(original, values, keys);
    if (!platform::replaceFileAtomically(path, text)) return false;
    if (readsBack(path, values, keys)) return true;
    // The reader takes lines in pieces of 255 characters, so a piece of an
    // overlong line can name one of our keys after its line. Saved lines
    // added at the end win over it.
    if (!text.empty() && text.back() != '\n') text += '\n';
    text += settingsWithValues("", values, keys);
    return platform::replaceFileAtomically(path, text) && readsBack(path, values, keys);
}

void holdSettings(const Settings& values, unsigned keys) {
    if (keys & KEY_VIDEO_MODE) held.videoMode = values.videoMode;
    if (keys & KEY_FULLSCREEN) held.fullscreen = values.fullscreen;
    if (keys & KEY_VOLUME) held.volume = values.volume;
    if (keys & KEY_SENSITIVITY) held.mouseSensitivity = values.mouseSensitivity;
    if (keys & KEY_PLAYER_NAME) platform::copyText(held.playerName, values.playerName);
    if (keys & KEY_SERVER_NAME) platform::copyText(held.serverName, values.serverName);
    heldKeys |= keys;
}

void applyHeldSettings(Settings* s) {
    if (heldKeys & KEY_VIDEO_MODE) s->videoMode = held.videoMode;
    if (heldKeys & KEY_FULLSCREEN) s->fullscreen = held.fullscreen;
    if (heldKeys & KEY_VOLUME) s->volume = held.volume;
    if (heldKeys & KEY_SENSITIVITY) s->mouseSensitivity = held.mouseSensitivity;
    if (heldKeys & KEY_PLAYER_NAME) platform::copyText(s->playerName, held.playerName);
    if (heldKeys & KEY_SERVER_NAME) platform::copyText(s->serverName, held.serverName);
}

void releaseHeldSettings() { heldKeys = 0; }

bool saveOrHoldSettings(const char* path, const Settings& values, unsigned keys) {
    if (saveSettings(path, values, keys)) {
        // What is in the file now speaks for itself; an older held value must
        // not mask it.
        heldKeys &= ~keys;
        return true;
    }
    holdSettings(values, keys);
    return false;
}
