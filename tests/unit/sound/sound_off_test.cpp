// Without audio every sound operation does nothing and returns at once, so
// the game runs silently. The test's audio driver does not exist.
#include <gtest/gtest.h>

#include "client/assets/sound.h"

namespace {

TEST(SoundOff, EveryOperationIsANoOp) {
    initAudio();
    ASSERT_EQ(audioAvailable, 0);
    Sound click = reinterpret_cast<Sound>(0x1);
    loadSound(click, "../data/sfx/click.wav");
    EXPECT_EQ(click, nullptr) << "no chunk without a mixer";
    playSound(click, CHANNEL_STEP);
    playSound(click, CHANNEL_MUSIC);
    setSoundVolume(click, 120);
    haltChannel(CHANNEL_MUSIC);
    haltChannel(CHANNEL_SQUISH);
    freeSound(click);
}

}  // namespace
