// A plain lock for data the main thread shares with the network threads.
// Whoever owns the shared record owns its Mutex; hold it only while copying.
#pragma once
#include <mutex>

namespace platform {

class Mutex {
public:
    void lock() { m.lock(); }
    void unlock() { m.unlock(); }

private:
    std::mutex m;
};

// Holds a Mutex for the life of one scope.
class Lock {
public:
    explicit Lock(Mutex& mutex) : held(mutex) { held.lock(); }
    ~Lock() { held.unlock(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    Mutex& held;
};

}  // namespace platform
