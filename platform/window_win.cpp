// The held-button repair of window_gaps.h on Windows. SDL's record of held
// buttons is shared by all windows there too, and it is set right only by
// the next button message: a release that came while no window of ours
// existed leaves the button held, and the next press, read against that
// record, is dropped as no change. A button up message with no button in
// its flags, posted to the new window, makes SDL set its record right.
#include "platform/window_gaps.h"

#include <SDL_syswm.h>
#include <windows.h>

namespace platform {

void releaseStaleButtons(SDL_Window* window) {
    Uint32 held = SDL_GetMouseState(nullptr, nullptr);
    bool stale = ((held & SDL_BUTTON_LMASK) && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) ||
                 ((held & SDL_BUTTON_RMASK) && !(GetAsyncKeyState(VK_RBUTTON) & 0x8000)) ||
                 ((held & SDL_BUTTON_MMASK) && !(GetAsyncKeyState(VK_MBUTTON) & 0x8000));
    if (!stale) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return;
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(info.info.win.window, &at);
    PostMessageW(info.info.win.window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

}  // namespace platform
