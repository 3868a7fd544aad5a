// `bot`: computer players for practice. Joins the server with N bots that
// play like clients until the process is stopped or the server goes away.
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "client/map/map.h"
#include "client/core/records.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "tools/bot/bot.h"
#include "tools/bot/options.h"

namespace {

constexpr uint32_t FRAME_MS = 10;
constexpr uint32_t SERVER_SILENCE_MS = 3000;

volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

}  // namespace

int main(int argc, char** argv) {
    BotOptions options;
    std::string error;
    if (!parseBotOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "bot: %s\n%s\n", error.c_str(), BOT_USAGE);
        return 2;
    }
    if (options.help) {
        std::printf("%s\n"
                    "Computer players for a practice match; run from the game's bin/ folder.\n"
                    "  --count N      bots to start, 1 to 9 (1)\n"
                    "  --server HOST  the server to join (127.0.0.1)\n"
                    "  --name PREFIX  names PREFIX1, PREFIX2, ... (Bot)\n"
                    "  --skin S       0, 1, 2 or random (random)\n"
                    "  --skill L      1 (slow, poor aim) to 5 (quick, sharp) (3)\n",
                    BOT_USAGE);
        return 0;
    }
    // A windowless player: silent fighters, no mouse, the real clock.
    resetProcessRecords();
    platform::keepStandardStreamsBinary();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    uint32_t seed = uint32_t(std::time(nullptr)) ^ uint32_t(platform::currentProcessId() << 8);
    std::srand(seed);
    std::mt19937 rng(seed);

    std::vector<std::unique_ptr<Bot>> bots;
    for (int i = 1; i <= options.count; ++i) {
        int32_t skin = options.skin >= 0 ? options.skin : int32_t(rng() % SKIN_COUNT);
        std::string name = botName(options.namePrefix, i);
        bots.push_back(std::make_unique<Bot>(i, name, skin, options.skill, uint32_t(rng())));
        JoinOutcome outcome = bots.back()->join(options.server.c_str());
        if (outcome == JoinOutcome::ServerFull) {
            std::fprintf(stderr, "bot: %s could not join %s: the server is full\n", name.c_str(),
                         options.server.c_str());
            return 1;
        }
        if (outcome == JoinOutcome::BadMapPath) {
            std::fprintf(stderr, "bot: %s could not join %s: it named a map outside data/maps\n",
                         name.c_str(), options.server.c_str());
            return 1;
        }
        if (outcome != JoinOutcome::Joined) {
            std::fprintf(stderr, "bot: %s could not join %s: no server answered\n", name.c_str(),
                         options.server.c_str());
            return 1;
        }
    }

    std::string path = std::string("../data/maps/") + bots.front()->reply().mapPath;
    Map map(path.c_str(), LEVEL_GEOMETRY_ONLY);
    if (!map.readSucceeded()) {
        std::fprintf(stderr, "bot: could not load the map %s\n", path.c_str());
        return 1;
    }
    uint32_t now = platform::timeGetTime();
    for (auto& bot : bots) bot->enter(map, now);

    while (!stopRequested) {
        now = platform::timeGetTime();
        for (auto& bot : bots) {
            if (bot->serverSilentFor(now, SERVER_SILENCE_MS)) {
                std::fprintf(stderr, "bot: the server at %s went away\n", options.server.c_str());
                return 1;
            }
            bot->frame(now);
        }
        platform::sleepMs(FRAME_MS);
    }
    return 0;
}
