// Inside platform/ only: the system's socket interface as net.cpp and the two
// system files (net_posix.cpp, net_win.cpp) share it. A Socket stays an int on
// every system: Winsock's handles are kernel handles, which fit in 32 bits,
// and its INVALID_SOCKET becomes NO_SOCKET (-1) in the conversion.
#pragma once
#include "platform/net.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace platform {
namespace sys {

#ifdef _WIN32
using Handle = SOCKET;
using AddressLength = int;
// Winsock never raises SIGPIPE.
constexpr int NO_SIGNAL = 0;
inline Handle handle(Socket s) { return s < 0 ? INVALID_SOCKET : Handle(unsigned(s)); }
inline Socket socketOf(Handle h) { return h == INVALID_SOCKET ? NO_SOCKET : Socket(h); }
#else
using Handle = int;
using AddressLength = socklen_t;
constexpr int NO_SIGNAL = MSG_NOSIGNAL;
inline Handle handle(Socket s) { return s; }
inline Socket socketOf(Handle h) { return h < 0 ? NO_SOCKET : h; }
#endif

inline sockaddr_in toSockaddr(const NetAddress& a) {
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = a.ip;
    sa.sin_port = htons(a.port);
    return sa;
}

// Appends ip to out[0..count) unless it is there already or out is full;
// returns the new count.
size_t addUnique(NetAddress* out, size_t count, size_t max, uint32_t ip);

}  // namespace sys
}  // namespace platform
