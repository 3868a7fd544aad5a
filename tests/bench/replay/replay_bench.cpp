// replay_bench [MINUTES]: records a synthetic ten-player match (every player
// moving and sending 50 states a second, turning, firing and killing now and
// then) of MINUTES (60) through the real writer, then opens and seeks it.
// Prints figures and their ratio to a baseline measured in the same run:
// formatting a state (what the game already does for each one it sends) for
// the writer's cost, reading the whole file into memory for open and seek.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "protocol/protocol.h"
#include "replay/folder.h"
#include "replay/reader.h"
#include "replay/writer.h"

using namespace replay;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}
double cpuMs() { return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC; }

struct Player {
    protocol::StateMessage s;
    float heading = 0;
    uint32_t deadUntil = 0;
};

}  // namespace

int main(int argc, char** argv) {
    int minutes = argc > 1 ? std::atoi(argv[1]) : 60;
    if (minutes < 1) minutes = 1;
    std::string folder = "/tmp/replay_bench_" + std::to_string(std::time(nullptr));
    platform::makeFolder(folder.c_str());

    Player players[10];
    for (int i = 0; i < 10; ++i) {
        std::snprintf(players[i].s.clientId, sizeof players[i].s.clientId, "%d10.0.0.%d",
                      4000 + i, i + 2);
        std::snprintf(players[i].s.name, sizeof players[i].s.name, "Player%d", i + 1);
        players[i].s.skin = i % 3;
        players[i].heading = float(i * 36);
    }
    uint64_t rng = 88172645463325252ull;
    auto random = [&rng] {
        rng ^= rng << 13, rng ^= rng >> 7, rng ^= rng << 17;
        return double(rng % 1000000) / 1000000.0;
    };

    ReplayWriter writer;
    writer.open(folder.c_str(), "hall", "bench", 20);
    char text[protocol::NET_BUFFER_SIZE];
    uint64_t states = 0, rawBytes = 0;
    double formatMs = 0, recordMs = 0;
    double cpuStart = cpuMs();
    Clock::time_point wall = Clock::now();
    uint32_t end = uint32_t(minutes) * 60000;
    for (uint32_t t = 0; t < end; t += 20) {
        for (int i = 0; i < 10; ++i) {
            Player& p = players[i];
            protocol::StateMessage& s = p.s;
            p.heading += float(random() * 6 - 3);
            s.yaw = p.heading;
            s.x += 0.1f * std::sin(p.heading * 0.01745f);
            s.y += 0.1f * std::cos(p.heading * 0.01745f);
            s.animFrame = int(t / 100 % 8);
            s.beamVisible = random() < 0.1 ? 1 : 0;
            s.beamX = s.beamVisible ? s.x : 0, s.beamY = s.beamVisible ? s.y : 0;
            s.beamLength = s.beamVisible ? float(3 + random() * 5) : 0;
            if (p.deadUntil == 0 && random() < 0.0005) {  // killed by the next player
                s.dead = 1;
                std::snprintf(s.killerId, sizeof s.killerId, "%s", players[(i + 1) % 10].s.clientId);
                p.deadUntil = t + 1000;
                players[(i + 1) % 10].s.frags++;
            } else if (p.deadUntil && t >= p.deadUntil) {
                s.dead = 0, p.deadUntil = 0;
                std::snprintf(s.killerId, sizeof s.killerId, "0");
            }
            Clock::time_point f = Clock::now();
            size_t n = protocol::formatStateMessage(s, text, sizeof text);
            formatMs += msSince(f);
            text[n] = '\0';
            *std::strchr(text, '+') = '\0';  // kept without the checksum suffix
            Clock::time_point r = Clock::now();
            writer.record(t, uint8_t(i), text);
            recordMs += msSince(r);
            rawBytes += std::strlen(text) + RECORD_HEADER_SIZE;
            ++states;
        }
        // Fifty times faster than a real match: the queue never fills.
        if (t % 1000 == 0) platform::sleepMs(20);
        if (t % 60000 == 0) {
            for (Player& p : players)
                if (p.s.frags >= 20) {
                    for (Player& q : players) q.s.frags = 0;
                    break;
                }
        }
    }
    writer.close();
    double writeWall = msSince(wall), writeCpu = cpuMs() - cpuStart;
    std::string path = writer.finishedPath(), failure;
    if (writer.takeFailure(&failure) || path.empty()) {
        std::printf("recording failed: %s\n", failure.c_str());
        return 1;
    }
    std::string whole;
    platform::readWholeFile(path.c_str(), &whole);
    double mbPerMinute = double(whole.size()) / 1e6 / minutes;

    std::printf("match: %d minutes, 10 players, %llu states (%llu kept)\n", minutes,
                (unsigned long long)states, (unsigned long long)writer.keptCount());
    std::printf("file size per minute:        %.3f MB (raw records %.3f MB: zlib %.1fx)   aim <= 1 MB\n",
                mbPerMinute, double(rawBytes) / 1e6 / minutes, double(rawBytes) / double(whole.size()));
    std::printf("writer, caller's time/state: %.3f us; formatting a state: %.3f us; ratio %.2f\n",
                1000 * recordMs / double(states), 1000 * formatMs / double(states), recordMs / formatMs);
    std::printf("writer, both threads' CPU:   %.1f ms per minute of match (%.2f%% of one core), wall %.0f ms\n",
                writeCpu / minutes, 100 * writeCpu / (minutes * 60000.0), writeWall);

    // Baseline: the whole file into memory.
    Clock::time_point b = Clock::now();
    std::string again;
    platform::readWholeFile(path.c_str(), &again);
    double readMs = msSince(b);

    Clock::time_point o = Clock::now();
    ReplayReader reader;
    bool opened = reader.open(path.c_str());
    uint32_t length = reader.lengthMs();
    size_t rounds = reader.summary().rounds.size(), kills = reader.summary().kills.size();
    double openMs = msSince(o);
    std::printf("open (header, index, summary): %.2f ms  [%s, %u ms, %zu rounds, %zu kills]; whole file read %.2f ms; ratio %.3f   aim <= 100 ms\n",
                openMs, opened ? "ok" : "FAILED", length, rounds, kills, readMs, openMs / readMs);
    double worst = 0, total = 0;
    int seeks = 50;
    for (int k = 0; k < seeks; ++k) {
        uint32_t at = uint32_t(random() * length);
        Clock::time_point s = Clock::now();
        reader.seek(at);
        ReplayRecord rec;
        while (reader.next(&rec) && (rec.flags & RECORD_KEYFRAME)) {
        }
        double ms = msSince(s);
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf("seek + first record: mean %.2f ms, worst %.2f ms of %d; ratio worst/whole read %.3f   aim <= 100 ms\n",
                total / seeks, worst, seeks, worst / readMs);

    // The same recording cut short before its summary and index (a killed
    // program's .part): indexed by walking its chunk headers.
    std::string cut = folder + "/cut.bvr.part";
    FILE* f = std::fopen(cut.c_str(), "wb");
    std::fwrite(whole.data(), 1, size_t(reader.chunks().back().offset), f);
    std::fclose(f);
    Clock::time_point c = Clock::now();
    ReplayReader partial;
    partial.open(cut.c_str());
    partial.lengthMs();
    double cutOpenMs = msSince(c);
    Clock::time_point cs = Clock::now();
    size_t cutKills = partial.summary().kills.size();
    double cutSummaryMs = msSince(cs);
    std::printf("unfinished file: open %.2f ms (ratio %.3f); its summary rebuilt by reading it all %.0f ms (%zu kills)\n",
                cutOpenMs, cutOpenMs / readMs, cutSummaryMs, cutKills);
    std::remove(cut.c_str());
    std::remove(path.c_str());
    std::remove(folder.c_str());
    return 0;
}
