// What the window layer must do by hand where SDL leaves a gap (X11 and
// Windows alike; each system has its own file).
#pragma once
#include <SDL.h>

namespace platform {

// SDL keeps one record of the mouse buttons held, for all windows. A button
// let go while no game window exists (between two screens, once the window
// that saw the press is gone) never reaches that record, and SDL then takes
// the next press of that button for no change and drops it. Called for each
// new window: a button the record holds but the real pointer does not is let
// go in the record (by a release sent to the window), so the next click counts.
void releaseStaleButtons(SDL_Window* window);

}  // namespace platform
