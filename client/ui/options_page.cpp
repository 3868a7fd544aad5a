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

OptionsPage::OptionsPage(const char* settingsPath, DisplayModeCheck modeCheck,
                         DesktopModeQuery desktopQuery)
    : path(settingsPath), hasMode(modeCheck), desktop(desktopQuery) {}

VideoMode OptionsPage::desktopMode() const {
    VideoMode mode{0, 0, 32, true};
    if (!desktop || !desktop(&mode.width, &mode.height, &mode.colourBits)) return {0, 0, 32, true};
    return mode;
}

bool OptionsPage::fitsDisplay(int32_t videoMode) {
    VideoMode d = desktopMode();
    VideoMode m = videoModeFor(videoMode, d);
    if (d.width <= 0 || d.height <= 0 || (m.width <= d.width && m.height <= d.height)) return true;
    std::snprintf(tooLarge, sizeof tooLarge, "%dx%d", m.width, m.height);
    return false;
}

bool OptionsPage::fullScreenPossible(const Settings& s) {
    if (!s.fullscreen || !hasMode) return true;
    // Over the desktop there is no mode to switch to, for menu and match alike.
    if (s.videoMode == VIDEO_MODE_DESKTOP) return true;
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
    tooLarge[0] = '\0';
}

void OptionsPage::change(int row, int delta) {
    const SettingRow* setting = settingOnPage(row);
    if (!setting) return;
    Settings before = shown;
    int32_t& value = settingNumber(shown, *setting);
    int32_t span = setting->high - setting->low + 1;
    tooLarge[0] = '\0';
    switch (setting->shown) {
    case Shown::OnOff: value = value ? 0 : 1; break;
    case Shown::FrameCap: value = nextFrameCap(value, delta); break;
    case Shown::VideoMode:  // round the table of modes, over those larger than the display
        for (int tries = 0; tries < span; ++tries) {
            value = setting->low + (value - setting->low + span + delta) % span;
            if (fitsDisplay(value)) break;
        }
        break;
    default: value = std::clamp(value + delta, setting->low, setting->high); break;
    }
    if (!fullScreenPossible(shown)) {
        shown = before;
        tooLarge[0] = '\0';  // nothing was chosen: the refusal is the news
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
        VideoMode d = desktopMode();
        VideoMode m = videoModeFor(value, d);
        if (value == VIDEO_MODE_DESKTOP && d.width > 0)
            std::snprintf(out, size, "Desktop %dx%d", d.width, d.height);
        else if (value == VIDEO_MODE_DESKTOP)
            std::snprintf(out, size, "%s", "Desktop");
        else
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
