#include "client/core/settings_file.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "client/core/records.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

std::string valueText(const SettingRow& row, const Settings& s) {
    return row.isText ? std::string(settingText(s, row)) : std::to_string(settingNumber(s, row));
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

// Whether the game, reading the file, gets the chosen values.
bool readsBack(const char* path, const Settings& values, unsigned keys) {
    Settings read;
    for (const SettingRow& row : SETTING_ROWS) {
        if (row.isText) settingText(read, row)[0] = '\0';
        else settingNumber(read, row) = -1;
    }
    readConfigFile(path, &read);
    return settingsMatch(read, values, keys);
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
        const SettingRow* key = nullptr;
        for (const SettingRow& row : SETTING_ROWS)
            if ((keys & row.bit) && word == row.key) key = &row;
        if (!key) {
            out += line;
            continue;
        }
        std::string ending;
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) ending = "\r\n";
        else if (!line.empty() && line.back() == '\n') ending = "\n";
        out += line.substr(0, indent) + key->key + " " + valueText(*key, values) + ending;
        written |= key->bit;
    }
    for (const SettingRow& row : SETTING_ROWS) {
        if (!(keys & row.bit) || (written & row.bit)) continue;
        if (!out.empty() && out.back() != '\n') out += '\n';
        out += std::string(row.key) + " " + valueText(row, values) + "\n";
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
    HeldSettings& held = processRecords.heldSettings;
    for (const SettingRow& row : SETTING_ROWS)
        if (keys & row.bit) copySetting(row, values, &held.values);
    held.keys |= keys;
}

void applyHeldSettings(Settings* s) {
    const HeldSettings& held = processRecords.heldSettings;
    for (const SettingRow& row : SETTING_ROWS)
        if (held.keys & row.bit) copySetting(row, held.values, s);
}

void releaseHeldSettings() { processRecords.heldSettings.keys = 0; }

bool saveOrHoldSettings(const char* path, const Settings& values, unsigned keys) {
    if (saveSettings(path, values, keys)) {
        // What is in the file now speaks for itself; an older held value must
        // not mask it.
        processRecords.heldSettings.keys &= ~keys;
        return true;
    }
    holdSettings(values, keys);
    return false;
}
