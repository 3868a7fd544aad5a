#include "platform/thread.h"

#include <system_error>
#include <thread>

namespace platform {

struct Thread::Impl {
    std::thread thread;
};

Thread::Thread() : impl(new Impl) {}

Thread::~Thread() {
    // A forgotten join would terminate the process; joining here is safer.
    join();
}

bool Thread::start(std::function<void()> body) {
    if (impl->thread.joinable()) return false;
    try {
        impl->thread = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void Thread::join() {
    if (impl->thread.joinable()) impl->thread.join();
}

bool Thread::running() const { return impl->thread.joinable(); }

}  // namespace platform
