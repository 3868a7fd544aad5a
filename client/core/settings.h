// The client's settings: one table of rows, read from "../config.cfg" at every
// screen switch and written back, one line at a time, by the menu's pages
// (client/core/settings_file.h). The record itself (`settings`) lives with the
// process's records (client/core/records.h); readers take a copy of it.
//
// To add a setting, add one row to BLAST_SETTINGS: the Settings field, the
// reader, the writer and (with a page row) the Options page follow from it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "protocol/protocol.h"

// What a value read from the file outside a row's range becomes.
enum class OutOfRange {
    Clamp,        // the nearest end of the range
    Default,      // the row's default
    LowByteFlag,  // 1 when its low byte is not 0, else 0 (only the low byte ever counted)
    OffOrClamp,   // 0 or below: 0 (off); otherwise the nearest value within the range
};

// How the Options page shows and steps a row.
enum class Shown {
    No,         // not on the page
    Number,     // "7"; the arrows step by one within the range
    OnOff,      // "On" / "Off"; either arrow flips it
    VideoMode,  // "800x600 32-bit"; the arrows run round the table of modes that fit the display
    FrameCap,   // "Off" / "144"; the arrows step through the usual display rates
};

// One row a line: the key (the file's word and the field's name), the name of
// its bit for the writer, then
//   INT(key, bit, default, low, high, outOfRange, pageRow, shown, "label")
//   TEXT(key, bit, default, capacity)    one word, cut to capacity - 1
// pageRow is the row on the Options page counted from the top (-1: none).
#define BLAST_SETTINGS(INT, TEXT)                                                          \
    INT(videoMode, KEY_VIDEO_MODE, 0, 0, 8, OutOfRange::Default, 2, Shown::VideoMode,      \
        "Video mode")                                                                      \
    INT(fullscreen, KEY_FULLSCREEN, 0, 0, 1, OutOfRange::LowByteFlag, 3, Shown::OnOff,     \
        "Full screen")                                                                     \
    INT(volume, KEY_VOLUME, 10, 0, 10, OutOfRange::Clamp, 0, Shown::Number, "Volume")      \
    INT(mouseSensitivity, KEY_SENSITIVITY, 5, 0, 20, OutOfRange::Clamp, 1, Shown::Number,  \
        "Mouse sensitivity")                                                               \
    INT(maxFps, KEY_MAX_FPS, 0, 30, 500, OutOfRange::OffOrClamp, 4, Shown::FrameCap,       \
        "Frame cap")                                                                       \
    INT(vsync, KEY_VSYNC, 0, 0, 1, OutOfRange::Clamp, 5, Shown::OnOff, "Vertical sync")    \
    INT(recordMatches, KEY_RECORD_MATCHES, 1, 0, 1, OutOfRange::LowByteFlag, 6,            \
        Shown::OnOff, "Record matches")                                                    \
    TEXT(playerName, KEY_PLAYER_NAME, "Unknown", protocol::PLAYER_NAME_SIZE)               \
    TEXT(serverName, KEY_SERVER_NAME, "127.0.0.1", 21)

struct Settings {
#define BLAST_SETTING_FIELD_INT(key, bit, def, ...) int32_t key = def;
#define BLAST_SETTING_FIELD_TEXT(key, bit, def, capacity) char key[capacity] = def;
    BLAST_SETTINGS(BLAST_SETTING_FIELD_INT, BLAST_SETTING_FIELD_TEXT)
#undef BLAST_SETTING_FIELD_INT
#undef BLAST_SETTING_FIELD_TEXT
};

// Each row's place in the table, then its bit: a set of keys for the writer.
enum SettingIndex : int {
#define BLAST_SETTING_INDEX(key, bit, ...) bit##_INDEX,
    BLAST_SETTINGS(BLAST_SETTING_INDEX, BLAST_SETTING_INDEX)
#undef BLAST_SETTING_INDEX
    SETTING_COUNT
};
enum SettingKey : unsigned {
#define BLAST_SETTING_BIT(key, bit, ...) bit = 1u << bit##_INDEX,
    BLAST_SETTINGS(BLAST_SETTING_BIT, BLAST_SETTING_BIT)
#undef BLAST_SETTING_BIT
};

struct SettingRow {
    const char* key;
    SettingKey bit;
    bool isText;
    size_t offset;         // of the field in Settings
    size_t capacity;       // text rows: the field's size
    int32_t defaultValue;  // integer rows
    int32_t low, high;
    OutOfRange outOfRange;
    int pageRow;
    Shown shown;
    const char* label;
};

inline constexpr SettingRow SETTING_ROWS[SETTING_COUNT] = {
#define BLAST_SETTING_ROW_INT(key, bit, def, low, high, outside, pageRow, shown, label) \
    {#key, bit, false, offsetof(Settings, key), 0, def, low, high, outside, pageRow, shown, label},
#define BLAST_SETTING_ROW_TEXT(key, bit, def, capacity) \
    {#key, bit, true, offsetof(Settings, key), capacity, 0, 0, 0, OutOfRange::Clamp, -1, Shown::No, ""},
    BLAST_SETTINGS(BLAST_SETTING_ROW_INT, BLAST_SETTING_ROW_TEXT)
#undef BLAST_SETTING_ROW_INT
#undef BLAST_SETTING_ROW_TEXT
};

// A row's field in a record: integer rows by number, text rows by text.
inline int32_t& settingNumber(Settings& s, const SettingRow& row) {
    return *reinterpret_cast<int32_t*>(reinterpret_cast<char*>(&s) + row.offset);
}
inline int32_t settingNumber(const Settings& s, const SettingRow& row) {
    return *reinterpret_cast<const int32_t*>(reinterpret_cast<const char*>(&s) + row.offset);
}
inline char* settingText(Settings& s, const SettingRow& row) {
    return reinterpret_cast<char*>(&s) + row.offset;
}
inline const char* settingText(const Settings& s, const SettingRow& row) {
    return reinterpret_cast<const char*>(&s) + row.offset;
}

// The row of a key word, or null.
const SettingRow* settingRow(const char* key);
// The row shown at a place on the Options page, or null.
constexpr const SettingRow* settingOnPage(int pageRow) {
    for (const SettingRow& row : SETTING_ROWS)
        if (row.pageRow == pageRow && pageRow >= 0) return &row;
    return nullptr;
}
// How many rows the Options page shows.
constexpr int settingsOnPage() {
    int n = 0;
    for (const SettingRow& row : SETTING_ROWS) n += row.pageRow >= 0;
    return n;
}

// The ranges the page and the file keep to, by name.
constexpr int32_t VOLUME_MIN = SETTING_ROWS[KEY_VOLUME_INDEX].low;
constexpr int32_t VOLUME_MAX = SETTING_ROWS[KEY_VOLUME_INDEX].high;
constexpr int32_t SENSITIVITY_MIN = SETTING_ROWS[KEY_SENSITIVITY_INDEX].low;
constexpr int32_t SENSITIVITY_MAX = SETTING_ROWS[KEY_SENSITIVITY_INDEX].high;

// Menu choices that hold for the rest of this run whatever the file says
// (the file could not keep them): every later read ends by applying them.
struct HeldSettings {
    Settings values;
    unsigned keys = 0;  // SettingKey bits
};

// Reads key/value lines into `out`; the last line of a key wins. Integers take
// "%i" rules (sign, decimal, 0x hex, leading-0 octal) and a value outside its
// row's range becomes what the row says. Texts are one word, cut to fit. Lines
// are read in pieces of 255 characters; unknown keys are skipped. False when
// the file cannot be opened (`out` keeps its values).
bool readConfigFile(const char* path, Settings* out);

// Re-reads every setting from a file the way each screen does: playerName
// starts again from "Unknown", the others keep their values; choices held for
// this run are applied; the name is made safe for the network (no blanks, no '+').
void loadSettings(const char* path);

// Copies one row's value between two records.
void copySetting(const SettingRow& row, const Settings& from, Settings* to);
// Whether two records agree on every row in `keys`.
bool settingsMatch(const Settings& a, const Settings& b, unsigned keys);

struct VideoMode {
    int width, height, colourBits;
    bool desktop = false;  // the desktop's own mode: full screen needs no mode switch
};
// videoMode rows: 0-5 the 4:3 modes, 6 1280x720x32, 7 1920x1080x32, 8 the
// desktop's own resolution and depth.
constexpr int32_t VIDEO_MODE_DESKTOP = 8;
// The match window's size for a videoMode value, given the desktop's mode for
// row 8 (desktopVideoMode, client/core/glwindow.h; none known gives
// 640x480x32). Values outside the table give 640x480x16.
VideoMode videoModeFor(int32_t videoMode, const VideoMode& desktop = VideoMode{0, 0, 32});
// The menu's window: always 640 x 480 x 16.
constexpr VideoMode MENU_VIDEO_MODE = {640, 480, 16};
