// Bots against the real server: a match of four reaches the frag limit with
// every kill credited once and nobody in a wall; skill tells; bad situations
// end the program with one line and a failure status.
#include <gtest/gtest.h>

#include <string>

#include "../server/server_process.h"
#include "bot_watch.h"
#include "platform/clock.h"
#include "tools/bot/options.h"

namespace {

int countLines(const std::string& text, const std::string& start) {
    int n = 0;
    for (size_t at = 0; (at = text.find(start, at)) != std::string::npos; ++at)
        if (at == 0 || text[at - 1] == '\n') ++n;
    return n;
}

bool startServer(ServerProcess& server, const std::string& map, int players, int frags) {
    // Another test may still hold the ports for a moment.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (!server.start({map, std::to_string(players), std::to_string(frags)})) return false;
        std::string line = server.readLine(1500);
        if (line.find("Error") == std::string::npos && !line.empty()) return true;
        server.stop();
        platform::sleepMs(1000);
    }
    return false;
}

}  // namespace

TEST(BotMatch, FourBotsReachTheFragLimitCreditingEveryKillOnceAndNeverInAWall) {
    constexpr int FRAG_LIMIT = 6;
    ServerProcess server;
    ASSERT_TRUE(startServer(server, "hall", 10, FRAG_LIMIT));
    BotWatch watch("../data/maps/hall/hall.bxm");
    ASSERT_TRUE(watch.map.readSucceeded());
    ASSERT_TRUE(watch.join());
    ServerProcess bots;
    ASSERT_TRUE(bots.start({"--count", "4", "--name", "Ace", "--skill", "4"}, "./bot"));

    uint32_t start = platform::timeGetTime();
    ASSERT_TRUE(watch.watchUntilFrags(FRAG_LIMIT, 150000)) << "no bot reached the limit";
    std::printf("frag limit %d reached in %u ms\n", FRAG_LIMIT, platform::timeGetTime() - start);
    // Everyone is in the round's pause now: the last credits arrive, nothing new happens.
    watch.watch(1500);
    bots.terminate();
    int status = 0;
    std::string out = bots.readToEnd(&status);

    int bots_seen = 0, credited = 0, deaths = 0;
    for (auto& entry : watch.players) {
        const Watched& w = entry.second;
        if (w.name.rfind("Ace", 0) != 0) continue;
        ++bots_seen;
        credited += w.credited;
        deaths += w.deaths;
        EXPECT_EQ(w.frags, w.credited) << w.name << " frags against kills named by its victims";
        EXPECT_EQ(w.badPositions, 0) << w.name << " in a wall or off the map at " << w.badX << " "
                                     << w.badY;
        std::printf("%s frags=%d deaths=%d\n", w.name.c_str(), w.frags, w.deaths);
    }
    EXPECT_EQ(bots_seen, 4);
    EXPECT_EQ(credited, deaths);
    EXPECT_GE(credited, FRAG_LIMIT);
    // The bots' own account: one line per kill and per death, exactly.
    EXPECT_EQ(countLines(out, "kill "), credited) << out;
    EXPECT_EQ(countLines(out, "death "), deaths);
}

TEST(BotMatch, SkillFiveBeatsSkillOneClearly) {
    ServerProcess server;
    ASSERT_TRUE(startServer(server, "duel", 10, 10));
    BotWatch watch("../data/maps/duel/duel.bxm");
    ASSERT_TRUE(watch.join());
    ServerProcess low, high;
    ASSERT_TRUE(low.start({"--count", "2", "--name", "Low", "--skill", "1"}, "./bot"));
    ASSERT_TRUE(high.start({"--count", "2", "--name", "High", "--skill", "5"}, "./bot"));
    watch.watch(60000);
    int lowKills = 0, highKills = 0;
    for (auto& entry : watch.players) {
        if (entry.second.name.rfind("Low", 0) == 0) lowKills += entry.second.credited;
        if (entry.second.name.rfind("High", 0) == 0) highKills += entry.second.credited;
    }
    std::printf("skill 1: %d kills, skill 5: %d kills\n", lowKills, highKills);
    EXPECT_GE(highKills, 10);
    EXPECT_GT(highKills, 2 * lowKills);
}

// The bot's whole output when it fails: one "bot: ..." line (and, for bad
// arguments, the usage line), with the status.
std::string failure(const std::vector<std::string>& args, int* status) {
    ServerProcess bot;
    if (!bot.start(args, "./bot", true)) return "not started";
    return bot.readToEnd(status, 8000);
}

TEST(BotProgram, BadSituationsEndWithOneLineAndAFailureStatus) {
    int status = 0;
    std::string out = failure({"--skill", "9"}, &status);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(out, std::string("bot: --skill takes 1 to 5\n") + BOT_USAGE + "\n");

    out = failure({"--server", "127.0.0.1"}, &status);  // nothing listens
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "bot: Bot1 could not join 127.0.0.1: no server answered\n");
    {
        ServerProcess server;
        ASSERT_TRUE(startServer(server, "duel", 1, 5));
        BotWatch watch("../data/maps/duel/duel.bxm");
        ASSERT_TRUE(watch.join());
        out = failure({}, &status);  // the one place is taken
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out, "bot: Bot1 could not join 127.0.0.1: the server is full\n");
    }
    {
        ServerProcess server;  // names a map this folder does not have
        ASSERT_TRUE(startServer(server, "nowhere", 4, 5));
        out = failure({}, &status);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(out, "bot: could not load the map ../data/maps/nowhere/nowhere.bxm\n");
    }
    {
        ServerProcess server;
        ASSERT_TRUE(startServer(server, "duel", 4, 5));
        ServerProcess bot;
        ASSERT_TRUE(bot.start({"--count", "2"}, "./bot", true));
        platform::sleepMs(1500);
        server.stop();  // the server goes away
        out = bot.readToEnd(&status, 8000);
        EXPECT_EQ(status, 1);
        EXPECT_NE(out.find("bot: the server at 127.0.0.1 went away\n"), std::string::npos) << out;
        EXPECT_EQ(countLines(out, "bot: "), 1);
    }
}
