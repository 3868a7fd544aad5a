#include "client/ui/options_page.h"

#include <algorithm>
#include <cstdio>

#include "client/core/settings_file.h"

namespace {
constexpr int32_t VIDEO_MODES = 6;  // videoModeFor's table
const SettingKey ROW_KEYS[OPTION_COUNT] = {KEY_VOLUME, KEY_SENSITIVITY, KEY_VIDEO_MODE,
                                           KEY_FULLSCREEN};
}  // namespace

OptionsPage::OptionsPage(const char* settingsPath, DisplayModeCheck modeCheck)
    : path(settingsPath), hasMode(modeCheck) {}

bool OptionsPage::fullScreenPossible(const Settings& s) {
    if (!s.fullscreen || !hasMode) return true;
    // Full screen covers the menu (640 x 480 x 16) as well as the match.
    VideoMode modes[2] = {{640, 480, 16}, videoModeFor(s.videoMode)};
    for (const VideoMode& m : modes)
        if (!hasMode(m.width, m.height, m.colourBits)) {
            std::snprintf(missing, sizeof missing, "%dx%d", m.width, m.height);
            return false;
        }
    return true;
}

void OptionsPage::open(const Settings& current) {
    shown = current;
    lastSave = SaveStatus::Unchanged;
}

void OptionsPage::change(int row, int delta) {
    Settings before = shown;
    switch (row) {
    case 0: shown.volume = std::clamp(shown.volume + delta, VOLUME_MIN, VOLUME_MAX); break;
    case 1:
        shown.mouseSensitivity =
            std::clamp(shown.mouseSensitivity + delta, SENSITIVITY_MIN, SENSITIVITY_MAX);
        break;
    case 2: shown.videoMode = (shown.videoMode + VIDEO_MODES + delta) % VIDEO_MODES; break;
    default: shown.fullscreen = shown.fullscreen ? 0 : 1; break;
    }
    if (!fullScreenPossible(shown)) {
        shown = before;
        lastSave = SaveStatus::Refused;
        return;
    }
    lastSave = saveOrHoldSettings(path, shown, ROW_KEYS[row]) ? SaveStatus::Saved : SaveStatus::Held;
}

int OptionsPage::clicked(int x, int yUp) {
    for (int row = 0; row < OPTION_COUNT; ++row) {
        MenuSpinner s = optionsSpinner(row);
        if (rectContains(s.less, x, yUp)) change(row, -1);
        else if (rectContains(s.more, x, yUp)) change(row, 1);
        else continue;
        return row;
    }
    return -1;
}

bool OptionsPage::hovered(int x, int yUp, MenuRect* spot) const {
    for (int row = 0; row < OPTION_COUNT; ++row) {
        MenuSpinner s = optionsSpinner(row);
        for (const MenuRect& r : {s.less, s.more})
            if (rectContains(r, x, yUp)) {
                *spot = r;
                return true;
            }
    }
    return false;
}

void OptionsPage::valueText(int row, char* out, size_t size) const {
    switch (row) {
    case 0: std::snprintf(out, size, "%d", int(shown.volume)); break;
    case 1: std::snprintf(out, size, "%d", int(shown.mouseSensitivity)); break;
    case 2: {
        VideoMode m = videoModeFor(shown.videoMode);
        std::snprintf(out, size, "%dx%d %d-bit", m.width, m.height, m.colourBits);
        break;
    }
    default: std::snprintf(out, size, "%s", shown.fullscreen ? "On" : "Off"); break;
    }
}
