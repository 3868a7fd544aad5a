// A joinable thread. The only place the client and server start threads.
// A Thread owns its thread of execution; join() must run before destruction.
#pragma once
#include <functional>
#include <memory>

namespace platform {

class Thread {
public:
    Thread();
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool start(std::function<void()> body);  // false if a thread could not be made
    void join();                              // waits; no-op when not running
    bool running() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

}  // namespace platform
