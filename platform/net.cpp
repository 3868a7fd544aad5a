// The socket calls that read the same on every system; the rest is in
// net_posix.cpp and net_win.cpp.
#include "platform/net_system.h"

#include <cstring>

namespace platform {

using sys::handle;
using sys::toSockaddr;

bool setAbortiveClose(Socket s) {
    linger l{};
    l.l_onoff = 1;
    l.l_linger = 0;
    return setsockopt(handle(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l),
                      sizeof l) == 0;
}

bool bindAnyInterface(Socket s, uint16_t port) {
    NetAddress any;
    any.ip = htonl(INADDR_ANY);
    any.port = port;
    sockaddr_in sa = toSockaddr(any);
    return bind(handle(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool bindAddress(Socket s, const NetAddress& local) {
    sockaddr_in sa = toSockaddr(local);
    return bind(handle(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
}

bool listenOn(Socket s, int backlog) { return listen(handle(s), backlog) == 0; }

long sendTo(Socket s, const void* data, size_t len, const NetAddress& to) {
    sockaddr_in sa = toSockaddr(to);
    return sendto(handle(s), static_cast<const char*>(data), int(len), sys::NO_SIGNAL,
                  reinterpret_cast<sockaddr*>(&sa), sizeof sa);
}

bool lookupHost(const char* name, NetAddress* out) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* res = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &res) != 0 || !res) return false;
    out->ip = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr.s_addr;
    out->port = 0;
    freeaddrinfo(res);
    return true;
}

bool localHostName(char* out, size_t size) {
    if (size == 0 || gethostname(out, int(size)) != 0) return false;
    out[size - 1] = '\0';
    return true;
}

void addressText(const NetAddress& a, char out[16]) {
    in_addr in{};
    in.s_addr = a.ip;
    if (!inet_ntop(AF_INET, &in, out, 16)) out[0] = '\0';
}

uint16_t localPort(Socket s) {
    sockaddr_in sa{};
    sys::AddressLength len = sizeof sa;
    if (getsockname(handle(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
    return ntohs(sa.sin_port);
}

bool localAddress(Socket s, NetAddress* out) {
    sockaddr_in sa{};
    sys::AddressLength len = sizeof sa;
    if (getsockname(handle(s), reinterpret_cast<sockaddr*>(&sa), &len) != 0) return false;
    if (sa.sin_family != AF_INET || sa.sin_addr.s_addr == htonl(INADDR_ANY)) return false;
    out->ip = sa.sin_addr.s_addr;
    out->port = ntohs(sa.sin_port);
    return true;
}

bool isLoopback(const NetAddress& a) { return (ntohl(a.ip) >> 24) == 127; }

bool setBroadcast(Socket s) {
    int on = 1;
    return setsockopt(handle(s), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                      sizeof on) == 0;
}

size_t sys::addUnique(NetAddress* out, size_t count, size_t max, uint32_t ip) {
    for (size_t i = 0; i < count; ++i)
        if (out[i].ip == ip) return count;
    if (count >= max) return count;
    out[count] = NetAddress{ip, 0};
    return count + 1;
}

bool parseDottedQuad(const char* text, NetAddress* out) {
    in_addr in{};
    if (inet_pton(AF_INET, text, &in) != 1) return false;
    *out = NetAddress{in.s_addr, 0};
    return true;
}

}  // namespace platform
