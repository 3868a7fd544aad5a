// The overlay's table (queue order, the 63-line limit, the event message's
// 3000 ms) and the frame clock's fps window, with a hand-set clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/core/records.h"
#include "client/core/records.h"
#include "client/core/frame_pacer.h"
#include "platform/clock.h"

namespace {

uint32_t now = 50000;
uint32_t fakeClock() { return now; }

class TextAndTiming : public ::testing::Test {
protected:
    void SetUp() override {
        now = 50000;
        platform::setClockSource(fakeClock);
        for (TextLine& line : textLines) line = TextLine{};
        eventActive = 0;
        frameClock = FrameClock{};
        frameClock.lastTime = frameClock.previousTime = now;
    }
    void TearDown() override { platform::setClockSource(nullptr); }

    int queuedLines() {
        int n = 0;
        for (int i = 1; i < TEXT_LINE_COUNT && textLines[i].text[0]; ++i) ++n;
        return n;
    }
};

TEST_F(TextAndTiming, LinesQueueInOrderUpToSixtyThreeAndClearAfterTheFrame) {
    for (int i = 0; i < 70; ++i) addTextLine(0.1f * i, 0, 1, 1, 1, std::to_string(i).c_str());
    EXPECT_EQ(queuedLines(), 63);
    EXPECT_STREQ(textLines[1].text, "0");
    EXPECT_STREQ(textLines[63].text, "62");
    EXPECT_EQ(textLines[0].text[0], '\0');  // the event slot is never used for lines
    clearFrameLines();
    EXPECT_EQ(queuedLines(), 0);
    addTextLine(0.71f, 0.91f, 1, 1, 1, "fps: 60");
    EXPECT_STREQ(textLines[1].text, "fps: 60");
}

TEST_F(TextAndTiming, EventMessageLastsUpToThreeSecondsInclusive) {
    showEventMessage(1, 0, 0, "Killed by Bob");
    EXPECT_FLOAT_EQ(textLines[0].x, -0.96f);
    EXPECT_FLOAT_EQ(textLines[0].y, 0.91f);
    now += 3000;
    expireEventMessage();
    clearFrameLines();
    EXPECT_STREQ(textLines[0].text, "Killed by Bob");
    now += 1;
    expireEventMessage();
    EXPECT_EQ(textLines[0].text[0], '\0');
    EXPECT_EQ(eventActive, 0);
}

TEST_F(TextAndTiming, NewEventMessageReplacesAndRestartsTheTime) {
    showEventMessage(0.5f, 0.7f, 1, "Ann has connected");
    now += 2000;
    showEventMessage(0.5f, 0.7f, 1, "Ann has disconnected");
    now += 2500;
    expireEventMessage();
    EXPECT_STREQ(textLines[0].text, "Ann has disconnected");
}

TEST_F(TextAndTiming, FpsCountsFramesInWindowsOfAtLeastASecond) {
    for (int i = 0; i < 60; ++i) {
        now += 17;
        updateFrameClock();
        EXPECT_EQ(frameClock.frameTimeMs, 17);
    }
    // 58 frames reach 986 ms, the 59th closes the window at 1003 ms.
    EXPECT_EQ(frameClock.fps, 59);
    EXPECT_EQ(frameClock.framesCounted, 1);
    EXPECT_EQ(frameClock.accumulatedMs, 17);

    now += 5000;  // one long frame, like the pause after a round
    updateFrameClock();
    EXPECT_EQ(frameClock.frameTimeMs, 5000);
    EXPECT_EQ(frameClock.fps, 2);
    now += 1200;
    updateFrameClock();
    EXPECT_EQ(frameClock.fps, 1);
}

TEST_F(TextAndTiming, FrameTimeSurvivesTheClockWrapping) {
    now = 0xFFFFFFF0u;
    updateFrameClock();
    now = 0x10u;
    updateFrameClock();
    EXPECT_EQ(frameClock.frameTimeMs, 0x20);
}

}  // namespace

// A cap of 144 frames a second on a millisecond clock: frames 6 or 7 ms
// apart, 144 in a second; after a stall the next frame runs at once and the
// ones after keep the period, with no burst to catch up.
TEST(FramePacer, FramesComeEvenlyAtTheCapAndAStallIsNotCaughtUp) {
    FramePacer pacer(144);
    uint32_t clock = 4294966000u;  // the clock wraps during the run
    std::vector<uint32_t> starts;
    for (int frame = 0; frame < 300; ++frame) {
        while (uint32_t wait = pacer.waitMs(clock)) clock += wait;  // the loop sleeps
        pacer.started(clock);
        starts.push_back(clock);
        clock += frame == 200 ? 50 : 2;  // the frame's work; one stalls
    }
    int inFirstSecond = 0;
    for (size_t i = 1; i < starts.size(); ++i) {
        uint32_t gap = starts[i] - starts[i - 1];
        if (i == 201) EXPECT_EQ(gap, 50u);
        else EXPECT_TRUE(gap == 6 || gap == 7) << i << ": " << gap;
        inFirstSecond += starts[i] - starts[0] < 1000;
    }
    EXPECT_EQ(inFirstSecond, 143);
    FramePacer unlimited(0);
    unlimited.started(clock);
    EXPECT_EQ(unlimited.waitMs(clock), 0u);
}
