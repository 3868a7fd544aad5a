// The game's side of recordings without a window: the viewer's playback
// (events as a match would show them, seeks that rebuild the scene silently,
// pause and speed), and the Replays page (what it lists, the chart's lines,
// a delete that asks first, names that cannot lead outside the maps).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "client/match/replay_playback.h"
#include "client/ui/replays_page.h"
#include "platform/files.h"
#include "replay/folder.h"
#include "replay/writer.h"

namespace {

struct TempFolder {
    explicit TempFolder(const char* name)
        : path(std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
               "/replay_view_" + name + "_" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed())) {
        std::system(("rm -rf '" + path + "'").c_str());
        platform::makeFolder(path.c_str());
    }
    ~TempFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

std::string state(const char* id, const char* name, float x, int frags, int dead, const char* killer) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "%s %s 1 %f -2.250000 90.000000 4 %d %d %s 0 0.000000 0.000000 0.000000 "
                  "0.000000 0.000000 0.000000",
                  id, name, double(x), frags, dead, killer);
    return text;
}

const char* ACE = "100127.0.0.1";
const char* BOB = "200127.0.0.1";

// Ace (player 10, the recorder) and Bob (slot 0) for 30 s with a frag limit
// of 2: Ace kills Bob at 5 s and at 12 s (the round), Bob kills Ace at 20 s,
// Bob leaves at 25 s. Returns the finished file's path.
std::string writeMatch(const std::string& folder, const char* map = "hall") {
    replay::ReplayWriter w;
    EXPECT_TRUE(w.open(folder.c_str(), map, "Ace", 2));
    for (uint32_t t = 0; t <= 30000; t += 100) {
        int aceFrags = t >= 20000 ? 0 : (t >= 12000 ? 2 : (t >= 5000 ? 1 : 0));
        bool bobDead1 = t >= 5000 && t < 5500, bobDead2 = t >= 12000 && t < 12500;
        bool aceDead = t >= 20000 && t < 20500;
        // The victim's state first: a killer's frag follows the death it saw.
        if (t < 25000)
            w.record(t, 0, state(BOB, "Bob", -float(t) / 1000.0f, t >= 20000 ? 1 : 0, bobDead1 || bobDead2,
                                 bobDead1 || bobDead2 ? ACE : "0").c_str());
        else if (t == 25000)
            w.recordGone(t, 0);
        w.record(t, 10, state(ACE, "Ace", float(t) / 1000.0f, aceFrags, aceDead, aceDead ? BOB : "0").c_str());
    }
    w.close();
    return w.finishedPath();
}

std::vector<std::string> texts(const std::vector<PlaybackEvent>& events) {
    std::vector<std::string> out;
    for (const PlaybackEvent& e : events) out.push_back(e.text);
    return out;
}

}  // namespace

TEST(ReplayPlayback, PlaysAMatchAsItWasSeenAndSeeksWithoutAnnouncing) {
    TempFolder folder("playback");
    std::string path = writeMatch(folder.path);
    ReplayPlayback p;
    ASSERT_TRUE(p.open(path.c_str()));
    EXPECT_EQ(p.lengthMs(), 30000u);

    std::vector<PlaybackEvent> events;
    p.advance(0.0f, &events);
    EXPECT_EQ(texts(events), (std::vector<std::string>{"Bob has connected", "Ace has connected"}));
    ASSERT_NE(p.fighter(10), nullptr);
    ASSERT_NE(p.fighter(0), nullptr);
    EXPECT_EQ(p.presentPlayers(), (std::vector<int>{0, 10}));

    // 13 s at normal speed in frames of 50 ms: two kills, the second ends the round.
    events.clear();
    for (int i = 0; i < 260; ++i) p.advance(50.0f, &events);
    EXPECT_EQ(p.position(), 13000u);
    EXPECT_EQ(texts(events), (std::vector<std::string>{"Ace killed Bob", "Ace killed Bob",
                                                       "Ace wins the round"}));
    EXPECT_NEAR(p.fighter(10)->body.position.x, 13.0f, 0.01f);

    // Paused, time stands; at 8x a second of frames plays 8 s of the match.
    p.paused = true;
    p.advance(1000.0f, &events);
    EXPECT_EQ(p.position(), 13000u);
    p.paused = false;
    p.speedIndex = PLAYBACK_SPEED_COUNT - 1;
    events.clear();
    for (int i = 0; i < 20; ++i) p.advance(50.0f, &events);
    EXPECT_EQ(p.position(), 21000u);
    EXPECT_EQ(texts(events), (std::vector<std::string>{"Bob killed Ace"}));

    // Seeking back to a moment after the first kill rebuilds both fighters
    // as they stood, with nothing announced; playing on tells the second kill only.
    p.speedIndex = PLAYBACK_NORMAL_SPEED;
    p.seek(9000);
    EXPECT_EQ(p.position(), 9000u);
    ASSERT_NE(p.fighter(0), nullptr);
    EXPECT_NEAR(p.fighter(0)->body.position.x, -9.0f, 0.11f);
    EXPECT_EQ(p.fighter(10)->frags, 1);
    events.clear();
    for (int i = 0; i < 80; ++i) p.advance(50.0f, &events);
    EXPECT_EQ(texts(events), (std::vector<std::string>{"Ace killed Bob", "Ace wins the round"}));

    // Past Bob's leaving, and beyond the end: the end holds.
    p.seek(26000);
    EXPECT_EQ(p.fighter(0), nullptr);
    events.clear();
    p.seek(40000);
    p.advance(5000.0f, &events);
    EXPECT_EQ(p.position(), 30000u);
    EXPECT_TRUE(p.atEnd());
}

TEST(ReplaysPage, ListsChartsAndDeletesOnlyAfterAsking) {
    TempFolder folder("page");
    TempFolder maps("maps");
    platform::makeFolder((maps.path + "/hall").c_str());
    std::FILE* f = std::fopen((maps.path + "/hall/hall.bxm").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    writeMatch(folder.path, "hall");
    writeMatch(folder.path, "duel");
    std::FILE* junk = std::fopen((folder.path + "/20990101-000000-junk.bvr").c_str(), "w");
    std::fputs("not a recording", junk);
    std::fclose(junk);

    ReplaysPage page(folder.path.c_str(), maps.path.c_str());
    page.open();
    const std::vector<ReplayEntry>& list = page.entries();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_FALSE(list[0].readable);  // named newest, unreadable
    size_t h = std::string(list[1].map) == "hall" ? 1 : 2, d = 3 - h;
    EXPECT_STREQ(list[d].map, "duel");
    EXPECT_FALSE(list[d].mapAvailable);
    EXPECT_STREQ(list[h].map, "hall");
    EXPECT_TRUE(list[h].mapAvailable);
    EXPECT_EQ(list[h].players, 2);
    EXPECT_EQ(list[h].lengthMs, 30000u);
    EXPECT_EQ(list[h].winners, "Ace");
    // Ace's line: 0, 1 at 5 s, 2 at 12 s, back to 0 when the next round began.
    ASSERT_EQ(list[h].chart.size(), 2u);
    const ChartLine& ace = std::string(list[h].chart[0].name) == "Ace" ? list[h].chart[0] : list[h].chart[1];
    ASSERT_GE(ace.points.size(), 4u);
    EXPECT_EQ(ace.points[1], (std::pair<uint32_t, int32_t>{5000, 1}));
    EXPECT_EQ(ace.points[2], (std::pair<uint32_t, int32_t>{12000, 2}));
    EXPECT_EQ(ace.finalFrags, 0);
    EXPECT_EQ(list[h].chartTop, 2);

    // What cannot be played says why and is not played.
    EXPECT_EQ(page.selected(), 0);
    EXPECT_EQ(page.typed({VK_RETURN, 0}), ReplaysAction::None);
    EXPECT_EQ(page.lastMessage(), "This file is not a recording the game can read");
    for (size_t i = 0; i < d; ++i) page.typed({VK_DOWN, 0});
    EXPECT_EQ(page.typed({VK_RETURN, 0}), ReplaysAction::None);
    EXPECT_EQ(page.lastMessage(), "This game does not have the map duel");
    page.typed({h > d ? VK_DOWN : VK_UP, 0});
    EXPECT_EQ(page.typed({VK_RETURN, 0}), ReplaysAction::Play);
    EXPECT_EQ(page.chosenPath(), folder.path + "/" + list[h].file);

    // Delete asks; any other key keeps the file; Enter then deletes it.
    std::string hall = list[h].file;
    page.typed({VK_DELETE, 0});
    EXPECT_TRUE(page.confirming());
    page.typed({0, 'n'});
    EXPECT_FALSE(page.confirming());
    EXPECT_TRUE(platform::fileExists((folder.path + "/" + hall).c_str()));
    page.typed({VK_DELETE, 0});
    EXPECT_EQ(page.clicked((REPLAYS_CONFIRM_NO.x0 + REPLAYS_CONFIRM_NO.x1) / 2, REPLAYS_CONFIRM_NO.y0 + 5),
              ReplaysAction::None);
    EXPECT_TRUE(platform::fileExists((folder.path + "/" + hall).c_str()));
    page.typed({VK_DELETE, 0});
    EXPECT_EQ(page.typed({VK_RETURN, 0}), ReplaysAction::Deleted);
    EXPECT_FALSE(platform::fileExists((folder.path + "/" + hall).c_str()));
    EXPECT_EQ(page.entries().size(), 2u);
    EXPECT_EQ(page.selected(), int32_t(h == 2 ? 1 : h));
}

TEST(ReplaysPage, OnlyAMapNameAServerCouldSendIsLookedFor) {
    EXPECT_EQ(recordingMapPath("hall"), "hall/hall.bxm");
    for (const char* bad : {"", "..", ".", "a/b", "../../etc", "x y", "a\\b", "c:"})
        EXPECT_EQ(recordingMapPath(bad), "") << bad;
}
