// The X11 desktop's hazards: a display that goes away and the message box
// SDL draws in a child process.
#include "platform/system.h"

#include <atomic>
#include <csignal>
#include <dlfcn.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace platform {

namespace {

// Xlib's own handler for a lost display calls exit(), whose exit handlers
// then talk to the dead display again and spin for ever. Without a display
// there is nothing left to tidy: say so and end at once.
int displayLost(void*) {
    static const char message[] = "Error: the display connection was lost\n";
    ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    _exit(1);
}

// SDL draws an X11 message box in a child process. Should the game be ended
// while the box is up, the box must go with it.
std::atomic<pid_t> boxParent{0};

void boxChildFollowsItsParent() {
    pid_t parent = boxParent.load();
    if (parent == 0) return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(0);  // the parent ended before the line above
}

struct sigaction savedTerm {}, savedInt {};

}  // namespace

void sys::endWhenTheDisplayGoes() {
    // SDL loads Xlib itself; reach the copy it loaded, if it did.
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!xlib) return;
    using Handler = int (*)(void*);
    auto setHandler = reinterpret_cast<Handler (*)(Handler)>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setHandler) setHandler(displayLost);
    dlclose(xlib);
}

void sys::beforeMessageBox() {
    static bool forkWatched = pthread_atfork(nullptr, nullptr, boxChildFollowsItsParent) == 0;
    (void)forkWatched;
    boxParent = getpid();
    // The box runs its own event loop, which never reads the quit event that
    // SDL's signal handlers post: while it is up, a terminal's Ctrl+C or a
    // desktop's request to end must end the program the ordinary way.
    struct sigaction ordinary {};
    ordinary.sa_handler = SIG_DFL;
    sigemptyset(&ordinary.sa_mask);
    sigaction(SIGTERM, &ordinary, &savedTerm);
    sigaction(SIGINT, &ordinary, &savedInt);
}

void sys::afterMessageBox() {
    sigaction(SIGTERM, &savedTerm, nullptr);
    sigaction(SIGINT, &savedInt, nullptr);
    boxParent = 0;
}

}  // namespace platform
