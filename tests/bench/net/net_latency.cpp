// How long a state takes from one client's send thread to another client's
// table of remote players, through the real server on this machine. A child
// process sends (its clock stamp travels in the state), the parent receives.
// Usage, with a server running: net_latency [states]   (default 3000)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "client/net/net_client.h"
#include "platform/clock.h"

namespace {

int64_t nowMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

int runSender(int states) {
    NetClient link;
    int sequence = 0;
    if (link.connect("127.0.0.1", [&](protocol::StateMessage& m) {
            std::snprintf(m.name, sizeof m.name, "sender");
            m.animFrame = ++sequence;
            m.frags = int32_t(nowMicros() % 2000000000);
        }) != JoinOutcome::Joined)
        return 1;
    platform::sleepMs(uint32_t(states) * protocol::SEND_INTERVAL_MS + 2000);
    link.leaveServer();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int states = argc > 1 ? std::atoi(argv[1]) : 3000;
    pid_t child = fork();
    if (child == 0) return runSender(states);

    NetClient link;
    if (link.connect("127.0.0.1", [](protocol::StateMessage& m) {
            std::snprintf(m.name, sizeof m.name, "receiver");
        }) != JoinOutcome::Joined) {
        std::fprintf(stderr, "net_latency: could not join a server on 127.0.0.1\n");
        return 1;
    }
    std::vector<double> latencies;
    int lastSequence = 0;
    int64_t deadline = nowMicros() + int64_t(states) * 20000 + 10000000;
    while (int(latencies.size()) < states && nowMicros() < deadline) {
        for (int slot = 0; slot < protocol::SLOT_COUNT; ++slot) {
            RemoteState s = link.remoteState(slot);
            if (s.vacant || s.animFrame <= lastSequence) continue;
            int64_t now = nowMicros() % 2000000000;
            int64_t sent = s.frags;
            if (now >= sent) latencies.push_back(double(now - sent) / 1000.0);
            lastSequence = s.animFrame;
        }
        usleep(50);
    }
    link.leaveServer();
    waitpid(child, nullptr, 0);
    if (latencies.empty()) {
        std::fprintf(stderr, "net_latency: no state arrived\n");
        return 1;
    }
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double q) { return latencies[size_t(q * double(latencies.size() - 1))]; };
    std::printf("states %zu  median %.3f ms  p90 %.3f ms  p99 %.3f ms  max %.3f ms\n",
                latencies.size(), at(0.5), at(0.9), at(0.99), latencies.back());
    return 0;
}
