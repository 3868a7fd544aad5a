// Sockets (IPv4) for both systems, POSIX or Winsock underneath: the only place
// the programs touch the network. A Socket is a plain handle; the caller owns
// it and closes it with closeSocket.
#pragma once
#include <cstddef>
#include <cstdint>

namespace platform {

using Socket = int;
constexpr Socket NO_SOCKET = -1;

// An IPv4 endpoint. `ip` is in network byte order, `port` in host order.
struct NetAddress {
    uint32_t ip = 0;
    uint16_t port = 0;
};

// Start and stop the sockets layer (nothing to do on POSIX; kept so callers
// follow one start/stop discipline on every platform).
bool netStartup();
void netCleanup();

Socket tcpSocket();
Socket udpSocket();
void closeSocket(Socket s);
// Wakes any thread blocked on the socket (closing alone does not on Linux).
void shutdownSocket(Socket s);

// Allow a listening port to be bound again while old connections linger.
bool setReuseAddress(Socket s);
// Close with a reset instead of an orderly goodbye (tests of rude peers).
bool setAbortiveClose(Socket s);
// Receives on s return -1 at once when nothing is waiting.
bool setNonBlocking(Socket s);
// Waits until one of the sockets has a datagram or timeoutMs passes; returns
// how many are readable (0 on time-out, -1 on failure).
int waitReadable(const Socket* sockets, size_t count, uint32_t timeoutMs);
// Make receives on s give up after `ms` milliseconds (0: wait for ever).
bool setReceiveTimeout(Socket s, uint32_t ms);

bool bindAnyInterface(Socket s, uint16_t port);
// Binds to one of this host's addresses (port 0: any free port).
bool bindAddress(Socket s, const NetAddress& local);
bool listenOn(Socket s, int backlog);
// NO_SOCKET on failure; the peer's address in *peer when asked.
Socket acceptConnection(Socket s, NetAddress* peer = nullptr);
// After a failed acceptConnection: true when only that one pending connection
// failed (the peer reset it, the network hiccuped) and the listener is fine.
bool acceptFailedForPeerOnly();
// After a failed send on a connection: true when the peer caused it (it reset
// or closed the connection, or will not take the bytes now).
bool sendFailedForPeerOnly();
// Connects, giving up after timeoutMs (0: the system's own limit).
bool connectTo(Socket s, const NetAddress& to, uint32_t timeoutMs);

// Results are byte counts, or -1 on failure, as the system calls return them.
long sendBytes(Socket s, const void* data, size_t len);
long receiveBytes(Socket s, void* data, size_t len);
long sendTo(Socket s, const void* data, size_t len, const NetAddress& to);
long receiveFrom(Socket s, void* data, size_t len, NetAddress* from);

// Asks the system to tell, with each datagram s receives, which of this
// host's addresses it was sent to (see receiveDatagram).
bool enableArrivalAddress(Socket s);
// receiveFrom that also gives the local address the datagram reached (0 when
// the system did not say), so answers can leave from that same address: a
// peer that reached us by one of several addresses takes only answers from it.
long receiveDatagram(Socket s, void* data, size_t len, NetAddress* from, uint32_t* arrivedAt);

// One outgoing datagram of a batch.
struct Datagram {
    const void* data;
    size_t len;
    NetAddress to;
    uint32_t fromIp = 0;  // local address it leaves from (network order); 0: the system's pick
};
// One datagram, from its fromIp when it has one.
long sendDatagram(Socket s, const Datagram& d);
// Sends the datagrams in order, in as few system calls as the platform allows.
// Returns how many went out.
size_t sendBatch(Socket s, const Datagram* datagrams, size_t count);

// Host name or dotted quad to an address (port 0). False when not found.
bool lookupHost(const char* name, NetAddress* out);
// The local host's name (bounded to `size` including the terminator).
bool localHostName(char* out, size_t size);
// Dotted text of an address, at most 15 characters plus terminator.
void addressText(const NetAddress& a, char out[16]);
// The local port a socket is bound to (0 if none).
uint16_t localPort(Socket s);
// The local address a connected socket speaks from (the interface that
// reaches its peer). False when it has none.
bool localAddress(Socket s, NetAddress* out);
// 127.0.0.0/8.
bool isLoopback(const NetAddress& a);

// Lets s send to broadcast addresses.
bool setBroadcast(Socket s);
// Where a LAN-wide datagram should go (port 0): the broadcast address of every
// interface that has one, the loopback network's (this host's own programs)
// and the limited broadcast 255.255.255.255. Returns how many were written.
size_t broadcastAddresses(NetAddress* out, size_t max);
// The IPv4 addresses of this host's interfaces (port 0), loopback included.
size_t localAddresses(NetAddress* out, size_t max);
// A dotted quad ("192.168.1.20") without any lookup; false for anything else.
bool parseDottedQuad(const char* text, NetAddress* out);

}  // namespace platform
