// Every process-wide record of the client, grouped by lifetime: read this
// first. A new record goes into the group whose lifetime it shares, with a
// comment saying who sets it; its type goes in the header of the module that
// owns it. The records keep their own names (`settings`, `inputState`,
// `glWindow`, ...) as references to the fields below, so the game reads them
// as the plain globals they are.
//
// Where things go:
//   a setting         one row of BLAST_SETTINGS (client/core/settings.h)
//   a message field   one row of BLAST_STATE_FIELDS (protocol/protocol.h)
//   a record          a field of the group below that shares its lifetime
//   a screen          a type with update() and render() that opens its window
//                     with initMenuVideo/initMatchVideo (client/core/glwindow.h),
//                     run by runScreenLoop from main (client/shell/)
//   a trace line      client/core/trace_lines.h
// The client's rooms stand on this one: shell on match and ui; those on map,
// net and assets; all on core; core on protocol and platform only.
//
// Records with behaviour of their own live in the room that owns them, with
// the same lifetimes: process: netClient (client/net/net_client.h),
// hostedServer (client/net/hosted_server.h), fighterMedia
// (client/match/fighter_media.h), audioAvailable (client/assets/sound.h).
#pragma once
#include <cstdint>
#include <cstdio>

#include "client/core/frame_clock.h"
#include "client/core/glwindow.h"
#include "client/core/input.h"
#include "client/core/settings.h"
#include "client/core/text_lines.h"
#include "client/geometry/vec3.h"

// What the trace has said, so it says each change once.
struct TraceRecord {
    FILE* file = nullptr;      // BLASTAVIA_TRACE, opened at the first line
    bool opened = false;       // the variable has been looked at
    int keysHeld = 0;          // held keys and buttons as last traced
    int buttonsHeld = 0;
};

// Process: as a fresh process has them before main; the game never wipes them.
struct ProcessRecords {
    Settings settings;          // re-read from the file at every screen switch
    HeldSettings heldSettings;  // menu choices the file could not keep, for this run
    InputState inputState;      // written by the window procedure, taken by the screens
    FrameClock frameClock;      // stamped at start; a match's first frame covers the menu
    TextTable text;             // the overlay's event message and this frame's lines
    TraceRecord trace;
};

// Screen: set as a screen opens its window, cleared (handles, font) as it closes.
struct ScreenRecords {
    GlWindow glWindow;          // the window, its client size and its GL context
    uint32_t fontListBase = 0;  // the font's 256 display lists; 0 while none exists
    int32_t fontHeight = 0;     // the pixel height they were built at
};

constexpr int RESPAWN_POINT_COUNT = 4;
// Degrees of turn per pixel of horizontal mouse movement before any match.
constexpr float MOUSE_LOOK_FACTOR_AT_START = 0.5f;

// Match: set while a match loads and plays; left as they are after it, and set
// again by the next one.
struct MatchRecords {
    float mouseLookFactor = MOUSE_LOOK_FACTOR_AT_START;  // from mouseSensitivity
    Vec3 respawnPoints[RESPAWN_POINT_COUNT] = {};        // of the loaded map
    float viewMatrix[16] = {};                           // the camera
    uint32_t stateTracedAt = 0;                          // the last "state" trace line
};

extern ProcessRecords processRecords;
extern ScreenRecords screenRecords;
extern MatchRecords matchRecords;

// The records by their own names.
inline Settings& settings = processRecords.settings;
inline InputState& inputState = processRecords.inputState;
inline FrameClock& frameClock = processRecords.frameClock;
inline TextLine (&textLines)[TEXT_LINE_COUNT] = processRecords.text.lines;
inline uint8_t& eventActive = processRecords.text.eventActive;
inline uint64_t& eventStartTime = processRecords.text.eventStartTime;
inline GlWindow& glWindow = screenRecords.glWindow;
inline uint32_t& fontListBase = screenRecords.fontListBase;
inline float& mouseLookFactor = matchRecords.mouseLookFactor;
inline Vec3 (&respawnPoints)[RESPAWN_POINT_COUNT] = matchRecords.respawnPoints;
inline float (&viewMatrix)[16] = matchRecords.viewMatrix;

// A fresh copy of the settings, as each reader takes them.
inline Settings settingsCopy() { return settings; }

// Each group back as a fresh process has it, for tests and for programs that
// play without a window (the bots). The process reset also puts back the real
// clock and the window's mouse, and stamps the frame clock now.
void resetProcessRecords();
// A room above that keeps a process record of its own (fighterMedia) adds the
// record's reset here once, before main, so resetProcessRecords puts it back too.
void addProcessReset(void (*reset)());
void resetScreenRecords();
void resetMatchRecords();
