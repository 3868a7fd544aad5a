// Where things sit on the menu's Replays page: read by the game (hot spots,
// text, the chart) and by assetgen (the picture painted under them), like
// menu_layout.h for the other pages.
#pragma once
#include "client/ui/menu_layout.h"

// The list of recordings, newest first: painted column titles, then rows.
constexpr MenuRect REPLAYS_LIST = rectFromTop(24, 616, 56, 226);
constexpr int REPLAYS_HEADER_TOP = 56;
constexpr int REPLAYS_ROW_TOP = 80;
constexpr int REPLAYS_ROW_HEIGHT = 20;
constexpr int REPLAYS_ROWS_SHOWN = 7;
// date, map, length, players, round winners
constexpr int REPLAYS_COLUMN_X[5] = {34, 204, 300, 370, 440};

constexpr MenuRect replayRow(int row) {
    return rectFromTop(26, 614, REPLAYS_ROW_TOP + row * REPLAYS_ROW_HEIGHT,
                       REPLAYS_ROW_TOP + (row + 1) * REPLAYS_ROW_HEIGHT);
}

// The selected recording: its frags over time, and who played.
constexpr MenuRect REPLAYS_CHART_PANEL = rectFromTop(24, 400, 236, 404);
constexpr MenuRect REPLAYS_CHART = rectFromTop(52, 388, 262, 380);  // the plot itself
constexpr MenuRect REPLAYS_PLAYERS_PANEL = rectFromTop(410, 616, 236, 404);
constexpr int REPLAYS_PLAYERS_TOP = 262;  // first name's top edge
constexpr int REPLAYS_PLAYER_PITCH = 14;

constexpr MenuRect REPLAYS_PLAY_BUTTON = rectFromTop(24, 164, 414, 444);
constexpr MenuRect REPLAYS_DELETE_BUTTON = rectFromTop(176, 316, 414, 444);
// The confirmation of a delete, drawn by the game over the status line.
constexpr int REPLAYS_STATUS_X = 330;
constexpr int REPLAYS_STATUS_TOP = 420;
constexpr MenuRect REPLAYS_CONFIRM_YES = rectFromTop(490, 548, 414, 444);
constexpr MenuRect REPLAYS_CONFIRM_NO = rectFromTop(558, 616, 414, 444);
