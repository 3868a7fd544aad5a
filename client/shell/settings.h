// The client's settings, read from "../config.cfg" at every screen switch and
// never written. One process-wide record; readers take a copy of it.
#pragma once
#include <cstdint>

#include "protocol/protocol.h"

struct Settings {
    int32_t videoMode = 0;
    int32_t fullscreen = 0;
    int32_t volume = 10;
    int32_t mouseSensitivity = 5;
    char playerName[protocol::PLAYER_NAME_SIZE] = "Unknown";  // at most 14 characters
    char serverName[21] = "127.0.0.1"; // at most 20 characters
};

// What a settings file may ask for; values beyond are taken as the nearest end.
constexpr int32_t VOLUME_MIN = 0, VOLUME_MAX = 10;
constexpr int32_t SENSITIVITY_MIN = 0, SENSITIVITY_MAX = 20;

// Process lifetime: defaults before the entry point, re-read by every screen.
extern Settings settings;

// Degrees of turn per pixel of horizontal mouse movement; set by each match
// from mouseSensitivity, MOUSE_LOOK_FACTOR_AT_START before the first one.
constexpr float MOUSE_LOOK_FACTOR_AT_START = 0.5f;
extern float mouseLookFactor;

inline Settings settingsCopy() { return settings; }

// Reads key/value lines into the six destinations; the last line of a key wins.
// Integers take "%i" rules (sign, decimal, 0x hex, leading-0 octal) and are
// kept in range: volume and sensitivity clamped, a videoMode outside 0-5 is 0,
// fullscreen is 1 when its low byte is not 0. Texts are one word, cut to fit.
// False when the file cannot be opened (destinations keep their values).
bool readConfigFile(const char* path, int32_t* videoMode, int32_t* fullscreen, int32_t* volume,
                    int32_t* mouseSensitivity, char* playerName, char* serverName);

// Re-reads every setting from a file the way each screen does: playerName
// starts again from "Unknown", the others keep their values; the name is made
// safe for the network (no blanks, no '+').
void loadSettings(const char* path);

// Re-read the settings and open the menu window (640 x 480 x 16) or the match
// window (the configured video mode). On failure: "Video initialization
// failed" box, quit request, false.
bool initMenuVideo();
bool initMatchVideo();

struct VideoMode {
    int width, height, colourBits;
};
// The match window's size for a videoMode value; unknown values give 640x480x16.
VideoMode videoModeFor(int32_t videoMode);
