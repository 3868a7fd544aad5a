// The rules every program plays a frame by: one input value drives the local
// fighter, the local frame runs hits before the step and collision after it,
// and one relayed state at a time goes through mirror, round end, kill credit
// and beam.
#include <gtest/gtest.h>

#include <cstring>

#include "client/match/local_fighter.h"
#include "client/match/match_rules.h"
#include "client/match/transform.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "platform/text.h"
#include "test_world.h"

using namespace testworld;

namespace {

class MatchRules : public ::testing::Test {
protected:
    void SetUp() override {
        reset();
        mouseLookFactor = 0.5f;
    }
};

protocol::RemoteState stateOf(const char* id, int32_t frags, const char* killer) {
    protocol::RemoteState s;
    platform::copyText(s.clientId, id);
    platform::copyText(s.name, "Bea");
    s.vacant = 0;
    s.frags = frags;
    s.dead = std::strcmp(killer, "0") != 0;
    platform::copyText(s.killerId, killer);
    return s;
}

TEST_F(MatchRules, TheStepReadsOnlyItsInputAndTheGameGathersTheSameNumbers) {
    LocalFighter f(0);
    inputState.keys[KEY_W] = 1;  // the window's records are not the step's input
    inputState.leftButton = 1;
    FighterInput still;
    still.frameTimeMs = 100;
    still.now = now;
    f.step(still);
    EXPECT_EQ(f.body.position, (Vec3{0, 0, 0}));
    EXPECT_FALSE(f.beam.visible);

    // The mouse in world terms: right turns clockwise, up pushes the aim out,
    // to the same float the mouse factor always gave.
    mouse = {10, -3};
    FighterInput in = playerInput();
    EXPECT_EQ(in.turnDegrees, -(10.0f * 0.5f));
    EXPECT_EQ(in.aimOut, 3.0f * 0.5f * AIM_UNITS_PER_LOOK_DEGREE);
    EXPECT_TRUE(in.keys[KEY_W]);
    EXPECT_TRUE(in.fire);
    inputState = InputState{};
    inputState.keys[VK_CONTROL] = 1;  // Ctrl fires as the button does
    EXPECT_TRUE(playerInput().fire);

    float heading = f.body.rotation[2], aim = f.aimDistance;
    in.frameTimeMs = 0;
    in.keys[KEY_W] = 0;
    f.step(in);
    EXPECT_EQ(f.body.rotation[2], heading - 10.0f * 0.5f);
    EXPECT_EQ(f.aimDistance, aim - -3.0f * 0.5f * 0.06666667f);
}

TEST_F(MatchRules, APressWhileWaitingToRespawnIsUsedUpOnlyThen) {
    LocalFighter f(0);
    FighterInput fire;
    fire.fire = true;
    fire.now = now;
    EXPECT_FALSE(f.step(fire).firePress);  // alive: it fires, the press stays held
    f.dead = 1;
    f.justKilled = 1;
    bool used = false;
    for (int i = 0; i < 20 && !used; ++i) {
        fire.now += 41;
        FighterInput idle;
        idle.now = fire.now;
        used = f.step(idle).firePress;  // waiting without a press still swallows buttons
    }
    EXPECT_TRUE(used);
    EXPECT_TRUE(f.dead);
    fire.now += 41;
    EXPECT_TRUE(f.step(fire).firePress);
    EXPECT_FALSE(f.dead);
}

TEST_F(MatchRules, TheLocalFrameTakesHitsBeforeTheStepAndCollidesAfterIt) {
    World w;
    w.addMesh({wallAcrossY(5)});
    LocalFighter local(0);
    platform::copyText(local.clientId, "me");
    Fighter first(1), second(2);
    platform::copyText(first.clientId, "first");
    platform::copyText(second.clientId, "second");
    for (Fighter* r : {&first, &second}) {
        r->beam.visible = 1;
        r->beam.end = {0.2f, 0, 0};
    }
    Fighter* remotes[protocol::SLOT_COUNT] = {nullptr, &first, nullptr, &second};

    bool deadWhenMoving = false;
    LocalFrame frame = playLocalFrame(local, remotes, w.meshes(), [&] {
        deadWhenMoving = local.dead;
        // The step may leave us in the wall; collision runs after it.
        local.sphere.previous = local.body.position;
        local.body.setPosition(0, 5, 0);
        local.sphere.current = local.body.position;
    });
    EXPECT_TRUE(deadWhenMoving);
    EXPECT_EQ(frame.killer, &first);  // once dead, the second beam is no hit
    EXPECT_STREQ(local.killerId, "first");
    PublishedState sent = local.publishedState();
    EXPECT_EQ(sent.dead, 1);
    EXPECT_STREQ(sent.killerId, "first");
    EXPECT_NEAR(sent.y, 5 - 0.701f, 1e-4);

    // Dead, no beam hits again: the frame reports no new death.
    frame = playLocalFrame(local, remotes, w.meshes(), [] {});
    EXPECT_EQ(frame.killer, nullptr);
}

TEST_F(MatchRules, AKillIsCreditedOnceAndTheRoundEndsOnTheFrameAfterOurLastFrag) {
    LocalFighter local(0);
    platform::copyText(local.clientId, "me");
    Fighter victim(1);
    const int32_t LIMIT = 3;
    // States a second apart: no state here can be a late one.
    uint32_t t = 1000;
    auto apply = [&](Fighter& f, const protocol::RemoteState& s, LocalFighter& l) {
        return applyRemoteRules(f, s, l, LIMIT, t += 1000);
    };

    RemoteOutcome o = apply(victim, stateOf("v", 0, "me"), local);
    EXPECT_TRUE(o.killCredited);
    EXPECT_FALSE(o.roundOver);
    EXPECT_TRUE(victim.dead);
    // The victim names us for many states: one frag only.
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(apply(victim, stateOf("v", 0, "me"), local).killCredited);
    EXPECT_EQ(local.frags, 1);
    // Someone else's kill is not ours; back to "0", the next kill counts again.
    EXPECT_FALSE(apply(victim, stateOf("v", 0, "other"), local).killCredited);
    apply(victim, stateOf("v", 0, "0"), local);
    EXPECT_TRUE(apply(victim, stateOf("v", 0, "me"), local).killCredited);
    EXPECT_EQ(local.frags, 2);

    // The state that brings our last frag does not end the round itself; the next one does.
    apply(victim, stateOf("v", 0, "0"), local);
    o = apply(victim, stateOf("v", 0, "me"), local);
    EXPECT_TRUE(o.killCredited);
    EXPECT_FALSE(o.roundOver);
    EXPECT_EQ(local.frags, LIMIT);
    EXPECT_TRUE(apply(victim, stateOf("v", 0, "me"), local).roundOver);

    // A remote at the limit ends it on the very state that shows it.
    LocalFighter fresh(0);
    Fighter winner(2);
    EXPECT_FALSE(apply(winner, stateOf("w", LIMIT - 1, "0"), fresh).roundOver);
    EXPECT_TRUE(apply(winner, stateOf("w", LIMIT, "0"), fresh).roundOver);
    EXPECT_EQ(winner.frags, LIMIT);
}

TEST_F(MatchRules, TheStateIsMirroredWholeOntoTheFighter) {
    LocalFighter local(0);
    Fighter f(0);
    protocol::RemoteState s = stateOf("r", 4, "0");
    s.skin = 2;
    s.x = 3.5f;
    s.y = -2.0f;
    s.yaw = 90.0f;
    s.animFrame = 7;
    s.beamVisible = 1;
    s.beamX = 1;
    s.beamY = 2;
    s.beamYaw = 45;
    s.beamLength = 8;
    s.beamEndX = 6;
    s.beamEndY = 7;
    applyRemoteRules(f, s, local, 10, 1000);
    EXPECT_STREQ(f.clientId, "r");
    EXPECT_STREQ(f.name, "Bea");
    EXPECT_EQ(f.skin, 2);
    EXPECT_EQ(f.sphere.current, (Vec3{3.5f, -2.0f, 0}));
    EXPECT_EQ(f.sphere.previous, f.sphere.current);
    EXPECT_EQ(f.body.rotation[2], 90.0f);
    EXPECT_EQ(f.animFrame, 7);
    EXPECT_EQ(f.frags, 4);
    EXPECT_TRUE(f.beam.visible);
    EXPECT_EQ(f.beam.transform.position, (Vec3{1, 2, 0}));
    EXPECT_EQ(f.beam.transform.rotation[2], 45.0f);
    EXPECT_EQ(f.beam.corners[2].y, 8.0f);
    EXPECT_EQ(f.beam.end, (Vec3{6, 7, 0}));
}

}  // namespace

namespace {

TEST(Records, EachResetPutsItsLifetimeBackAsAFreshProcessHasIt) {
    inputState.keys[KEY_W] = 1;
    inputState.leftButton = 1;
    addTextLine(0, 0, 1, 1, 1, "queued");
    showEventMessage(1, 0, 0, "Killed by Bea");
    resetScreenRecords();
    EXPECT_EQ(inputState.keys[KEY_W], 0);
    EXPECT_EQ(inputState.leftButton, 0);
    EXPECT_EQ(eventActive, 0);
    for (const TextLine& line : textLines) EXPECT_STREQ(line.text, "");

    respawnPoints[2] = {4, 5, 0};
    viewMatrix[12] = 3;
    mouseLookFactor = 1.2f;
    resetMatchRecords();
    EXPECT_EQ(respawnPoints[2], (Vec3{0, 0, 0}));
    EXPECT_EQ(viewMatrix[12], 0.0f);
    EXPECT_EQ(mouseLookFactor, MOUSE_LOOK_FACTOR_AT_START);

    settings.volume = 3;
    inputState.windowActive = 0;
    platform::setClockSource(fakeClock);
    fighterMedia.playSound = recordSound;
    resetProcessRecords();
    EXPECT_EQ(settings.volume, Settings{}.volume);
    EXPECT_EQ(inputState.windowActive, 1);
    EXPECT_NE(platform::timeGetTime(), now);  // the real clock again
    EXPECT_EQ(frameClock.lastTime, frameClock.previousTime);
    channelsPlayed.clear();
    fighterMedia.playSound(nullptr, CHANNEL_SHOT);
    EXPECT_TRUE(channelsPlayed.empty());
}

}  // namespace
