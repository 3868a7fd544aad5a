// Sockets on Linux: the calls whose details differ from Winsock's.
#include "platform/net_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <poll.h>
#include <sys/time.h>

namespace platform {

using sys::toSockaddr;

bool netStartup() { return true; }
void netCleanup() {}

Socket tcpSocket() { return socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP); }
Socket udpSocket() { return socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP); }

void closeSocket(Socket s) {
    if (s >= 0) close(s);
}

void shutdownSocket(Socket s) {
    if (s >= 0) shutdown(s, SHUT_RDWR);
}

bool setReuseAddress(Socket s) {
    int on = 1;
    return setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0;
}

bool setReceiveTimeout(Socket s, uint32_t ms) {
    timeval tv{time_t(ms / 1000), suseconds_t((ms % 1000) * 1000)};
    return setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0;
}

Socket acceptConnection(Socket s, NetAddress* peer) {
    for (;;) {
        sockaddr_in sa{};
        socklen_t salen = sizeof sa;
        Socket c = accept4(s, reinterpret_cast<sockaddr*>(&sa), &salen, SOCK_CLOEXEC);
        if (c >= 0 && peer) {
            peer->ip = sa.sin_addr.s_addr;
            peer->port = ntohs(sa.sin_port);
        }
        if (c >= 0 || errno != EINTR) return c;
    }
}

bool acceptFailedForPeerOnly() {
    switch (errno) {
    case ECONNABORTED: case EPROTO: case EINTR: case EAGAIN: case ENETDOWN: case ENOPROTOOPT:
    case EHOSTDOWN: case ENONET: case EHOSTUNREACH: case EOPNOTSUPP: case ENETUNREACH:
        return true;
    default:
        return false;
    }
}

bool sendFailedForPeerOnly() {
    switch (errno) {
    case ECONNRESET: case EPIPE: case ENOTCONN: case EAGAIN: case ETIMEDOUT: case EHOSTUNREACH:
    case ENETUNREACH: case ENETDOWN:
        return true;
    default:
        return false;
    }
}

bool setNonBlocking(Socket s) {
    int flags = fcntl(s, F_GETFL, 0);
    return flags >= 0 && fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}

int waitReadable(const Socket* sockets, size_t count, uint32_t timeoutMs) {
    enum { MAX_POLLED = 256 };
    pollfd fds[MAX_POLLED];
    if (count > MAX_POLLED) count = MAX_POLLED;
    for (size_t i = 0; i < count; ++i) fds[i] = pollfd{sockets[i], POLLIN, 0};
    int r;
    do {
        r = poll(fds, nfds_t(count), int(timeoutMs));
    } while (r < 0 && errno == EINTR);
    return r;
}

bool connectTo(Socket s, const NetAddress& to, uint32_t timeoutMs) {
    sockaddr_in sa = toSockaddr(to);
    if (timeoutMs == 0) return connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    int flags = fcntl(s, F_GETFL, 0);
    if (flags < 0 || fcntl(s, F_SETFL, flags | O_NONBLOCK) < 0) return false;
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
    if (!ok && errno == EINPROGRESS) {
        pollfd p{s, POLLOUT, 0};
        if (poll(&p, 1, int(timeoutMs)) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ok = getsockopt(s, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
        }
    }
    fcntl(s, F_SETFL, flags);
    return ok;
}

long sendBytes(Socket s, const void* data, size_t len) { return send(s, data, len, MSG_NOSIGNAL); }

long receiveBytes(Socket s, void* data, size_t len) {
    for (;;) {
        long n = recv(s, data, len, 0);
        if (n >= 0 || errno != EINTR) return n;
    }
}

long receiveFrom(Socket s, void* data, size_t len, NetAddress* from) {
    sockaddr_in sa{};
    socklen_t salen = sizeof sa;
    long n;
    do {
        n = recvfrom(s, data, len, 0, reinterpret_cast<sockaddr*>(&sa), &salen);
    } while (n < 0 && errno == EINTR);
    if (n >= 0 && from) {
        from->ip = sa.sin_addr.s_addr;
        from->port = ntohs(sa.sin_port);
    }
    return n;
}

bool enableArrivalAddress(Socket s) {
    int on = 1;
    return setsockopt(s, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) == 0;
}

long receiveDatagram(Socket s, void* data, size_t len, NetAddress* from, uint32_t* arrivedAt) {
    sockaddr_in sa{};
    iovec iov{data, len};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr m{};
    long n;
    do {
        m.msg_name = &sa;
        m.msg_namelen = sizeof sa;
        m.msg_iov = &iov;
        m.msg_iovlen = 1;
        m.msg_control = control;
        m.msg_controllen = sizeof control;
        m.msg_flags = 0;
        n = recvmsg(s, &m, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return n;
    if (from) {
        from->ip = sa.sin_addr.s_addr;
        from->port = ntohs(sa.sin_port);
    }
    if (arrivedAt) {
        *arrivedAt = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&m); c; c = CMSG_NXTHDR(&m, c)) {
            if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO) continue;
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            // The address a reply should come from: for a datagram to a
            // broadcast address, that of the interface it came in by.
            *arrivedAt = info.ipi_spec_dst.s_addr;
        }
    }
    return n;
}

namespace {
// Room for one datagram's chosen source address.
struct SourceControl {
    alignas(cmsghdr) char bytes[CMSG_SPACE(sizeof(in_pktinfo))];
};

// Fills m's name, data and (with a fromIp) its source address.
void describe(const Datagram& d, msghdr& m, sockaddr_in& to, iovec& iov, SourceControl& source) {
    to = toSockaddr(d.to);
    iov.iov_base = const_cast<void*>(d.data);
    iov.iov_len = d.len;
    m = msghdr{};
    m.msg_name = &to;
    m.msg_namelen = sizeof to;
    m.msg_iov = &iov;
    m.msg_iovlen = 1;
    if (d.fromIp == 0) return;
    std::memset(source.bytes, 0, sizeof source.bytes);
    m.msg_control = source.bytes;
    m.msg_controllen = sizeof source.bytes;
    cmsghdr* c = CMSG_FIRSTHDR(&m);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = d.fromIp;
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
}
}  // namespace

long sendDatagram(Socket s, const Datagram& d) {
    if (d.fromIp == 0) return sendTo(s, d.data, d.len, d.to);
    msghdr m;
    sockaddr_in to;
    iovec iov;
    SourceControl source;
    describe(d, m, to, iov, source);
    long n;
    do {
        n = sendmsg(s, &m, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n;
}

size_t sendBatch(Socket s, const Datagram* datagrams, size_t count) {
    // Room for a whole relay round (90 datagrams) in one system call.
    constexpr size_t BATCH = 128;
    size_t sent = 0;
    while (sent < count) {
        mmsghdr msgs[BATCH];
        iovec iov[BATCH];
        sockaddr_in addrs[BATCH];
        SourceControl sources[BATCH];
        size_t n = count - sent < BATCH ? count - sent : BATCH;
        for (size_t i = 0; i < n; ++i) {
            msgs[i] = mmsghdr{};
            describe(datagrams[sent + i], msgs[i].msg_hdr, addrs[i], iov[i], sources[i]);
        }
        int r = sendmmsg(s, msgs, unsigned(n), MSG_NOSIGNAL);
        if (r < 0) {
            if (errno == EINTR) continue;
            // Skip the datagram the kernel refused, as a lone sendto would.
            ++sent;
            continue;
        }
        sent += size_t(r) == 0 ? 1 : size_t(r);
    }
    return sent;
}

size_t broadcastAddresses(NetAddress* out, size_t max) {
    size_t count = 0;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (ifaddrs* i = list; i; i = i->ifa_next) {
            if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
            if (!(i->ifa_flags & IFF_UP) || !(i->ifa_flags & IFF_BROADCAST) || !i->ifa_broadaddr)
                continue;
            uint32_t ip = reinterpret_cast<sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr;
            count = sys::addUnique(out, count, max, ip);
        }
        freeifaddrs(list);
    }
    count = sys::addUnique(out, count, max, htonl(0x7FFFFFFFu));  // 127.255.255.255
    count = sys::addUnique(out, count, max, htonl(INADDR_BROADCAST));
    return count;
}

size_t localAddresses(NetAddress* out, size_t max) {
    size_t count = 0;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return 0;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        count = sys::addUnique(out, count, max,
                               reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
    }
    freeifaddrs(list);
    return count;
}

}  // namespace platform
