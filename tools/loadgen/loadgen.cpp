// loadgen: simulated clients against a running server. Each client has its
// own UDP socket and sends states like the game; relays are counted as they
// come back, and the server's CPU use is read from /proc.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/net.h"
#include "protocol/protocol.h"
#include "tools/loadgen/proc_stats.h"

using namespace protocol;

namespace {

struct Options {
    int clients = 10;
    double seconds = 5.0;
    int serverPid = 0;
    const char* host = "127.0.0.1";
    bool saturate = false;
    int rate = 20000;  // datagrams a second in saturation mode, all clients together
    bool around = false;  // stand the clients in a ring round (aroundX, aroundY)
    float aroundX = 0.0f, aroundY = 0.0f;
};

struct Client {
    platform::Socket socket = platform::NO_SOCKET;
    StateMessage state;
    long long received = 0;
};

void usage() {
    std::fprintf(stderr,
                 "usage: loadgen [--clients N] [--seconds S] [--server-pid PID] [--host H]\n"
                 "               [--saturate [--rate DATAGRAMS_PER_SECOND]] [--around X Y]\n"
                 "Nominal: every client sends a state every %u ms and counts its relays.\n"
                 "Saturation: the clients together send --rate states a second and never\n"
                 "read, to find how many the server can take.\n",
                 unsigned(SEND_INTERVAL_MS));
}

bool parseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        bool hasValue = i + 1 < argc;
        if (!std::strcmp(a, "--clients") && hasValue) o->clients = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--seconds") && hasValue) o->seconds = std::atof(argv[++i]);
        else if (!std::strcmp(a, "--server-pid") && hasValue) o->serverPid = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--host") && hasValue) o->host = argv[++i];
        else if (!std::strcmp(a, "--rate") && hasValue) o->rate = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--saturate")) o->saturate = true;
        else if (!std::strcmp(a, "--around") && i + 2 < argc) {
            o->around = true;
            o->aroundX = float(std::atof(argv[++i]));
            o->aroundY = float(std::atof(argv[++i]));
        }
        else return false;
    }
    return o->clients > 0 && o->clients <= 256 && o->seconds > 0 && o->rate > 0;
}

class Load {
public:
    Load(const Options& o, const platform::NetAddress& server) : options(o), to(server) {
        clients.resize(size_t(o.clients));
        for (size_t i = 0; i < clients.size(); ++i) {
            Client& c = clients[i];
            c.socket = platform::udpSocket();
            platform::setNonBlocking(c.socket);
            sockets.push_back(c.socket);
            // Unique ids in the game's form: a process number before an address.
            std::snprintf(c.state.clientId, sizeof c.state.clientId, "%i%02u127.0.0.1",
                          platform::currentProcessId() % 10000000, unsigned(i % 100));
            std::snprintf(c.state.name, sizeof c.state.name, "bot%u", unsigned(i % 1000));
            c.state.skin = int32_t(i % 3);
            if (o.around) {
                // A ring of radius 2.5, so all of them stand in one view.
                float angle = 6.2831853f * float(i) / float(clients.size());
                c.state.x = o.aroundX + 2.5f * std::cos(angle);
                c.state.y = o.aroundY + 2.5f * std::sin(angle);
            }
        }
    }
    ~Load() {
        for (Client& c : clients) platform::closeSocket(c.socket);
    }

    void send(Client& c) {
        c.state.animFrame = (c.state.animFrame + 1) % 8;
        if (!options.around) c.state.x += 0.01f;
        c.state.yaw = float(c.state.animFrame) * 45.0f;
        char datagram[NET_BUFFER_SIZE];
        size_t n = formatStateMessage(c.state, datagram, sizeof datagram);
        if (platform::sendTo(c.socket, datagram, n, to) == long(n)) ++sent;
    }

    void drain() {
        char buf[NET_BUFFER_SIZE + 1];
        for (Client& c : clients) {
            long n;
            while ((n = platform::receiveFrom(c.socket, buf, NET_BUFFER_SIZE, nullptr)) >= 0) {
                buf[n] = '\0';
                if (verifyChecksum(buf)) ++c.received;
            }
        }
    }

    // Every client sends each SEND_INTERVAL_MS; relays are read in between.
    void runNominal(uint32_t ms) {
        uint32_t start = platform::timeGetTime(), next = start;
        for (;;) {
            uint32_t now = platform::timeGetTime();
            if (now - start >= ms) break;
            if (int32_t(now - next) >= 0) {
                for (Client& c : clients) send(c);
                next += SEND_INTERVAL_MS;
            }
            int32_t wait = int32_t(next - platform::timeGetTime());
            platform::waitReadable(sockets.data(), sockets.size(), wait > 0 ? uint32_t(wait) : 0);
            drain();
        }
    }

    // The clients take turns sending `rate` states a second, paced per ms.
    void runSaturated(uint32_t ms) {
        uint32_t start = platform::timeGetTime();
        double owed = 0;
        size_t turn = 0;
        uint32_t last = start;
        for (;;) {
            uint32_t now = platform::timeGetTime();
            if (now - start >= ms) break;
            owed += double(now - last) * options.rate / 1000.0;
            last = now;
            for (; owed >= 1.0; owed -= 1.0) send(clients[turn++ % clients.size()]);
            platform::sleepMs(1);
        }
    }

    void quiet(uint32_t ms) {
        uint32_t start = platform::timeGetTime();
        while (platform::timeGetTime() - start < ms) {
            platform::waitReadable(sockets.data(), sockets.size(), 10);
            drain();
        }
    }

    void resetCounts() {
        sent = 0;
        for (Client& c : clients) c.received = 0;
    }
    long long relaysReceived() const {
        long long total = 0;
        for (const Client& c : clients) total += c.received;
        return total;
    }

    const Options& options;
    platform::NetAddress to;
    std::vector<Client> clients;
    std::vector<platform::Socket> sockets;
    long long sent = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseOptions(argc, argv, &o)) {
        usage();
        return 2;
    }
    platform::NetAddress server;
    if (!platform::lookupHost(o.host, &server)) {
        std::fprintf(stderr, "loadgen: cannot find host %s\n", o.host);
        return 1;
    }
    server.port = GAME_PORT;
    Load load(o, server);

    // Join every client and give slots of an earlier run time to expire.
    load.runNominal(1200);
    load.quiet(100);
    load.resetCounts();
    double cpu0 = o.serverPid ? processCpuSeconds(o.serverPid) : -1;
    long long drops0 = udpDrops(GAME_PORT);
    uint32_t t0 = platform::timeGetTime();
    uint32_t ms = uint32_t(o.seconds * 1000.0);
    if (o.saturate) load.runSaturated(ms);
    else load.runNominal(ms);
    double seconds = double(platform::timeGetTime() - t0) / 1000.0;
    // Let the last datagrams and their relays land before counting.
    load.quiet(300);
    double wall = double(platform::timeGetTime() - t0) / 1000.0;
    double cpu1 = o.serverPid ? processCpuSeconds(o.serverPid) : -1;
    long long drops1 = udpDrops(GAME_PORT);

    long long dropped = drops0 >= 0 && drops1 >= 0 ? drops1 - drops0 : 0;
    long long processed = load.sent - dropped;
    int live = o.clients < SLOT_COUNT ? o.clients : SLOT_COUNT;
    long long expected = processed * (SLOT_COUNT - 1) * live;
    long long received = load.relaysReceived();

    std::printf("loadgen: %d clients, %.1f s, %s\n", o.clients, seconds,
                o.saturate ? "saturation" : "nominal");
    std::printf("  states sent      %lld (%.1f/s)\n", load.sent, load.sent / seconds);
    std::printf("  server dropped   %lld, took %lld (%.1f/s)\n", dropped, processed,
                processed / seconds);
    if (!o.saturate)
        std::printf("  relays expected  %lld, received %lld (%.1f/s), lost %lld\n", expected,
                    received, received / seconds, expected > received ? expected - received : 0);
    double cpuShare = -1, usPerDatagram = -1;
    if (cpu0 >= 0 && cpu1 >= 0) {
        cpuShare = (cpu1 - cpu0) / wall;
        usPerDatagram = processed > 0 ? (cpu1 - cpu0) * 1e6 / double(processed) : -1;
        std::printf("  server CPU       %.3f s = %.1f%% of one core, %.1f us per state\n",
                    cpu1 - cpu0, cpuShare * 100.0, usPerDatagram);
    }
    std::printf("RESULT sent_per_s=%.1f taken_per_s=%.1f relays_per_s=%.1f lost=%lld "
                "cpu_share=%.4f cpu_us_per_state=%.2f\n",
                load.sent / seconds, processed / seconds, received / seconds,
                o.saturate ? 0 : (expected > received ? expected - received : 0), cpuShare,
                usPerDatagram);
    return 0;
}
