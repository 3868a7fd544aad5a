// The window layer's X11 gaps (window_x11.h) on Windows, where there are none:
// SDL hears every button release from the system, whatever window is up.
#include "platform/window_x11.h"

namespace platform {

void releaseStaleButtons(SDL_Window*) {}

}  // namespace platform
