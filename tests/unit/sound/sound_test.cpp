// The sound layer over a working mixer (SDL's dummy audio driver): loading,
// effect volumes, fixed channels, and sounds that failed to load.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include "client/assets/sound.h"
#include "client/core/records.h"

namespace {

class SoundOn : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initAudio(); }
    void SetUp() override {
        ASSERT_EQ(audioAvailable, 1) << "the dummy driver opens";
        settings.volume = 10;
    }
};

TEST_F(SoundOn, EffectsLoadAtTwelveTimesTheVolumeSetting) {
    const struct {
        int setting, expected;
    } cases[] = {{10, 120}, {0, 0}, {11, 128}, {1, 12}};
    for (const auto& c : cases) {
        settings.volume = c.setting;
        Sound click = nullptr;
        loadSound(click, "../data/sfx/click.wav");
        ASSERT_NE(click, nullptr);
        EXPECT_EQ(Mix_VolumeChunk(click, -1), c.expected) << "volume " << c.setting;
        freeSound(click);
    }
}

TEST_F(SoundOn, MusicLoadsWholeAndLoopsOnChannelZeroUntilHalted) {
    Sound music = nullptr;
    loadSound(music, "../data/music/0.ogg");
    ASSERT_NE(music, nullptr);
    // 32 s at the mixer's 22050 Hz, 16-bit stereo.
    EXPECT_GE(music->alen, 30u * 22050 * 4);
    setSoundVolume(music, settings.volume * 6);
    EXPECT_EQ(Mix_VolumeChunk(music, -1), 60);
    playSound(music, CHANNEL_MUSIC);
    EXPECT_TRUE(Mix_Playing(CHANNEL_MUSIC));
    haltChannel(CHANNEL_MUSIC);
    EXPECT_FALSE(Mix_Playing(CHANNEL_MUSIC));
    freeSound(music);
}

TEST_F(SoundOn, EffectsPlayOnTheirOwnChannel) {
    Sound shot = nullptr, step = nullptr;
    loadSound(shot, "../data/sfx/shot.wav");
    loadSound(step, "../data/sfx/step.wav");
    ASSERT_NE(shot, nullptr);
    ASSERT_NE(step, nullptr);
    playSound(shot, CHANNEL_SHOT);
    playSound(shot, CHANNEL_SHOT);  // restarts rather than taking another channel
    playSound(step, CHANNEL_STEP);
    EXPECT_TRUE(Mix_Playing(CHANNEL_SHOT));
    EXPECT_TRUE(Mix_Playing(CHANNEL_STEP));
    EXPECT_EQ(Mix_Playing(-1), 2);
    EXPECT_EQ(Mix_GetChunk(CHANNEL_SHOT), shot);
    haltChannel(CHANNEL_SHOT);
    haltChannel(CHANNEL_STEP);
    freeSound(shot);
    freeSound(step);
}

TEST_F(SoundOn, MissingFileGivesNoneAndNoneIsAccepted) {
    Sound s = reinterpret_cast<Sound>(0x1);  // a stale handle must not survive
    loadSound(s, "../data/sfx/no-such-sound.wav");
    EXPECT_EQ(s, nullptr);
    loadSound(s, "../config.cfg");  // exists, but is no sound
    EXPECT_EQ(s, nullptr);
    playSound(s, CHANNEL_SQUISH);
    playSound(s, CHANNEL_MUSIC);
    setSoundVolume(s, 64);
    freeSound(s);
    EXPECT_FALSE(Mix_Playing(CHANNEL_SQUISH));
    EXPECT_FALSE(Mix_Playing(CHANNEL_MUSIC));
}

}  // namespace
