// Every process-wide record of the client, by lifetime: read this first. Each
// record is declared beside the module that owns its type (the header named
// after it); the game sets them as the comments say and never calls the resets
// below, which put one lifetime's records back as a fresh process has them,
// for tests and for programs that play without a window (the bots).
#pragma once

// Process: set up before main or at the first screen, live until exit.
//   settings          client/shell/settings.h   the config file, re-read at every screen switch
//   inputState        client/shell/input.h      keys and buttons as the window procedure records them
//   mouse source      client/shell/input.h      where mouseDelta reads the mouse (window, test, none)
//   clock source      platform/clock.h          what timeGetTime reads (the monotonic clock, or a test's)
//   frameClock        client/ui/frame_clock.h   the last frame's length and the fps; never reset by the game
//   textLines         client/ui/text_lines.h    the overlay's event message and this frame's lines
//   audioAvailable    client/assets/sound.h     0 once audio start-up failed
//   fighterMedia      client/match/fighter_media.h  textures, sounds and drawing for fighters (silent, or GL)
//   netClient         client/net/net_client.h   the game's link to its server, joined per match
//   hostedServer      client/net/hosted_server.h  the server (and bots) hosted from the menu, until the game ends
//
// Screen: made by each screen's constructor, gone with its destructor.
//   glWindow          client/shell/glwindow.h   the window, its size and its GL context
//   fontListBase      client/ui/font.h          the font's 256 display lists
//
// Match: set while a match loads and plays, left as they are after it.
//   mouseLookFactor   client/shell/settings.h   degrees per mouse pixel, from mouseSensitivity (0.5 before)
//   respawnPoints     client/map/map_model.h    the four respawn points of the loaded map
//   viewMatrix        client/match/transform.h  the camera, with viewTranslation and viewRotation

// Settings defaults, no keys or buttons held, the window's mouse and the real
// clock (no override), a fresh frame clock, empty text lines, silent fighters.
void resetProcessRecords();
// No key or button held, as when the window regains the focus; no text queued.
void resetScreenRecords();
// No map's respawn points, the camera at zero, the look factor before any match.
void resetMatchRecords();
