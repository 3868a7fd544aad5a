// The scoreboard's table and its text: the local player and the ten remote
// slots, ordered by frags with the game's own exchange sort (ties keep the
// order that sort leaves), laid out as overlay lines.
#pragma once
#include <cstdint>

#include "client/core/records.h"
#include "protocol/protocol.h"

constexpr int SCOREBOARD_ROWS = 11;           // row 0 local, rows 1..10 remote slots 0..9
constexpr int SCOREBOARD_MAX_LINES = 2 + 2 * SCOREBOARD_ROWS;

struct ScoreRow {
    char name[protocol::PLAYER_NAME_SIZE];  // empty: no player in that slot
    int32_t frags;
    bool local = false;  // the player at this machine
};

// One overlay line of the board, ready for addTextLine.
using ScoreLine = TextLine;

void sortScoreRows(ScoreRow rows[SCOREBOARD_ROWS]);
// Title, rule, then two lines per listed player; returns the number of lines.
int scoreboardLines(const ScoreRow rows[SCOREBOARD_ROWS], ScoreLine out[SCOREBOARD_MAX_LINES]);
