#include "platform/window_gaps.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

namespace platform {

void releaseStaleButtons(SDL_Window* window) {
    Uint32 stale = SDL_GetMouseState(nullptr, nullptr) & ~SDL_GetGlobalMouseState(nullptr, nullptr);
    stale &= SDL_BUTTON_LMASK | SDL_BUTTON_MMASK | SDL_BUTTON_RMASK;  // X buttons 1 to 3
    if (!stale) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    // SDL loaded Xlib itself; use the copy it loaded.
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!xlib) return;
    using Send = Status (*)(Display*, ::Window, Bool, long, XEvent*);
    using Flush = int (*)(Display*);
    auto send = reinterpret_cast<Send>(dlsym(xlib, "XSendEvent"));
    auto flush = reinterpret_cast<Flush>(dlsym(xlib, "XFlush"));
    if (send && flush) {
        for (int button = SDL_BUTTON_LEFT; button <= SDL_BUTTON_RIGHT; ++button) {
            if (!(stale & SDL_BUTTON(button))) continue;
            XEvent release{};
            release.xbutton.type = ButtonRelease;
            release.xbutton.display = info.info.x11.display;
            release.xbutton.window = info.info.x11.window;
            release.xbutton.button = unsigned(button);  // SDL numbers 1 to 3 as X does
            release.xbutton.same_screen = True;
            send(info.info.x11.display, info.info.x11.window, False, ButtonReleaseMask, &release);
        }
        flush(info.info.x11.display);
    }
    dlclose(xlib);
}

}  // namespace platform
