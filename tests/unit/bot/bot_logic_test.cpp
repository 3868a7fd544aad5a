// The bot's command line, its names and ids, and what it may see: walls block
// sight both ways, the view is the player's screen, headings turn the short way.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../fighter/test_world.h"
#include "client/net/net_client.h"
#include "client/match/local_fighter.h"
#include "tools/bot/brain.h"
#include "tools/bot/options.h"
#include "tools/bot/sight.h"

using namespace testworld;

namespace {
bool parse(std::vector<const char*> args, BotOptions* out, std::string* error) {
    args.insert(args.begin(), "bot");
    return parseBotOptions(int(args.size()), args.data(), out, error);
}
}  // namespace

TEST(BotOptions, GoodLinesSetEveryFieldAndBadOnesSayWhy) {
    BotOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--count", "4", "--server", "lan-box", "--name", "Ace", "--skin", "2",
                       "--skill", "5"}, &o, &error));
    EXPECT_EQ(o.count, 4);
    EXPECT_EQ(o.server, "lan-box");
    EXPECT_EQ(o.namePrefix, "Ace");
    EXPECT_EQ(o.skin, 2);
    EXPECT_EQ(o.skill, 5);
    ASSERT_TRUE(parse({"--skin", "random"}, &o, &error));
    EXPECT_EQ(o.skin, -1);

    const std::vector<std::vector<const char*>> bad = {
        {"--count", "0"}, {"--count", "10"}, {"--count", "3x"}, {"--count", ""},
        {"--skill", "6"}, {"--skin", "3"}, {"--skin", "blue"}, {"--name", "A B"},
        {"--name", "A+B"}, {"--name", ""}, {"--name", "FourteenChars!"},
        {"--server", "a-host-name-longer-than-20"}, {"--count"}, {"--fast"}, {"stray"}};
    for (const auto& args : bad) {
        BotOptions fresh;
        error.clear();
        EXPECT_FALSE(parse(args, &fresh, &error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(BotOptions, NamesFitFourteenCharactersAndIdsDifferPerBot) {
    EXPECT_EQ(botName("Bot", 1), "Bot1");
    EXPECT_EQ(botName("ThirteenChars", 9), "ThirteenChars9");
    EXPECT_EQ(botName("ThirteenChars", 10).size(), 14u);

    char plain[protocol::CLIENT_ID_SIZE], one[protocol::CLIENT_ID_SIZE],
        two[protocol::CLIENT_ID_SIZE];
    ASSERT_TRUE(makeClientId(plain));
    ASSERT_TRUE(makeClientId(one, 1));
    ASSERT_TRUE(makeClientId(two, 2));
    EXPECT_STRNE(one, two);
    EXPECT_STRNE(plain, one);
    EXPECT_EQ(std::strpbrk(one, " +"), nullptr);
}

TEST(BotSight, WallsBlockSightFromEitherSideAndTheViewIsTheScreen) {
    World w;
    w.addMesh({wallAcrossY(5)});
    EXPECT_FALSE(lineOfSight({0, 0, 0}, {0, 8, 0}, w.meshes()));
    EXPECT_FALSE(lineOfSight({0, 8, 0}, {0, 0, 0}, w.meshes()));  // from behind the wall
    EXPECT_TRUE(lineOfSight({0, 0, 0}, {3, 4, 0}, w.meshes()));
    EXPECT_TRUE(lineOfSight({200, 0, 0}, {200, 8, 0}, w.meshes()));  // past the wall's end
    // A body's width matters: the wall ends at x = 50, a shoulder still meets it.
    EXPECT_FALSE(pathClear({50.6f, 0, 0}, {0, 1, 0}, 8, w.meshes()));
    EXPECT_TRUE(pathClear({60, 0, 0}, {0, 1, 0}, 8, w.meshes()));
    EXPECT_TRUE(pathClear({0, 0, 0}, {0, 1, 0}, 4, w.meshes()));  // stops short of it
    EXPECT_FALSE(pathClear({0, 0, 0}, {0, 1, 0}, 4.5f, w.meshes()));  // reaches it with its radius

    Vec3 up{0, 1, 0};
    EXPECT_TRUE(inCameraView({0, 0, 0}, up, {0, 12, 0}));
    EXPECT_TRUE(inCameraView({0, 0, 0}, up, {9, 5, 0}));
    EXPECT_FALSE(inCameraView({0, 0, 0}, up, {0, 13, 0}));   // beyond the top edge
    EXPECT_FALSE(inCameraView({0, 0, 0}, up, {0, -2, 0}));   // behind, off the bottom
    EXPECT_FALSE(inCameraView({0, 0, 0}, up, {10, 5, 0}));   // off the side
    EXPECT_TRUE(inCameraView({0, 0, 0}, {1, 0, 0}, {12, 0, 0}));
}

TEST(BotAim, HeadingsMatchTheFightersAndTurnTheShortWay) {
    EXPECT_NEAR(headingTowards({0, 1, 0}), 0.0f, 1e-4);
    EXPECT_NEAR(headingTowards({-1, 0, 0}), 90.0f, 1e-4);  // heading grows to the left
    EXPECT_NEAR(headingTowards({1, 0, 0}), -90.0f, 1e-4);
    EXPECT_NEAR(headingDifference(170, -170), 20.0f, 1e-4);
    EXPECT_NEAR(headingDifference(-170, 170), -20.0f, 1e-4);
    EXPECT_NEAR(headingDifference(0, 720 + 30), 30.0f, 1e-4);
    // Higher skill: quicker, straighter, faster turning.
    for (int s = 1; s < 5; ++s) {
        EXPECT_GT(skillProfile(s).reactionMs, skillProfile(s + 1).reactionMs);
        EXPECT_GT(skillProfile(s).aimErrorDegrees, skillProfile(s + 1).aimErrorDegrees);
        EXPECT_LT(skillProfile(s).turnDegreesPerSecond, skillProfile(s + 1).turnDegreesPerSecond);
    }
}

TEST(BotAim, TheBrainDecidesInDegreesAndUnitsNeverFasterThanItsSkill) {
    reset();
    World w;
    LocalFighter me(0);
    Fighter target(1);
    target.body.setPosition(3, 8, 0);
    target.sphere.current = target.body.position;
    Fighter* remotes[protocol::SLOT_COUNT] = {&target};
    Brain brain(3, 1);
    SkillProfile skill = skillProfile(3);
    uint32_t t = 100000;
    brain.think(me, remotes, w.meshes(), t, 10);  // seen: the reaction starts
    BotControls c = brain.think(me, remotes, w.meshes(), t + skill.reactionMs, 10);
    // The target is about 20 degrees to the right: one frame turns at most the skill's share.
    EXPECT_FLOAT_EQ(c.turnDegrees, -skill.turnDegreesPerSecond * 10 / 1000.0f);
    float distance = length(target.body.position);
    EXPECT_NEAR(c.aimDistance, distance, skill.rangeError + 1e-4);
    EXPECT_FALSE(c.fire);  // not yet on target

    me.dead = 1;
    c = brain.think(me, remotes, w.meshes(), t + 2000, 10);
    EXPECT_TRUE(c.fire);  // fire brings it back
    EXPECT_EQ(c.turnDegrees, 0.0f);
    EXPECT_EQ(c.aimDistance, me.aimDistance);
}
