#include "client/ui/options_page.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "client/core/settings_file.h"

namespace {
// The frame caps the arrows offer after "Off": the usual display rates.
constexpr int32_t FRAME_CAPS[] = {30, 60, 75, 120, 144, 165, 240, 360, 500};

int32_t nextFrameCap(int32_t value, int delta) {
    if (delta > 0) {
        for (int32_t cap : FRAME_CAPS)
            if (cap > value) return cap;
        return value;  // at the top already
    }
    for (int i = int(std::size(FRAME_CAPS)) - 1; i >= 0; --i)
        if (FRAME_CAPS[i] < value) return FRAME_CAPS[i];
    return 0;  // below the lowest cap: off
}
}  // namespace

OptionsPage::OptionsPage(const char* settingsPath, DisplayModeCheck modeCheck)
    : path(settingsPath), hasMode(modeCheck) {}

bool OptionsPage::fullScreenPossible(const Settings& s) {
    if (!s.fullscreen || !hasMode) return true;
    // Full screen covers the menu (640 x 480 x 16) as well as the match.
    VideoMode modes[2] = {MENU_VIDEO_MODE, videoModeFor(s.videoMode)};
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
    const SettingRow* setting = settingOnPage(row);
    if (!setting) return;
    Settings before = shown;
    int32_t& value = settingNumber(shown, *setting);
    int32_t span = setting->high - setting->low + 1;
    switch (setting->shown) {
    case Shown::OnOff: value = value ? 0 : 1; break;
    case Shown::FrameCap: value = nextFrameCap(value, delta); break;
    case Shown::VideoMode:  // round the table of modes
        value = setting->low + (value - setting->low + span + delta) % span;
        break;
    default: value = std::clamp(value + delta, setting->low, setting->high); break;
    }
    if (!fullScreenPossible(shown)) {
        shown = before;
        lastSave = SaveStatus::Refused;
        return;
    }
    lastSave = saveOrHoldSettings(path, shown, setting->bit) ? SaveStatus::Saved : SaveStatus::Held;
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
    const SettingRow* setting = settingOnPage(row);
    if (!setting) {
        std::snprintf(out, size, "%s", "");
        return;
    }
    int32_t value = settingNumber(shown, *setting);
    switch (setting->shown) {
    case Shown::VideoMode: {
        VideoMode m = videoModeFor(value);
        std::snprintf(out, size, "%dx%d %d-bit", m.width, m.height, m.colourBits);
        break;
    }
    case Shown::OnOff: std::snprintf(out, size, "%s", value ? "On" : "Off"); break;
    case Shown::FrameCap:
        if (value == 0) std::snprintf(out, size, "%s", "Off");
        else std::snprintf(out, size, "%d", int(value));
        break;
    default: std::snprintf(out, size, "%d", int(value)); break;
    }
}
