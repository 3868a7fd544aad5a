// libnetfault.so: a bad network for one program, loaded with LD_PRELOAD.
// It sits on the program's UDP calls (sendto and sendmmsg out, recvfrom in)
// and loses, duplicates, delays and reorders datagrams as the variable
// BLAST_NETFAULT says, for example
//   BLAST_NETFAULT="loss=5,dup=10,jitter=50:20,reorder=25:10,seed=1,dir=both"
//   loss=P        P % of datagrams vanish
//   dup=P         P % are delivered twice (the copy gets its own delay)
//   jitter=M:S    every datagram waits a normal M ms +- S ms (never below 0),
//                 so datagrams overtake one another
//   reorder=P:D   P % go at once and the rest wait D ms (added to any jitter)
//   seed=N        the same N gives the same faults for the same traffic
//   dir=out|in|both  which way the faults apply (both)
//   stats=1       every 5 s and at exit, print to stderr how many datagrams
//                 met each fault
// Delayed outgoing datagrams leave from a thread of the shim; delayed incoming
// ones wait in a queue that recvfrom serves when they are due. TCP and other
// calls are untouched.
#include <dlfcn.h>
#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <time.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Faults {
    double loss = 0, dup = 0;            // fractions
    double jitterMean = 0, jitterSd = 0;  // ms
    double reorder = 0, reorderDelay = 0; // fraction sent at once, ms for the rest
    uint64_t seed = 1;
    bool out = true, in = true, stats = false;
    bool active = false;
};

struct Held {
    int64_t dueUs;
    int fd;
    std::vector<char> data;
    sockaddr_storage addr;
    socklen_t addrLen;
};

using SendTo = ssize_t (*)(int, const void*, size_t, int, const sockaddr*, socklen_t);
using SendMmsg = int (*)(int, mmsghdr*, unsigned, int);
using RecvFrom = ssize_t (*)(int, void*, size_t, int, sockaddr*, socklen_t*);

Faults faults;
SendTo realSendTo;
SendMmsg realSendMmsg;
RecvFrom realRecvFrom;
pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
pthread_cond_t wake = PTHREAD_COND_INITIALIZER;
std::multimap<int64_t, Held> outgoing;  // by due time
std::multimap<int64_t, Held> incoming;
uint64_t rng = 0;
unsigned long seen = 0, lost = 0, copied = 0, delayed = 0;

int64_t nowUs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

// splitmix64: small, seedable, good enough for coin flips.
double uniform() {
    uint64_t z = (rng += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) / double(1ull << 53);
}

double normal() {  // Box-Muller
    double u = uniform(), v = uniform();
    if (u < 1e-12) u = 1e-12;
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
}

// The delay of one delivery, in microseconds.
int64_t delayUs() {
    double ms = 0;
    if (faults.jitterMean > 0 || faults.jitterSd > 0) {
        ms = faults.jitterMean + faults.jitterSd * normal();
        if (ms < 0) ms = 0;
    }
    if (faults.reorderDelay > 0 && uniform() >= faults.reorder) ms += faults.reorderDelay;
    return int64_t(ms * 1000.0);
}

bool parsePair(const char* v, double* a, double* b) {
    char* end = nullptr;
    *a = std::strtod(v, &end);
    if (end == v) return false;
    *b = 0;
    if (*end == ':') *b = std::strtod(end + 1, &end);
    return *end == '\0' || *end == ',';
}

void parseFaults(const char* text) {
    const char* p = text;
    while (*p) {
        const char* eq = std::strchr(p, '=');
        if (!eq) break;
        std::string key(p, size_t(eq - p));
        const char* v = eq + 1;
        double a = 0, b = 0;
        bool ok = parsePair(v, &a, &b);
        if (key == "loss" && ok) faults.loss = a / 100.0;
        else if (key == "dup" && ok) faults.dup = a / 100.0;
        else if (key == "jitter" && ok) faults.jitterMean = a, faults.jitterSd = b;
        else if (key == "reorder" && ok) faults.reorder = a / 100.0, faults.reorderDelay = b;
        else if (key == "seed" && ok) faults.seed = uint64_t(a);
        else if (key == "stats" && ok) faults.stats = a != 0;
        else if (key == "dir") {
            faults.out = std::strncmp(v, "in", 2) != 0;
            faults.in = std::strncmp(v, "out", 3) != 0;
        } else {
            std::fprintf(stderr, "netfault: ignoring \"%.*s\"\n", int(std::strcspn(p, ",")), p);
        }
        const char* comma = std::strchr(v, ',');
        if (!comma) break;
        p = comma + 1;
    }
    faults.active = faults.loss > 0 || faults.dup > 0 || faults.jitterMean > 0 ||
                    faults.jitterSd > 0 || faults.reorderDelay > 0;
    rng = faults.seed * 0x2545F4914F6CDD1Dull + 1;
}

bool isUdp(int fd) {
    int type = 0;
    socklen_t len = sizeof type;
    return getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &len) == 0 && type == SOCK_DGRAM;
}

void printStats();
int64_t lastStatsUs = 0;

// Decides the fate of one datagram: how many copies, each with its delay.
// Called with the lock held. Returns the number of deliveries (0 when lost).
int fate(int64_t delays[2]) {
    ++seen;
    if (faults.stats && nowUs() - lastStatsUs > 5000000) {
        lastStatsUs = nowUs();
        printStats();
    }
    if (uniform() < faults.loss) {
        ++lost;
        return 0;
    }
    int n = 1;
    if (uniform() < faults.dup) {
        n = 2;
        ++copied;
    }
    for (int i = 0; i < n; ++i) {
        delays[i] = delayUs();
        if (delays[i] > 0) ++delayed;
    }
    return n;
}

void hold(std::multimap<int64_t, Held>& queue, int fd, const void* data, size_t len,
          const sockaddr* addr, socklen_t addrLen, int64_t due) {
    Held h;
    h.dueUs = due;
    h.fd = fd;
    h.data.assign(static_cast<const char*>(data), static_cast<const char*>(data) + len);
    std::memset(&h.addr, 0, sizeof h.addr);
    h.addrLen = 0;
    if (addr && addrLen <= sizeof h.addr) {
        std::memcpy(&h.addr, addr, addrLen);
        h.addrLen = addrLen;
    }
    queue.emplace(due, std::move(h));
}

// The outgoing thread: sends each held datagram when it is due.
void* sender(void*) {
    pthread_mutex_lock(&lock);
    for (;;) {
        if (outgoing.empty()) {
            pthread_cond_wait(&wake, &lock);
            continue;
        }
        int64_t due = outgoing.begin()->first;
        int64_t now = nowUs();
        if (due > now) {
            timespec until;
            clock_gettime(CLOCK_REALTIME, &until);
            int64_t ns = until.tv_nsec + (due - now) * 1000;
            until.tv_sec += ns / 1000000000;
            until.tv_nsec = ns % 1000000000;
            pthread_cond_timedwait(&wake, &lock, &until);
            continue;
        }
        Held h = std::move(outgoing.begin()->second);
        outgoing.erase(outgoing.begin());
        pthread_mutex_unlock(&lock);
        realSendTo(h.fd, h.data.data(), h.data.size(), MSG_NOSIGNAL,
                   h.addrLen ? reinterpret_cast<const sockaddr*>(&h.addr) : nullptr, h.addrLen);
        pthread_mutex_lock(&lock);
    }
    return nullptr;
}

// Hands one outgoing datagram to its fate: holds the copies that wait and
// returns how many go out now (0, 1 or 2), so that those keep their order.
int sendFaulty(int fd, const void* data, size_t len, const sockaddr* addr, socklen_t addrLen) {
    int64_t delays[2];
    pthread_mutex_lock(&lock);
    int n = fate(delays);
    int now = 0;
    int64_t at = nowUs();
    for (int i = 0; i < n; ++i) {
        if (delays[i] == 0) {
            ++now;
        } else {
            hold(outgoing, fd, data, len, addr, addrLen, at + delays[i]);
            pthread_cond_signal(&wake);
        }
    }
    pthread_mutex_unlock(&lock);
    return now;
}

void printStats() {
    if (!faults.stats) return;
    std::fprintf(stderr, "netfault: %lu datagrams, %lu lost, %lu duplicated, %lu delayed\n", seen,
                 lost, copied, delayed);
}

__attribute__((constructor)) void start() {
    realSendTo = reinterpret_cast<SendTo>(dlsym(RTLD_NEXT, "sendto"));
    realSendMmsg = reinterpret_cast<SendMmsg>(dlsym(RTLD_NEXT, "sendmmsg"));
    realRecvFrom = reinterpret_cast<RecvFrom>(dlsym(RTLD_NEXT, "recvfrom"));
    const char* text = std::getenv("BLAST_NETFAULT");
    if (!text || !*text) return;
    parseFaults(text);
    if (!faults.active) return;
    pthread_t t;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    if (pthread_create(&t, &attr, sender, nullptr) != 0) faults.active = false;
    pthread_attr_destroy(&attr);
    std::atexit(printStats);
}

// The receive timeout of a socket, in ms (-1: none; 0 with MSG_DONTWAIT).
int receiveWaitMs(int fd, int flags) {
    if (flags & MSG_DONTWAIT) return 0;
    timeval tv{};
    socklen_t len = sizeof tv;
    if (getsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, &len) != 0) return -1;
    if (tv.tv_sec == 0 && tv.tv_usec == 0) return -1;
    return int(tv.tv_sec * 1000 + tv.tv_usec / 1000);
}

// Gives the due incoming datagram of fd with the lowest due time, if any.
bool takeDue(int fd, void* buf, size_t len, sockaddr* from, socklen_t* fromLen, ssize_t* got,
             int64_t* nextDue) {
    int64_t now = nowUs();
    *nextDue = -1;
    for (auto it = incoming.begin(); it != incoming.end(); ++it) {
        if (it->second.fd != fd) continue;
        if (it->first > now) {
            *nextDue = it->first;
            return false;
        }
        const Held& h = it->second;
        size_t n = h.data.size() < len ? h.data.size() : len;
        std::memcpy(buf, h.data.data(), n);
        if (from && fromLen) {
            socklen_t copy = h.addrLen < *fromLen ? h.addrLen : *fromLen;
            std::memcpy(from, &h.addr, copy);
            *fromLen = h.addrLen;
        }
        *got = ssize_t(n);
        incoming.erase(it);
        return true;
    }
    return false;
}

}  // namespace

extern "C" {

ssize_t sendto(int fd, const void* buf, size_t len, int flags, const sockaddr* to, socklen_t toLen) {
    if (!realSendTo) realSendTo = reinterpret_cast<SendTo>(dlsym(RTLD_NEXT, "sendto"));
    if (!faults.active || !faults.out || !isUdp(fd)) return realSendTo(fd, buf, len, flags, to, toLen);
    int now = sendFaulty(fd, buf, len, to, toLen);
    ssize_t r = ssize_t(len);
    for (int i = 0; i < now; ++i) r = realSendTo(fd, buf, len, flags, to, toLen);
    return r;
}

int sendmmsg(int fd, mmsghdr* msgs, unsigned count, int flags) {
    if (!realSendMmsg) realSendMmsg = reinterpret_cast<SendMmsg>(dlsym(RTLD_NEXT, "sendmmsg"));
    if (!faults.active || !faults.out || !isUdp(fd)) return realSendMmsg(fd, msgs, count, flags);
    // One datagram at a time, each to its own fate; the ones that go now go as sent.
    for (unsigned i = 0; i < count; ++i) {
        msghdr& m = msgs[i].msg_hdr;
        std::vector<char> data;
        for (size_t k = 0; k < m.msg_iovlen; ++k) {
            const char* base = static_cast<const char*>(m.msg_iov[k].iov_base);
            data.insert(data.end(), base, base + m.msg_iov[k].iov_len);
        }
        const sockaddr* to = static_cast<const sockaddr*>(m.msg_name);
        int now = sendFaulty(fd, data.data(), data.size(), to, m.msg_namelen);
        for (int k = 0; k < now; ++k) realSendTo(fd, data.data(), data.size(), flags, to, m.msg_namelen);
        msgs[i].msg_len = unsigned(data.size());
    }
    return int(count);
}

ssize_t recvfrom(int fd, void* buf, size_t len, int flags, sockaddr* from, socklen_t* fromLen) {
    if (!realRecvFrom) realRecvFrom = reinterpret_cast<RecvFrom>(dlsym(RTLD_NEXT, "recvfrom"));
    if (!faults.active || !faults.in || (flags & MSG_PEEK) || !isUdp(fd))
        return realRecvFrom(fd, buf, len, flags, from, fromLen);
    int waitMs = receiveWaitMs(fd, flags);
    int64_t giveUp = waitMs < 0 ? -1 : nowUs() + int64_t(waitMs) * 1000;
    char scratch[65536];
    for (;;) {
        ssize_t got = 0;
        int64_t nextDue = -1;
        pthread_mutex_lock(&lock);
        bool ready = takeDue(fd, buf, len, from, fromLen, &got, &nextDue);
        pthread_mutex_unlock(&lock);
        if (ready) return got;

        int64_t now = nowUs();
        int64_t untilUs = nextDue;
        if (giveUp >= 0 && (untilUs < 0 || giveUp < untilUs)) untilUs = giveUp;
        int timeout = untilUs < 0 ? -1 : int((untilUs - now + 999) / 1000);
        if (timeout < 0 && untilUs >= 0) timeout = 0;
        pollfd p{fd, POLLIN, 0};
        int r = poll(&p, 1, timeout);
        if (r < 0 && errno != EINTR) return -1;
        if (r <= 0) {
            if (giveUp >= 0 && nowUs() >= giveUp) {
                // One last look: a datagram due right now is no timeout.
                pthread_mutex_lock(&lock);
                ready = takeDue(fd, buf, len, from, fromLen, &got, &nextDue);
                pthread_mutex_unlock(&lock);
                if (ready) return got;
                errno = EAGAIN;
                return -1;
            }
            continue;
        }
        sockaddr_storage addr{};
        socklen_t addrLen = sizeof addr;
        ssize_t n = realRecvFrom(fd, scratch, sizeof scratch, flags | MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&addr), &addrLen);
        if (n == 0) return 0;  // a shut-down socket (or an empty datagram) as it is
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
            return -1;  // a real error (the socket was shut down, ...) as it is
        }
        int64_t delays[2];
        pthread_mutex_lock(&lock);
        int copies = fate(delays);
        int64_t at = nowUs();
        for (int i = 0; i < copies; ++i)
            hold(incoming, fd, scratch, size_t(n), reinterpret_cast<sockaddr*>(&addr), addrLen,
                 at + delays[i]);
        pthread_mutex_unlock(&lock);
    }
}

// The server reads with recvmsg to learn which local address each datagram
// reached. Under faults it reads through the faulty recvfrom above instead; a
// held datagram has lost that address, so none is told (replies then leave
// from the system's pick, which on one address is the same).
ssize_t recvmsg(int fd, msghdr* m, int flags) {
    using RecvMsg = ssize_t (*)(int, msghdr*, int);
    static RecvMsg realRecvMsg = reinterpret_cast<RecvMsg>(dlsym(RTLD_NEXT, "recvmsg"));
    if (!faults.active || !faults.in || (flags & MSG_PEEK) || !isUdp(fd) || m->msg_iovlen != 1)
        return realRecvMsg(fd, m, flags);
    socklen_t nameLen = m->msg_namelen;
    ssize_t n = recvfrom(fd, m->msg_iov[0].iov_base, m->msg_iov[0].iov_len, flags,
                         static_cast<sockaddr*>(m->msg_name), m->msg_name ? &nameLen : nullptr);
    if (n >= 0) {
        m->msg_namelen = nameLen;
        m->msg_controllen = 0;
        m->msg_flags = 0;
    }
    return n;
}

}  // extern "C"
