// Sockets on Windows (Winsock 2): the calls whose details differ from Linux.
#include "platform/net_system.h"

#include <mswsock.h>

#include <cstring>

namespace platform {

using sys::handle;
using sys::socketOf;
using sys::toSockaddr;

namespace {

// Winsock must be started before the first socket call of any thread; a static
// start covers code that runs before main's netStartup (tests, helpers).
struct WinsockLife {
    bool ready = false;
    WinsockLife() {
        WSADATA data;
        ready = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockLife() {
        if (ready) WSACleanup();
    }
} winsock;

Socket newSocket(int type, int protocol) {
    // Not inherited by child programs, like SOCK_CLOEXEC on Linux.
    SOCKET h = WSASocketW(AF_INET, type, protocol, nullptr, 0,
                          WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (h == INVALID_SOCKET) {
        h = socket(AF_INET, type, protocol);
        if (h != INVALID_SOCKET) SetHandleInformation(HANDLE(h), HANDLE_FLAG_INHERIT, 0);
    }
    return socketOf(h);
}

bool setBlocking(Socket s, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(handle(s), FIONBIO, &nonBlocking) == 0;
}

}  // namespace

bool netStartup() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void netCleanup() { WSACleanup(); }

Socket tcpSocket() { return newSocket(SOCK_STREAM, IPPROTO_TCP); }

Socket udpSocket() {
    Socket s = newSocket(SOCK_DGRAM, IPPROTO_UDP);
    if (s != NO_SOCKET) {
        // A datagram to a closed port must not make the next receive on this
        // socket fail (Winsock reports the ICMP answer there; Linux does not).
        BOOL report = FALSE;
        DWORD returned = 0;
        WSAIoctl(handle(s), SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned,
                 nullptr, nullptr);
    }
    return s;
}

void closeSocket(Socket s) {
    if (s >= 0) closesocket(handle(s));
}

void shutdownSocket(Socket s) {
    if (s < 0) return;
    shutdown(handle(s), SD_BOTH);
    // Unlike Linux, Winsock's shutdown does not end a receive another thread
    // is blocked in; cancelling the socket's pending operations does (the
    // receive fails at once), so a waiting thread is not left to its timeout
    // or the next datagram.
    CancelIoEx(reinterpret_cast<HANDLE>(handle(s)), nullptr);
}

bool setReuseAddress(Socket s) {
    // Windows binds a listening port again while old connections linger in
    // TIME_WAIT without being asked. Its SO_REUSEADDR would instead let a
    // second program take a port that is in use, so it is left alone.
    (void)s;
    return true;
}

bool setReceiveTimeout(Socket s, uint32_t ms) {
    DWORD timeout = ms;
    return setsockopt(handle(s), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                      sizeof timeout) == 0;
}

Socket acceptConnection(Socket s, NetAddress* peer) {
    sockaddr_in sa{};
    int salen = sizeof sa;
    Socket c = socketOf(accept(handle(s), reinterpret_cast<sockaddr*>(&sa), &salen));
    if (c != NO_SOCKET && peer) {
        peer->ip = sa.sin_addr.s_addr;
        peer->port = ntohs(sa.sin_port);
    }
    return c;
}

bool sendFailedForPeerOnly() {
    switch (WSAGetLastError()) {
    case WSAECONNRESET: case WSAECONNABORTED: case WSAENOTCONN: case WSAEWOULDBLOCK:
    case WSAETIMEDOUT: case WSAEHOSTUNREACH: case WSAENETUNREACH: case WSAENETDOWN:
    case WSAENETRESET: case WSAESHUTDOWN:
        return true;
    default:
        return false;
    }
}

bool acceptFailedForPeerOnly() {
    switch (WSAGetLastError()) {
    // WSAENOTCONN: Wine reports a connection reset while it waited in the
    // queue this way once accept is asked for the peer's address.
    case WSAENOTCONN:
    case WSAECONNRESET: case WSAECONNABORTED: case WSAEINTR: case WSAEWOULDBLOCK:
    case WSAENETDOWN: case WSAENOPROTOOPT: case WSAEHOSTDOWN: case WSAEHOSTUNREACH:
    case WSAEOPNOTSUPP: case WSAENETUNREACH: case WSAENETRESET:
        return true;
    default:
        return false;
    }
}

bool setNonBlocking(Socket s) { return setBlocking(s, false); }

int waitReadable(const Socket* sockets, size_t count, uint32_t timeoutMs) {
    enum { MAX_POLLED = 256 };
    WSAPOLLFD fds[MAX_POLLED];
    if (count > MAX_POLLED) count = MAX_POLLED;
    if (count == 0) {
        Sleep(timeoutMs);
        return 0;
    }
    for (size_t i = 0; i < count; ++i) {
        fds[i] = WSAPOLLFD{};
        fds[i].fd = handle(sockets[i]);
        fds[i].events = POLLRDNORM;
    }
    int r = WSAPoll(fds, ULONG(count), INT(timeoutMs));
    return r == SOCKET_ERROR ? -1 : r;
}

bool connectTo(Socket s, const NetAddress& to, uint32_t timeoutMs) {
    sockaddr_in sa = toSockaddr(to);
    SOCKET h = handle(s);
    if (timeoutMs == 0) return connect(h, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    if (!setBlocking(s, false)) return false;
    bool ok = connect(h, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    if (!ok && WSAGetLastError() == WSAEWOULDBLOCK) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(h, &writable);
        FD_SET(h, &failed);
        timeval tv{long(timeoutMs / 1000), long((timeoutMs % 1000) * 1000)};
        if (select(0, nullptr, &writable, &failed, &tv) == 1 && FD_ISSET(h, &writable)) {
            int err = 0;
            int len = sizeof err;
            ok = getsockopt(h, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) == 0 &&
                 err == 0;
        }
    }
    // Winsock cannot say whether a socket was blocking; ours always start so.
    setBlocking(s, true);
    return ok;
}

long sendBytes(Socket s, const void* data, size_t len) {
    return send(handle(s), static_cast<const char*>(data), int(len), 0);
}

long receiveBytes(Socket s, void* data, size_t len) {
    return recv(handle(s), static_cast<char*>(data), int(len), 0);
}

long receiveFrom(Socket s, void* data, size_t len, NetAddress* from) {
    for (;;) {
        sockaddr_in sa{};
        int salen = sizeof sa;
        long n = recvfrom(handle(s), static_cast<char*>(data), int(len), 0,
                          reinterpret_cast<sockaddr*>(&sa), &salen);
        if (n == SOCKET_ERROR) {
            int error = WSAGetLastError();
            // An ICMP answer to an earlier send: nothing to read, try again.
            if (error == WSAECONNRESET) continue;
            // Too long for the buffer: Winsock fills it and fails, Linux cuts
            // the datagram to the buffer. Callers expect Linux's answer.
            if (error != WSAEMSGSIZE) return -1;
            n = long(len);
        }
        if (from) {
            from->ip = sa.sin_addr.s_addr;
            from->port = ntohs(sa.sin_port);
        }
        return n;
    }
}

namespace {
// WSARecvMsg is reached through the socket's extension table.
LPFN_WSARECVMSG receiveMessage(SOCKET h) {
    static LPFN_WSARECVMSG found = nullptr;
    if (!found) {
        GUID id = WSAID_WSARECVMSG;
        DWORD bytes = 0;
        LPFN_WSARECVMSG f = nullptr;
        if (WSAIoctl(h, SIO_GET_EXTENSION_FUNCTION_POINTER, &id, sizeof id, &f, sizeof f, &bytes,
                     nullptr, nullptr) == 0)
            found = f;
    }
    return found;
}
}  // namespace

bool enableArrivalAddress(Socket s) {
    DWORD on = 1;
    return setsockopt(handle(s), IPPROTO_IP, IP_PKTINFO, reinterpret_cast<const char*>(&on),
                      sizeof on) == 0 &&
           receiveMessage(handle(s)) != nullptr;
}

long receiveDatagram(Socket s, void* data, size_t len, NetAddress* from, uint32_t* arrivedAt) {
    if (arrivedAt) *arrivedAt = 0;
    LPFN_WSARECVMSG recvMsg = receiveMessage(handle(s));
    if (!recvMsg) return receiveFrom(s, data, len, from);
    for (;;) {
        sockaddr_in sa{};
        WSABUF buffer{ULONG(len), static_cast<char*>(data)};
        char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
        WSAMSG m{};
        m.name = reinterpret_cast<sockaddr*>(&sa);
        m.namelen = sizeof sa;
        m.lpBuffers = &buffer;
        m.dwBufferCount = 1;
        m.Control.buf = control;
        m.Control.len = sizeof control;
        DWORD got = 0;
        long n;
        if (recvMsg(handle(s), &m, &got, nullptr, nullptr) == SOCKET_ERROR) {
            int error = WSAGetLastError();
            if (error == WSAECONNRESET) continue;  // an ICMP answer to an earlier send
            // Too long for the buffer: cut to it, as Linux does.
            if (error != WSAEMSGSIZE) return -1;
            n = long(len);
        } else {
            n = long(got);
        }
        if (from) {
            from->ip = sa.sin_addr.s_addr;
            from->port = ntohs(sa.sin_port);
        }
        if (arrivedAt && m.Control.len > 0) {
            for (WSACMSGHDR* c = WSA_CMSG_FIRSTHDR(&m); c; c = WSA_CMSG_NXTHDR(&m, c)) {
                if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO) continue;
                IN_PKTINFO info;
                std::memcpy(&info, WSA_CMSG_DATA(c), sizeof info);
                *arrivedAt = info.ipi_addr.s_addr;
            }
        }
        return n;
    }
}

long sendDatagram(Socket s, const Datagram& d) {
    if (d.fromIp == 0) return sendTo(s, d.data, d.len, d.to);
    sockaddr_in to = toSockaddr(d.to);
    WSABUF buffer{ULONG(d.len), static_cast<char*>(const_cast<void*>(d.data))};
    char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
    WSAMSG m{};
    m.name = reinterpret_cast<sockaddr*>(&to);
    m.namelen = sizeof to;
    m.lpBuffers = &buffer;
    m.dwBufferCount = 1;
    m.Control.buf = control;
    m.Control.len = sizeof control;
    WSACMSGHDR* c = WSA_CMSG_FIRSTHDR(&m);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = WSA_CMSG_LEN(sizeof(IN_PKTINFO));
    IN_PKTINFO info{};
    info.ipi_addr.s_addr = d.fromIp;
    std::memcpy(WSA_CMSG_DATA(c), &info, sizeof info);
    DWORD sent = 0;
    if (WSASendMsg(handle(s), &m, 0, &sent, nullptr, nullptr) == 0) return long(sent);
    // A system that cannot choose the source still gets the datagram out.
    return sendTo(s, d.data, d.len, d.to);
}

size_t sendBatch(Socket s, const Datagram* datagrams, size_t count) {
    // Winsock has no sendmmsg: one call per datagram, in the same order.
    for (size_t i = 0; i < count; ++i) sendDatagram(s, datagrams[i]);
    return count;
}

namespace {
// The IPv4 interfaces that are up; how many were written.
size_t upInterfaces(INTERFACE_INFO* out, size_t max) {
    Socket s = udpSocket();
    if (s == NO_SOCKET) return 0;
    DWORD bytes = 0;
    int r = WSAIoctl(handle(s), SIO_GET_INTERFACE_LIST, nullptr, 0, out,
                     DWORD(max * sizeof(INTERFACE_INFO)), &bytes, nullptr, nullptr);
    closeSocket(s);
    if (r == SOCKET_ERROR) return 0;
    return bytes / sizeof(INTERFACE_INFO);
}
}  // namespace

size_t broadcastAddresses(NetAddress* out, size_t max) {
    INTERFACE_INFO list[32];
    size_t found = upInterfaces(list, 32), count = 0;
    for (size_t i = 0; i < found; ++i) {
        const INTERFACE_INFO& f = list[i];
        if (!(f.iiFlags & IFF_UP) || !(f.iiFlags & IFF_BROADCAST)) continue;
        if (f.iiAddress.Address.sa_family != AF_INET) continue;
        // Windows reports 255.255.255.255 as every interface's broadcast
        // address; the network's own comes from the address and its mask.
        uint32_t ip = f.iiAddress.AddressIn.sin_addr.s_addr;
        uint32_t mask = f.iiNetmask.AddressIn.sin_addr.s_addr;
        if ((ntohl(ip) >> 24) == 127) continue;
        count = sys::addUnique(out, count, max, ip | ~mask);
    }
    count = sys::addUnique(out, count, max, htonl(0x7FFFFFFFu));  // 127.255.255.255
    count = sys::addUnique(out, count, max, htonl(INADDR_BROADCAST));
    return count;
}

size_t localAddresses(NetAddress* out, size_t max) {
    INTERFACE_INFO list[32];
    size_t found = upInterfaces(list, 32), count = 0;
    for (size_t i = 0; i < found; ++i) {
        if (list[i].iiAddress.Address.sa_family != AF_INET) continue;
        count = sys::addUnique(out, count, max, list[i].iiAddress.AddressIn.sin_addr.s_addr);
    }
    return count;
}

}  // namespace platform
