// A mouse button let go between two windows, when neither exists: the first
// window took the press and is gone, the next is not yet made. The next
// window must still receive the player's next press. xdotool plays the
// player; prints what the second window saw and exits 0 when the press came.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/window.h"

namespace {

platform::MessageType lastSeen = platform::MessageType::None;
bool pressed = false;

long record(const platform::Message& m) {
    lastSeen = m.type;
    if (m.type == platform::MessageType::LButtonDown) pressed = true;
    return platform::defaultWindowProc(m);
}

double seconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// Reads messages for up to `limit` seconds, or until `until` holds.
template <class Until>
bool pump(double limit, Until until) {
    double end = seconds() + limit;
    platform::Message m;
    while (seconds() < end) {
        while (platform::peekMessage(&m)) platform::dispatchMessage(m);
        if (until()) return true;
        timespec nap{0, 5000000};
        nanosleep(&nap, nullptr);
    }
    return until();
}

bool xdotool(const char* args) {
    char command[128];
    std::snprintf(command, sizeof command, "xdotool %s", args);
    return std::system(command) == 0;
}

platform::Window* openWindow() {
    platform::Window* w = platform::createWindow("gap", "Gap", 320, 240, 32, platform::ScreenFill::Windowed);
    if (w) platform::showAndFocusWindow(w);
    return w;
}

}  // namespace

int main() {
    if (!platform::registerWindowClass("gap", record)) return 2;
    platform::Window* first = openWindow();
    if (!first || !xdotool("mousemove 100 100 mousedown 1")) return 2;
    if (!pump(60, [] { return pressed; })) {
        std::puts("the first window never saw the press");
        return 2;
    }
    platform::destroyWindow(first);
    pump(0.2, [] { return false; });
    if (!xdotool("mouseup 1")) return 2;
    pump(0.5, [] { return false; });  // the release has nowhere to go

    pressed = false;
    platform::Window* second = openWindow();
    if (!second) return 2;
    pump(1.0, [] { return false; });
    if (!xdotool("mousedown 1")) return 2;
    bool counted = pump(20, [] { return pressed; });
    xdotool("mouseup 1");
    std::puts(counted ? "the next press counted" : "the next press was swallowed");
    platform::destroyWindow(second);
    return counted ? 0 : 1;
}
