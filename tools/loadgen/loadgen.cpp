// loadgen: simulated clients against a running server. Each client joins
// through the lobby like the game, has its own UDP socket and sends states;
// relays are counted as they come back, and the server's CPU use is read
// from /proc. Hostile hosts can join the run: a joined player that floods,
// and a stranger that never joined, sending from another local address as a
// forged source would, naming new players and the honest ones.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/net.h"
#include "platform/text.h"
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
    bool join = true;  // off for a bare relay without a lobby
    int flood = 0;     // states a second from one more, joined, client
    int stranger = 0;  // states a second from a host that never joined
    const char* strangerIp = "127.0.0.66";
};

// The name a stranger's forged states carry: no honest relay may show it.
constexpr const char* FORGED_NAME = "Forger";

struct Client {
    platform::Socket socket = platform::NO_SOCKET;
    StateMessage state;
    long long received = 0;
    long long forgedSeen = 0;  // relays that carried a stranger's state
};

void usage() {
    std::fprintf(stderr,
                 "usage: loadgen [--clients N] [--seconds S] [--server-pid PID] [--host H]\n"
                 "               [--saturate [--rate DATAGRAMS_PER_SECOND]] [--around X Y]\n"
                 "               [--no-join] [--flood RATE] [--stranger RATE [--stranger-ip IP]]\n"
                 "Nominal: every client joins, sends a state every %u ms and counts its relays.\n"
                 "Saturation: the clients together send --rate states a second and never\n"
                 "read, to find how many the server can take.\n"
                 "--flood: one more joined client sends RATE states a second.\n"
                 "--stranger: a host that never joined (bound to IP, default 127.0.0.66)\n"
                 "sends RATE states a second, new players and the honest ones' ids.\n",
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
        else if (!std::strcmp(a, "--no-join")) o->join = false;
        else if (!std::strcmp(a, "--flood") && hasValue) o->flood = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--stranger") && hasValue) o->stranger = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--stranger-ip") && hasValue) o->strangerIp = argv[++i];
        else if (!std::strcmp(a, "--around") && i + 2 < argc) {
            o->around = true;
            o->aroundX = float(std::atof(argv[++i]));
            o->aroundY = float(std::atof(argv[++i]));
        }
        else return false;
    }
    return o->clients > 0 && o->clients <= 256 && o->seconds > 0 && o->rate > 0 && o->flood >= 0 &&
           o->stranger >= 0 && !(o->saturate && (o->flood || o->stranger));
}

// One join through the lobby, as the game makes it: 1 answered "come in",
// 0 answered "full", -1 no answer.
int askLobby(platform::NetAddress server) {
    server.port = INIT_PORT;
    platform::Socket s = platform::tcpSocket();
    int answer = -1;
    if (s != platform::NO_SOCKET && platform::connectTo(s, server, 3000)) {
        platform::setReceiveTimeout(s, 3000);
        char text[NET_BUFFER_SIZE + 1];
        long n = platform::receiveBytes(s, text, NET_BUFFER_SIZE);
        JoinReply reply;
        if (n > 0) {
            text[n] = '\0';
            answer = parseJoinReply(text, &reply) >= 2 && reply.serverFull == 0 ? 1 : 0;
        }
    }
    platform::closeSocket(s);
    return answer;
}

// Joins once, waiting while the lobby says full: an earlier run's players
// hold their slots until a datagram (any, even a bad one) lets the server
// see they have gone silent. False when no join was let in.
bool joinLobby(platform::Socket poke, const platform::NetAddress& server) {
    for (uint32_t start = platform::timeGetTime(); platform::timeGetTime() - start < 5000;) {
        int answer = askLobby(server);
        if (answer != 0) return answer == 1;
        platform::sendTo(poke, "-+0 ", 4, server);
        platform::sleepMs(50);
    }
    return false;
}

class Load {
public:
    Load(const Options& o, const platform::NetAddress& server) : options(o), to(server) {
        clients.resize(size_t(o.clients) + (o.flood > 0 ? 1 : 0));
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
        platform::closeSocket(strangerClient.socket);
    }

    // The honest clients (and the flooder, the last client) join; the
    // stranger never does. False when the lobby did not answer.
    bool joinAll() {
        for (Client& c : clients)
            if (!joinLobby(c.socket, to)) return false;
        return true;
    }

    // The stranger's socket on its own local address, as a forged source.
    bool openStranger() {
        platform::NetAddress local;
        if (!platform::parseDottedQuad(options.strangerIp, &local)) return false;
        Client& c = strangerClient;
        c.socket = platform::udpSocket();
        if (c.socket == platform::NO_SOCKET) return false;
        if (!platform::bindAddress(c.socket, local)) return false;
        platform::setNonBlocking(c.socket);
        sockets.push_back(c.socket);
        platform::copyText(c.state.name, FORGED_NAME);
        c.state.x = 999.0f;
        return true;
    }

    size_t honestCount() const { return size_t(options.clients); }
    Client* flooder() { return options.flood > 0 ? &clients.back() : nullptr; }

    void send(Client& c) {
        c.state.animFrame = (c.state.animFrame + 1) % 8;
        if (!options.around) c.state.x += 0.01f;
        c.state.yaw = float(c.state.animFrame) * 45.0f;
        char datagram[NET_BUFFER_SIZE];
        size_t n = formatStateMessage(c.state, datagram, sizeof datagram);
        if (platform::sendTo(c.socket, datagram, n, to) == long(n)) ++sent;
    }

    // The stranger's next state: in turn a new player of its own and each
    // honest client's id, so it tries both to take a slot and to speak for one.
    void sendStranger() {
        Client& c = strangerClient;
        size_t turn = size_t(strangerSent % (clients.size() + 1));
        if (turn == clients.size())
            std::snprintf(c.state.clientId, sizeof c.state.clientId, "%lldstranger",
                          strangerSent % 1000);
        else
            platform::copyText(c.state.clientId, clients[turn].state.clientId);
        char datagram[NET_BUFFER_SIZE];
        size_t n = formatStateMessage(c.state, datagram, sizeof datagram);
        if (platform::sendTo(c.socket, datagram, n, to) == long(n)) ++strangerSent;
    }

    void drainOne(Client& c) {
        char buf[NET_BUFFER_SIZE + 1];
        long n;
        while ((n = platform::receiveFrom(c.socket, buf, NET_BUFFER_SIZE, nullptr)) >= 0) {
            buf[n] = '\0';
            if (!verifyChecksum(buf)) continue;
            ++c.received;
            if (std::strstr(buf, FORGED_NAME)) ++c.forgedSeen;
        }
    }

    void drain() {
        for (Client& c : clients) drainOne(c);
        if (strangerClient.socket != platform::NO_SOCKET) drainOne(strangerClient);
    }

    // The hostile hosts' states owed since the last call, paced per ms.
    void sendHostile(uint32_t now) {
        double ms = double(now - hostileLast);
        hostileLast = now;
        if (Client* f = flooder()) {
            floodOwed += ms * options.flood / 1000.0;
            for (; floodOwed >= 1.0; floodOwed -= 1.0) {
                send(*f);
                ++floodSent;
            }
        }
        if (strangerClient.socket != platform::NO_SOCKET) {
            strangerOwed += ms * options.stranger / 1000.0;
            for (; strangerOwed >= 1.0; strangerOwed -= 1.0) sendStranger();
        }
    }

    // Every client sends each SEND_INTERVAL_MS; relays are read in between.
    // The flooder and the stranger send in between, paced per ms.
    void runNominal(uint32_t ms, bool hostile = false) {
        uint32_t start = platform::timeGetTime(), next = start;
        hostileLast = start;
        for (;;) {
            uint32_t now = platform::timeGetTime();
            if (now - start >= ms) break;
            if (int32_t(now - next) >= 0) {
                for (size_t i = 0; i < honestCount(); ++i) send(clients[i]);
                next += SEND_INTERVAL_MS;
            }
            if (hostile) sendHostile(now);
            int32_t wait = int32_t(next - platform::timeGetTime());
            if (hostile && wait > 1) wait = 1;
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
        sent = floodSent = strangerSent = 0;
        for (Client& c : clients) c.received = c.forgedSeen = 0;
        strangerClient.received = 0;
    }
    // What the honest clients received: all of it, the least one client got,
    // and the relays that carried a forged state.
    long long relaysReceived() const {
        long long total = 0;
        for (size_t i = 0; i < honestCount(); ++i) total += clients[i].received;
        return total;
    }
    long long fewestReceived() const {
        long long least = -1;
        for (size_t i = 0; i < honestCount(); ++i)
            if (least < 0 || clients[i].received < least) least = clients[i].received;
        return least;
    }
    long long forgedSeen() const {
        long long total = 0;
        for (const Client& c : clients) total += c.forgedSeen;
        return total;
    }

    const Options& options;
    platform::NetAddress to;
    std::vector<Client> clients;  // the honest ones, then the flooder
    Client strangerClient;
    std::vector<platform::Socket> sockets;
    long long sent = 0;  // by everyone but the stranger
    long long floodSent = 0, strangerSent = 0;
    double floodOwed = 0, strangerOwed = 0;
    uint32_t hostileLast = 0;
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
    if (o.join && !load.joinAll()) {
        std::fprintf(stderr, "loadgen: the lobby of %s did not answer\n", o.host);
        return 1;
    }
    if (o.stranger > 0 && !load.openStranger()) {
        std::fprintf(stderr, "loadgen: cannot send from %s\n", o.strangerIp);
        return 1;
    }
    bool hostile = o.flood > 0 || o.stranger > 0;

    // Every client takes its slot (slots of an earlier run time out first).
    load.runNominal(1200);
    load.quiet(100);
    load.resetCounts();
    double cpu0 = o.serverPid ? processCpuSeconds(o.serverPid) : -1;
    long long drops0 = udpDrops(GAME_PORT);
    uint32_t t0 = platform::timeGetTime();
    uint32_t ms = uint32_t(o.seconds * 1000.0);
    if (o.saturate) load.runSaturated(ms);
    else load.runNominal(ms, hostile);
    double seconds = double(platform::timeGetTime() - t0) / 1000.0;
    // Let the last datagrams and their relays land before counting.
    load.quiet(300);
    double wall = double(platform::timeGetTime() - t0) / 1000.0;
    double cpu1 = o.serverPid ? processCpuSeconds(o.serverPid) : -1;
    long long drops1 = udpDrops(GAME_PORT);

    long long dropped = drops0 >= 0 && drops1 >= 0 ? drops1 - drops0 : 0;
    long long processed = load.sent - dropped;
    long long honestSent = load.sent - load.floodSent;
    int players = o.clients + (o.flood > 0 ? 1 : 0);
    int live = players < SLOT_COUNT ? players : SLOT_COUNT;
    int honestLive = o.clients < live ? o.clients : live;
    // Each state a slot sends makes every live slot hear nine: the honest
    // clients' own states alone owe them this many.
    long long owed = hostile ? honestSent - dropped : processed;
    long long expected = owed * (SLOT_COUNT - 1) * honestLive;
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
    if (hostile) {
        long long in = load.sent + load.strangerSent;
        long long out = received + (load.flooder() ? load.flooder()->received : 0) +
                        load.strangerClient.received;
        // An honest player's fan-out: its states times the relays each causes.
        double honestPerClient = double(honestSent) / o.clients;
        double honestFanOut = honestPerClient * (SLOT_COUNT - 1) * live;
        // What everyone got beyond what the honest states caused.
        double extra = double(out) - double(honestSent - dropped) * (SLOT_COUNT - 1) * live;
        // Relays beyond what every honest state sent could cause. The kernel's
        // drop count does not say whose datagrams it dropped (under a flood,
        // mostly the flood's), so honest states are not taken off here.
        long long mostOwed = honestSent * (SLOT_COUNT - 1) * honestLive;
        long long honestExtra = received > mostOwed ? received - mostOwed : 0;
        std::printf("  hostile: %lld flood + %lld stranger states; out per in %.2f; the fewest "
                    "an honest client got %.1f/s; stranger got %lld; forged relays seen %lld\n",
                    load.floodSent, load.strangerSent, in > 0 ? double(out) / in : 0.0,
                    load.fewestReceived() / seconds, load.strangerClient.received,
                    load.forgedSeen());
        std::printf("HOSTILE in_per_s=%.1f out_per_s=%.1f out_per_in=%.2f honest_min_per_s=%.1f "
                    "honest_extra=%lld flood_fanout_x=%.2f stranger_got=%lld forged_seen=%lld\n",
                    in / seconds, out / seconds, in > 0 ? double(out) / in : 0.0,
                    load.fewestReceived() / seconds, honestExtra,
                    honestFanOut > 0 ? extra / honestFanOut : 0.0, load.strangerClient.received,
                    load.forgedSeen());
    }
    return 0;
}
