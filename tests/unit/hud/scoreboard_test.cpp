// The scoreboard's order (the game's exchange sort, ties included) and layout.
#include <gtest/gtest.h>

#include <cstring>

#include "client/ui/scoreboard.h"

namespace {

void set(ScoreRow& row, const char* name, int frags) {
    std::strncpy(row.name, name, sizeof row.name - 1);
    row.name[sizeof row.name - 1] = '\0';
    row.frags = frags;
}

TEST(Scoreboard, AloneThereIsOneRow) {
    ScoreRow rows[SCOREBOARD_ROWS] = {};
    set(rows[0], "Ace", 3);
    ScoreLine lines[SCOREBOARD_MAX_LINES];
    ASSERT_EQ(scoreboardLines(rows, lines), 4);
    EXPECT_STREQ(lines[0].text, "    FRAGS       NAME");
    EXPECT_FLOAT_EQ(lines[1].y, 0.45f);
    EXPECT_STREQ(lines[2].text, "1.    3");
    EXPECT_STREQ(lines[3].text, "               Ace");
    EXPECT_FLOAT_EQ(lines[2].y, 0.32f);
    EXPECT_FLOAT_EQ(lines[3].red, 0.7f);
}

TEST(Scoreboard, TiesKeepTheOrderTheExchangeSortLeaves) {
    ScoreRow rows[SCOREBOARD_ROWS] = {};
    set(rows[0], "Local", 2);
    set(rows[1], "Slot0", 5);
    set(rows[2], "Slot1", 5);
    sortScoreRows(rows);
    EXPECT_STREQ(rows[0].name, "Slot0");
    EXPECT_STREQ(rows[1].name, "Slot1");
    EXPECT_STREQ(rows[2].name, "Local");
}

TEST(Scoreboard, EmptySlotsAreSkippedAndAFullBoardFitsTheOverlay) {
    ScoreRow rows[SCOREBOARD_ROWS] = {};
    set(rows[0], "Local", 0);
    set(rows[4], "Mid", 7);
    set(rows[10], "Last", 1);
    sortScoreRows(rows);
    ScoreLine listed[SCOREBOARD_MAX_LINES];
    ASSERT_EQ(scoreboardLines(rows, listed), 8);
    EXPECT_STREQ(listed[3].text, "               Mid");
    EXPECT_STREQ(listed[5].text, "               Last");
    EXPECT_STREQ(listed[6].text, "3.    0");
    EXPECT_STREQ(listed[7].text, "               Local");

    for (int i = 0; i < SCOREBOARD_ROWS; ++i) set(rows[i], "Player_with_a_long_name", i);
    ScoreLine lines[SCOREBOARD_MAX_LINES];
    ASSERT_EQ(scoreboardLines(rows, lines), 24);
    EXPECT_NEAR(lines[23].y, -0.48f, 1e-6f);
    EXPECT_STREQ(lines[23].text, "               Player_with_a_");
}

}  // namespace
