// Where things sit on the menu's Servers and Options pages and the main page's
// buttons for them and for Replays (whose page has its own table,
// replays_layout.h): one table read by the game (hot spots, text) and by
// assetgen (the pictures painted under them), so a button is always drawn
// exactly where it reacts. Plain constants; the Options page's rows come from
// the settings table.
#pragma once
#include "client/core/settings.h"

// A rectangle in menu window pixels (640 x 480), y counted upwards from the
// bottom edge as the menu's hot spots are.
struct MenuRect {
    int x0, x1, y0, y1;
};

// From a rectangle measured from the top edge, as a picture is painted.
constexpr MenuRect rectFromTop(int x0, int x1, int top, int bottom) {
    return MenuRect{x0, x1, 480 - bottom, 480 - top};
}

constexpr bool rectContains(const MenuRect& r, int x, int yUp) {
    return r.x0 < x && x < r.x1 && r.y0 < yUp && yUp < r.y1;  // edges are outside
}

// Main page: beside Play, Credits and Quit (which keep their places), a row
// under them.
constexpr MenuRect MAIN_SERVERS_BUTTON = rectFromTop(150, 310, 348, 383);
constexpr MenuRect MAIN_OPTIONS_BUTTON = rectFromTop(330, 490, 348, 383);
// And the recorded matches, centred in a row of its own under those two.
constexpr MenuRect MAIN_REPLAYS_BUTTON = rectFromTop(240, 400, 398, 433);

// A spinner: a value between two arrow buttons.
struct MenuSpinner {
    MenuRect less, value, more;
};

constexpr MenuSpinner spinnerAt(int x0, int x1, int top, int bottom) {
    return MenuSpinner{rectFromTop(x0, x0 + 28, top, bottom), rectFromTop(x0 + 28, x1 - 28, top, bottom),
                       rectFromTop(x1 - 28, x1, top, bottom)};
}

// Servers page.
constexpr MenuRect SERVERS_LIST = rectFromTop(24, 616, 66, 264);
constexpr int SERVERS_HEADER_TOP = 66;   // column titles, painted
constexpr int SERVERS_ROW_TOP = 92;      // first row's top edge
constexpr int SERVERS_ROW_HEIGHT = 24;
constexpr int SERVERS_ROWS_SHOWN = 7;
constexpr int SERVERS_COLUMN_X[5] = {40, 236, 380, 464, 540};  // address, map, players, frags, ping

constexpr MenuRect serverRow(int row) {
    return rectFromTop(26, 614, SERVERS_ROW_TOP + row * SERVERS_ROW_HEIGHT,
                       SERVERS_ROW_TOP + (row + 1) * SERVERS_ROW_HEIGHT);
}

constexpr int SERVERS_FIELD_LABEL_TOP = 274;
constexpr MenuRect SERVERS_ADDRESS_FIELD = rectFromTop(24, 264, 292, 322);
constexpr MenuRect SERVERS_NAME_FIELD = rectFromTop(280, 470, 292, 322);
constexpr MenuRect SERVERS_JOIN_BUTTON = rectFromTop(486, 616, 292, 322);

constexpr int SERVERS_HOST_LABEL_TOP = 338;
constexpr MenuSpinner SERVERS_MAP = spinnerAt(24, 214, 356, 386);
constexpr MenuSpinner SERVERS_PLAYERS = spinnerAt(230, 350, 356, 386);
constexpr MenuSpinner SERVERS_FRAGS = spinnerAt(366, 486, 356, 386);
constexpr MenuSpinner SERVERS_BOTS = spinnerAt(502, 616, 356, 386);
constexpr MenuRect SERVERS_HOST_BUTTON = rectFromTop(24, 164, 398, 428);
constexpr MenuRect SERVERS_STOP_BUTTON = rectFromTop(176, 316, 398, 428);
constexpr int SERVERS_STATUS_X = 330;  // the hosting status, beside the buttons
constexpr int SERVERS_STATUS_TOP = 405;

// Options page: a row for each setting the table puts on the page, a label
// painted at the left, a spinner at the right. The first four rows sit 58
// apart and keep their places (players' hands know them); rows beyond follow
// closer below, and the panel and the status line move down to hold them.
constexpr int OPTIONS_ROWS = settingsOnPage();
constexpr int OPTIONS_FIRST_ROW_TOP = 112;
constexpr int OPTIONS_LABEL_X = 96;
constexpr int optionsRowHeight(int row) { return row < 4 ? 36 : 26; }
constexpr int optionsRowTop(int row) {
    return row < 4 ? OPTIONS_FIRST_ROW_TOP + row * 58
                   : OPTIONS_FIRST_ROW_TOP + 3 * 58 + 36 + 8 + (row - 4) * 30;
}
constexpr MenuSpinner optionsSpinner(int row) {
    return spinnerAt(330, 560, optionsRowTop(row), optionsRowTop(row) + optionsRowHeight(row));
}
constexpr int OPTIONS_LAST_ROW = OPTIONS_ROWS > 4 ? OPTIONS_ROWS - 1 : 3;
constexpr int OPTIONS_PANEL_BOTTOM =
    optionsRowTop(OPTIONS_LAST_ROW) + optionsRowHeight(OPTIONS_LAST_ROW) + (OPTIONS_ROWS > 4 ? 10 : 22);
constexpr int OPTIONS_STATUS_TOP = OPTIONS_ROWS > 4 ? OPTIONS_PANEL_BOTTOM + 2 : 352;
// The painted note under the status line; with more than four rows there is
// no room for it, and the page's footer says it instead.
constexpr bool OPTIONS_NOTE_IN_FOOTER = OPTIONS_ROWS > 4;
constexpr int OPTIONS_NOTE_TOP = OPTIONS_STATUS_TOP + 36;
static_assert(OPTIONS_STATUS_TOP + 24 <= 452, "the Options rows run into the page's footer");

// The bitmap font the pages' text is drawn with: pixel height and the
// advance of its monospace face, for centring, both in menu pixels (the font
// is built larger when the pictures are drawn larger).
constexpr int MENU_FONT_HEIGHT = 16;
constexpr int MENU_FONT_WEIGHT = 700;
constexpr int MENU_FONT_ADVANCE = 10;
