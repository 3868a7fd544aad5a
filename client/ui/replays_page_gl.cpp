// The Replays page's live text over its picture: the rows, the selected
// recording's players and its frags-over-time chart, the confirmation of a
// delete, in the menu's 640 x 480 window space.
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "client/ui/menu.h"
#include "client/ui/menu_text_gl.h"
#include "client/ui/replays_page.h"

using namespace menudraw;

namespace {

// One colour per chart line, the legend's names in the same.
constexpr Colour LINE_COLOURS[10] = {
    {1.0f, 0.84f, 0.40f}, {0.55f, 0.88f, 1.0f}, {1.0f, 0.45f, 0.55f}, {0.55f, 0.95f, 0.55f},
    {0.85f, 0.60f, 1.0f}, {1.0f, 0.62f, 0.30f}, {0.95f, 0.95f, 0.95f}, {0.40f, 0.70f, 1.0f},
    {0.80f, 1.0f, 0.40f}, {1.0f, 0.70f, 0.85f}};

void drawRow(const ReplayEntry& e, int row, bool selected) {
    MenuRect box = replayRow(row);
    if (selected) fillRect(box, 0.35f, 0.55f, 1.0f, 0.30f);
    int base = baselineIn(box);
    if (!e.readable) {
        drawText(REPLAYS_COLUMN_X[0], base, DIM, fitted(e.file, 170).c_str());
        drawText(REPLAYS_COLUMN_X[1], base, ORANGE, "unreadable");
        return;
    }
    char length[16], players[8];
    formatLength(e.lengthMs, length, sizeof length);
    std::snprintf(players, sizeof players, "%d", e.players);
    std::string winners = e.winners.empty() ? "-" : e.winners;
    if (!e.finished) winners = "(cut short) " + winners;
    const char* texts[5] = {e.date, e.map, length, players, winners.c_str()};
    const Colour* colours[5] = {&WHITE, e.mapAvailable ? &CYAN : &ORANGE, &WHITE, &WHITE, &GOLD};
    for (int i = 0; i < 5; ++i) {
        int right = i < 4 ? REPLAYS_COLUMN_X[i + 1] : box.x1 + MENU_FONT_ADVANCE;
        drawText(REPLAYS_COLUMN_X[i], base, *colours[i],
                 fitted(texts[i], right - REPLAYS_COLUMN_X[i]).c_str());
    }
}

// Frags (up) over the recording's time (across), one stepped line a player.
void drawChart(const ReplayEntry& e) {
    const MenuRect& c = REPLAYS_CHART;
    float span = float(std::max<uint32_t>(e.lengthMs, 1));
    float top = float(std::max(e.chartTop, 1));
    auto px = [&](uint32_t ms) { return float(c.x0) + float(c.x1 - c.x0) * std::min(1.0f, float(ms) / span); };
    auto py = [&](int32_t frags) { return float(c.y0) + float(c.y1 - c.y0) * float(frags) / top; };
    // Faint rules at each whole frag when there are few, else at fifths.
    int step = e.chartTop <= 10 ? 1 : std::max(1, e.chartTop / 5);
    for (int f = step; f <= e.chartTop; f += step) {
        int y = int(py(f));
        fillRect({c.x0, c.x1, y, y + 1}, 0.5f, 0.55f, 0.9f, 0.25f);
    }
    char label[16];
    std::snprintf(label, sizeof label, "%d", int(e.chartTop));
    drawText(c.x0 - 6 - textWidth(label), c.y1 - 10, DIM, label);
    drawText(c.x0 - 16, c.y0 - 2, DIM, "0");
    formatLength(e.lengthMs, label, sizeof label);
    drawText(c.x1 - textWidth(label), c.y0 - 18, DIM, label);

    glLineWidth(2.0f);
    for (size_t i = 0; i < e.chart.size(); ++i) {
        const Colour& col = LINE_COLOURS[i % 10];
        glColor3f(col.r, col.g, col.b);
        glBegin(GL_LINE_STRIP);
        const auto& points = e.chart[i].points;
        for (size_t k = 0; k < points.size(); ++k) {
            // Steps: along at the old count, then up (or down) to the new one.
            if (k > 0) glVertex2f(px(points[k].first), py(points[k - 1].second) + float(i % 3));
            glVertex2f(px(points[k].first), py(points[k].second) + float(i % 3));
        }
        glEnd();
    }
    glLineWidth(1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void drawPlayers(const ReplayEntry& e) {
    int x = REPLAYS_PLAYERS_PANEL.x0 + 12;
    for (size_t i = 0; i < e.chart.size(); ++i) {
        int top = REPLAYS_PLAYERS_TOP + int(i) * REPLAYS_PLAYER_PITCH;
        char line[40];
        std::snprintf(line, sizeof line, "%-14s %d", e.chart[i].name, int(e.chart[i].finalFrags));
        drawText(x, 480 - top - 11, LINE_COLOURS[i % 10], line);
    }
}

}  // namespace

void drawReplaysPage(const ReplaysPage& page) {
    const std::vector<ReplayEntry>& list = page.entries();
    for (int row = 0; row < REPLAYS_ROWS_SHOWN; ++row) {
        size_t i = page.firstShown() + size_t(row);
        if (i >= list.size()) break;
        drawRow(list[i], row, int32_t(i) == page.selected());
    }
    if (list.empty()) drawCentred(replayRow(3), DIM, "No recordings yet: play a match");
    MenuRect status = rectFromTop(REPLAYS_STATUS_X, 616, REPLAYS_STATUS_TOP - 4, REPLAYS_STATUS_TOP + 20);
    if (page.selected() >= 0) {
        const ReplayEntry& e = list[size_t(page.selected())];
        if (e.readable) {
            drawChart(e);
            drawPlayers(e);
        }
        if (!page.confirming() && page.lastMessage().empty()) {
            std::string why = page.whyNotPlayable();
            if (!why.empty()) drawText(status.x0, baselineIn(status), ORANGE, fitted(why, 290).c_str());
        }
    }
    if (page.confirming()) {
        drawText(status.x0, baselineIn(status), GOLD, "Delete it?");
        fillRect(REPLAYS_CONFIRM_YES, 0.55f, 0.15f, 0.15f, 0.9f);
        fillRect(REPLAYS_CONFIRM_NO, 0.15f, 0.25f, 0.50f, 0.9f);
        drawCentred(REPLAYS_CONFIRM_YES, WHITE, "Yes");
        drawCentred(REPLAYS_CONFIRM_NO, WHITE, "No");
    } else if (!page.lastMessage().empty()) {
        drawText(status.x0, baselineIn(status), ORANGE, fitted(page.lastMessage(), 290).c_str());
    }
}
