// What the kernel says about another process and a UDP port, read from /proc
// (Linux only): CPU time of a pid and the receive drops of a bound port.
#pragma once
#include <cstdint>

// User plus system CPU time of the process, in seconds; -1 when unreadable.
double processCpuSeconds(int pid);

// Datagrams the kernel dropped on the UDP socket bound to `port` because its
// receive queue was full (summed over sockets on that port); -1 if none found.
long long udpDrops(uint16_t port);
