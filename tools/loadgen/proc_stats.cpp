#include "tools/loadgen/proc_stats.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

double processCpuSeconds(int pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
    FILE* f = std::fopen(path, "r");
    if (!f) return -1;
    char line[1024];
    bool ok = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    if (!ok) return -1;
    // The command name may hold blanks and parentheses: count from the last ')'.
    const char* p = std::strrchr(line, ')');
    if (!p) return -1;
    unsigned long long utime = 0, stime = 0;
    // After ")": state, then fields 4..13, then utime (14) and stime (15).
    if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) != 2)
        return -1;
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

long long udpDrops(uint16_t port) {
    FILE* f = std::fopen("/proc/net/udp", "r");
    if (!f) return -1;
    char line[512];
    long long total = -1;
    std::fgets(line, sizeof line, f);  // header
    while (std::fgets(line, sizeof line, f)) {
        unsigned localPort = 0;
        // "sl: local_ip:port remote tx:rx ... drops" -- drops is the last field.
        if (std::sscanf(line, " %*d: %*x:%x", &localPort) != 1 || localPort != port) continue;
        // The drop count is the line's last field.
        const char* last = nullptr;
        for (const char* q = line; *q; ++q)
            if (*q != ' ' && *q != '\n' && (q == line || q[-1] == ' ')) last = q;
        long long drops = 0;
        if (last && std::sscanf(last, "%lld", &drops) == 1) total = (total < 0 ? 0 : total) + drops;
    }
    std::fclose(f);
    return total;
}
