// The menu's Options page without its drawing: every setting whose row in the
// settings table has a page row (volume, mouse sensitivity, video mode, full
// screen, frame cap, vertical sync, record matches), each stepped with the arrows beside it and saved at once into the
// settings file (or held for this run when the file cannot be written). The settings are read again at the next screen switch,
// so a choice takes effect there, as the file's values always have.
#pragma once
#include <cstdint>

#include "client/core/records.h"
#include "client/ui/menu_layout.h"

constexpr int OPTION_COUNT = OPTIONS_ROWS;

// Refused: full screen in a mode the display does not have. The game could
// not open its next window and would end at every start after, before the
// page could be reached to undo it.
enum class SaveStatus { Unchanged, Saved, Held, Refused };

// Whether the display has a full-screen mode (platform::hasDisplayMode).
using DisplayModeCheck = bool (*)(int width, int height, int colourBits);
// The desktop's own mode; false when the display reports none
// (platform::desktopDisplayMode).
using DesktopModeQuery = bool (*)(int* width, int* height, int* colourBits);

class OptionsPage {
public:
    // `path`: the settings file choices are written to.
    // `hasMode`: null when every mode may be chosen. `desktop`: null (or a
    // display that reports no mode) when no video mode is too large for it.
    explicit OptionsPage(const char* path = "../config.cfg", DisplayModeCheck hasMode = nullptr,
                         DesktopModeQuery desktop = nullptr);

    void open(const Settings& current);
    // An arrow click changes one value and saves it: its row, or -1 elsewhere.
    int clicked(int x, int yUp);
    bool hovered(int x, int yUp, MenuRect* spot) const;

    // The value of a row as shown ("7", "800 x 600, 32 bits", "On").
    void valueText(int row, char* out, size_t size) const;
    const Settings& values() const { return shown; }
    SaveStatus status() const { return lastSave; }
    // After a refusal: the full-screen mode the display lacks ("800x600").
    const char* missingMode() const { return missing; }
    // After a step of the video mode: the mode it passed over because it is
    // larger than the display ("1920x1080"), or "".
    const char* tooLargeMode() const { return tooLarge; }

private:
    void change(int row, int delta);
    bool fullScreenPossible(const Settings& s);
    bool fitsDisplay(int32_t videoMode);
    VideoMode desktopMode() const;
    const char* path;
    DisplayModeCheck hasMode;
    DesktopModeQuery desktop;
    char missing[24] = "";
    char tooLarge[24] = "";
    Settings shown;
    SaveStatus lastSave = SaveStatus::Unchanged;
};
