#include "menu.h"

#include <cmath>

#include "client/ui/menu_layout.h"
#include "client/ui/replays_layout.h"
#include "rng.h"
#include "sprites.h"
#include "text.h"

namespace {

constexpr int W = 640, H = 480;
constexpr int HORIZON = 262;

std::string fontDir;
std::string bold() { return fontDir + "/DejaVuSans-Bold.ttf"; }
std::string regular() { return fontDir + "/DejaVuSans.ttf"; }
std::string condensed() { return fontDir + "/DejaVuSansCondensed-Bold.ttf"; }

// A straight stroke between two canvas points.
void line(Canvas& c, float x0, float y0, float x1, float y1, float width, Rgba colour) {
    Frame f{(x0 + x1) / 2, (y0 + y1) / 2, 1, 0};
    float hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
    fill(c, f, Capsule(-hx, hy, hx, -hy, width / 2), colour);
}

// The arena at night: starry sky, a glowing grid floor running to the horizon.
Canvas backdrop(uint64_t seed) {
    Canvas c(W, H);
    for (int y = 0; y < H; ++y) {
        Rgba row;
        if (y < HORIZON) row = mix(rgb(6, 8, 22), rgb(52, 22, 72), std::pow(float(y) / HORIZON, 2.0f));
        else row = mix(rgb(26, 10, 40), rgb(8, 6, 18), float(y - HORIZON) / (H - HORIZON));
        for (int x = 0; x < W; ++x) c.at(x, y) = row;
    }
    Rng rng(seed);
    for (int i = 0; i < 140; ++i) {
        float x = rng.range(0, W), y = rng.range(0, HORIZON - 20), b = rng.range(0.2f, 1.0f);
        Frame f{x, y, 1, 0};
        fill(c, f, Circle(0, 0, b > 0.9f ? 1.2f : 0.7f), {0.8f, 0.85f, 1.0f, b * (1 - y / HORIZON)});
    }
    Canvas grid(W, H);
    const Rgba neon = rgb(255, 60, 200);
    for (int i = -14; i <= 14; ++i) line(grid, W / 2 + i * 12.0f, HORIZON, W / 2 + i * 140.0f, H + 40, 1.6f, neon);
    for (int k = 1; k < 12; ++k) {
        float y = HORIZON + 230.0f / (12 - k) - 230.0f / 12;
        line(grid, 0, y, W, y, 1.2f + 0.1f * k, neon);
    }
    Canvas glow = grid;
    blur(glow, 3, 2);
    for (int y = HORIZON; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float fade = std::min(1.0f, (y - HORIZON) / 90.0f);
            c.additive(x, y, glow.at(x, y), glow.at(x, y).a * 0.9f * fade);
            c.blend(x, y, grid.at(x, y), 0.55f * fade);
        }
    // The horizon glows; the corners fall into the dark.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            float d = std::fabs(float(y - HORIZON)) / 40.0f;
            c.additive(x, y, rgb(255, 90, 160), 0.22f * std::exp(-d * d));
            float vx = (x - W / 2.0f) / (W / 2.0f), vy = (y - H / 2.0f) / (H / 2.0f);
            c.at(x, y) = scaled(c.at(x, y), 1 - 0.45f * std::pow((vx * vx + vy * vy) / 2, 1.5f));
        }
    return c;
}

void title(Canvas& c, int y, int size) {
    TextStyle st;
    st.font = bold();
    st.size = size;
    st.top = rgb(255, 246, 170);
    st.bottom = rgb(255, 110, 30);
    st.outline = size / 16;
    st.outlineColour = rgb(40, 10, 30);
    st.glow = size / 8;
    st.glowColour = rgb(255, 80, 40, 0.9f);
    drawText(c, st, "BLASTAVIA", W / 2, y, Align::Centre);
}

TextStyle label(int size, Rgba colour = {1, 1, 1, 1}, const std::string& font = "") {
    TextStyle st;
    st.font = font.empty() ? bold() : font;
    st.size = size;
    st.top = colour;
    st.bottom = scaled(colour, 0.82f);
    st.outline = 1;
    st.outlineColour = rgb(10, 8, 20, 0.9f);
    return st;
}

// A panel filling exactly the pixels of a hot spot given as the menu gives
// it: x0..x1 across, y0..y1 counted upwards from the bottom edge.
void panel(Canvas& c, int x0, int x1, int y0, int y1, Rgba top, Rgba bottom, Rgba rim) {
    int rowTop = H - y1, rowEnd = H - y0;  // rows rowTop .. rowEnd - 1
    for (int y = rowTop; y < rowEnd; ++y)
        for (int x = x0; x < x1; ++x) {
            float t = float(y - rowTop) / (rowEnd - rowTop - 1);
            Rgba col = mix(top, bottom, t);
            bool edge = x == x0 || x == x1 - 1 || y == rowTop || y == rowEnd - 1;
            bool inner = x == x0 + 1 || x == x1 - 2 || y == rowTop + 1 || y == rowEnd - 2;
            if (edge) col = rim;
            else if (inner) col = scaled(rim, 0.35f);
            else if (y == rowTop + 2) col = mix(col, {1, 1, 1, 1}, 0.25f);
            c.at(x, y) = {col.r, col.g, col.b, 1};
        }
}

void button(Canvas& c, int x0, int x1, int y0, int y1, const std::string& text) {
    panel(c, x0, x1, y0, y1, rgb(40, 70, 130), rgb(14, 22, 58), rgb(110, 210, 255));
    TextStyle st = label(21);
    drawText(c, st, text, (x0 + x1) / 2, H - y1 + (y1 - y0 - 25) / 2, Align::Centre);
}

void button(Canvas& c, const MenuRect& r, const std::string& text, int size = 21) {
    panel(c, r.x0, r.x1, r.y0, r.y1, rgb(40, 70, 130), rgb(14, 22, 58), rgb(110, 210, 255));
    TextStyle st = label(size);
    drawText(c, st, text, (r.x0 + r.x1) / 2, H - r.y1 + (r.y1 - r.y0 - size - 4) / 2, Align::Centre);
}

void footer(Canvas& c, const std::string& text) {
    TextStyle st = label(13, rgb(190, 180, 220), regular());
    drawText(c, st, text, W / 2, H - 26, Align::Centre);
}

Canvas splash() {
    Canvas c = backdrop(7);
    // A sun sinking behind the arena, striped like an old arcade cabinet.
    for (int y = 60; y < HORIZON; ++y)
        for (int x = 200; x < 440; ++x) {
            float dx = x + 0.5f - W / 2.0f, dy = y + 0.5f - (HORIZON - 10.0f);
            float d = std::sqrt(dx * dx + dy * dy);
            float cover = std::max(0.0f, std::min(1.0f, 110.5f - d));
            int stripe = (HORIZON - y) / 9;
            if (y > 150 && (HORIZON - y) % 9 < (8 - stripe) / 2) cover = 0;
            c.blend(x, y, mix(rgb(255, 230, 90), rgb(255, 50, 130), (y - 140.0f) / 120.0f), cover * 0.9f);
        }
    title(c, 150, 84);
    drawText(c, label(20, rgb(200, 220, 255), regular()), "a LAN arena shooter", W / 2, 258, Align::Centre);
    for (int skin = 0; skin < FIGHTER_SKINS; ++skin) {
        Frame f{W / 2.0f + (skin - 1) * 130.0f, 375.0f - (skin == 1 ? 12 : 0), 62, float((skin - 1) * -14)};
        drawFighter(c, f, skin, 0.25f * skin);
    }
    footer(c, "loading...");
    return c;
}

Canvas mainPage() {
    Canvas c = backdrop(11);
    title(c, 40, 72);
    drawText(c, label(16, rgb(200, 220, 255), regular()), "pick a fighter, find a server, blast away", W / 2, 132, Align::Centre);
    button(c, 230, 410, 280, 315, "Play");
    button(c, 230, 410, 223, 258, "Credits");
    button(c, 230, 410, 166, 201, "Quit");
    button(c, MAIN_SERVERS_BUTTON, "Servers");
    button(c, MAIN_OPTIONS_BUTTON, "Options");
    button(c, MAIN_REPLAYS_BUTTON, "Replays");
    // Two fighters flank the buttons, facing in.
    drawFighter(c, Frame{100, 250, 70, -35}, 0, 0.25f);
    drawFighter(c, Frame{540, 250, 70, 35}, 2, 0.75f);
    footer(c, "Esc returns to this page from anywhere in the menu");
    return c;
}

struct Profile {
    const char* name;
    int speed, reloadMs;
    const char* blurb;
};

const Profile PROFILES[FIGHTER_SKINS] = {
    {"RUNNER", 8, 1500, "fast on foot"},
    {"RANGER", 7, 1200, "all-rounder"},
    {"GUNNER", 6, 900, "rapid fire"},
};

void meter(Canvas& c, int x, int y, int width, float amount, Rgba colour) {
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < width; ++i) {
            bool lit = i < amount * width;
            c.at(x + i, y + j) = lit ? mix(colour, scaled(colour, 0.6f), j / 5.0f) : rgb(20, 20, 40);
        }
}

Canvas fightersPage() {
    Canvas c = backdrop(13);
    TextStyle head = label(34, rgb(255, 230, 140));
    head.bottom = rgb(255, 130, 50);
    head.outline = 2;
    drawText(c, head, "CHOOSE YOUR FIGHTER", W / 2, 42, Align::Centre);
    const int xs[FIGHTER_SKINS][2] = {{35, 190}, {225, 380}, {445, 600}};
    const Rgba tints[FIGHTER_SKINS] = {rgb(90, 230, 120), rgb(255, 170, 70), rgb(130, 150, 255)};
    for (int skin = 0; skin < FIGHTER_SKINS; ++skin) {
        int x0 = xs[skin][0], x1 = xs[skin][1], top = H - 360, cx = (x0 + x1) / 2;
        panel(c, x0, x1, 115, 360, rgb(34, 40, 84), rgb(12, 12, 34), tints[skin]);
        drawText(c, label(20, tints[skin]), PROFILES[skin].name, cx, top + 10, Align::Centre);
        Frame pad{float(cx), float(top + 105), 1, 0};
        fill(c, pad, Ellipse(0, 0, 58, 58), scaled(tints[skin], 0.22f));
        fill(c, pad, Ellipse(0, 0, 52, 52), rgb(16, 16, 38));
        drawFighter(c, Frame{float(cx), float(top + 105), 66, 0}, skin, 0.25f);
        const Profile& p = PROFILES[skin];
        TextStyle small = label(13, rgb(225, 225, 240), regular());
        drawText(c, small, p.blurb, cx, top + 166, Align::Centre);
        TextStyle stat = label(13, {1, 1, 1, 1}, condensed());
        drawText(c, stat, "Speed " + std::to_string(p.speed) + " units/s", x0 + 12, top + 188, Align::Left);
        meter(c, x0 + 12, top + 206, x1 - x0 - 24, p.speed / 8.0f, tints[skin]);
        drawText(c, stat, "Reload " + std::to_string(p.reloadMs) + " ms", x0 + 12, top + 216, Align::Left);
        meter(c, x0 + 12, top + 234, x1 - x0 - 24, 900.0f / p.reloadMs, tints[skin]);
    }
    footer(c, "click a fighter to join the match  -  Esc: back");
    return c;
}

Canvas creditsPage() {
    Canvas c = backdrop(17);
    title(c, 28, 56);
    TextStyle head = label(26, rgb(255, 220, 140));
    drawText(c, head, "Credits", W / 2, 110, Align::Centre);
    const char* lines[][2] = {
        {"Game, code, pictures, sounds and music", "the Blastavia team"},
        {"Every picture painted and every sound synthesised", "by our own generator, at build time"},
        {"Built with", "C++17, SDL2, SDL2_mixer, OpenGL, GLU"},
        {"Pictures and music", "libjpeg, SDL2_ttf, libogg and libvorbis"},
        {"Lettering", "the DejaVu fonts"},
    };
    int y = 160;
    for (const auto& l : lines) {
        drawText(c, label(14, rgb(170, 190, 255), regular()), l[0], W / 2, y, Align::Centre);
        drawText(c, label(18, rgb(255, 255, 255)), l[1], W / 2, y + 19, Align::Centre);
        y += 52;
    }
    footer(c, "Esc: back to the main page");
    return c;
}

// A sunken box the game writes text into (a field, a spinner's value).
void well(Canvas& c, const MenuRect& r) {
    panel(c, r.x0, r.x1, r.y0, r.y1, rgb(8, 8, 24), rgb(18, 16, 40), rgb(70, 90, 150));
}

// An arrow button: a panel with a triangle pointing left or right.
void arrow(Canvas& c, const MenuRect& r, bool right) {
    panel(c, r.x0, r.x1, r.y0, r.y1, rgb(40, 70, 130), rgb(14, 22, 58), rgb(110, 210, 255));
    float cx = (r.x0 + r.x1) / 2.0f, cy = H - (r.y0 + r.y1) / 2.0f, s = right ? 1.0f : -1.0f;
    for (int y = H - r.y1; y < H - r.y0; ++y)
        for (int x = r.x0; x < r.x1; ++x) {
            float px = (x + 0.5f - cx) * s, py = std::fabs(y + 0.5f - cy);
            // A triangle 10 wide, 14 high, softened over one pixel at its edges.
            float cover = std::max(0.0f, std::min(1.0f, (5.0f - px) * 0.7f - py + 0.5f)) *
                          std::max(0.0f, std::min(1.0f, px + 5.5f));
            c.blend(x, y, rgb(235, 245, 255), cover);
        }
}

void spinner(Canvas& c, const MenuSpinner& s, const std::string& caption) {
    arrow(c, s.less, false);
    well(c, s.value);
    arrow(c, s.more, true);
    if (!caption.empty())
        drawText(c, label(13, rgb(170, 190, 255), regular()), caption, s.less.x0, H - s.less.y1 - 18,
                 Align::Left);
}

TextStyle heading() {
    TextStyle head = label(30, rgb(255, 230, 140));
    head.bottom = rgb(255, 130, 50);
    head.outline = 2;
    return head;
}

// A list the game fills with rows: a panel, column titles, a rule under them
// and faint stripes behind alternate rows.
void listFrame(Canvas& c, const MenuRect& list, const char* const* titles, const int* columnX,
               int columns, int headerTop, int rowTop, int rowsShown, MenuRect (*row)(int)) {
    panel(c, list.x0, list.x1, list.y0, list.y1, rgb(20, 22, 56), rgb(10, 10, 28), rgb(90, 120, 200));
    TextStyle col = label(13, rgb(255, 220, 140), condensed());
    for (int i = 0; i < columns; ++i) drawText(c, col, titles[i], columnX[i], headerTop + 6, Align::Left);
    for (int x = list.x0 + 8; x < list.x1 - 8; ++x) c.at(x, rowTop - 2) = rgb(90, 120, 200);
    for (int r = 1; r < rowsShown; r += 2) {
        MenuRect box = row(r);
        for (int y = H - box.y1; y < H - box.y0; ++y)
            for (int x = box.x0 + 2; x < box.x1 - 2; ++x) c.blend(x, y, rgb(60, 70, 140), 0.18f);
    }
}

Canvas serversPage() {
    Canvas c = backdrop(19);
    drawText(c, heading(), "FIND A MATCH", W / 2, 18, Align::Centre);
    const char* titles[5] = {"SERVER", "MAP", "PLAYERS", "FRAGS", "PING"};
    listFrame(c, SERVERS_LIST, titles, SERVERS_COLUMN_X, 5, SERVERS_HEADER_TOP, SERVERS_ROW_TOP,
              SERVERS_ROWS_SHOWN, serverRow);

    TextStyle small = label(13, rgb(170, 190, 255), regular());
    drawText(c, small, "Server address (or pick one above)", SERVERS_ADDRESS_FIELD.x0,
             SERVERS_FIELD_LABEL_TOP, Align::Left);
    drawText(c, small, "Your name", SERVERS_NAME_FIELD.x0, SERVERS_FIELD_LABEL_TOP, Align::Left);
    well(c, SERVERS_ADDRESS_FIELD);
    well(c, SERVERS_NAME_FIELD);
    button(c, SERVERS_JOIN_BUTTON, "Join", 18);

    // Hosting: a band across the lower part of the page.
    for (int y = SERVERS_HOST_LABEL_TOP - 8; y < SERVERS_HOST_LABEL_TOP - 6; ++y)
        for (int x = 24; x < 616; ++x) c.blend(x, y, rgb(255, 90, 160), 0.5f);
    spinner(c, SERVERS_MAP, "Host on this machine: map");
    spinner(c, SERVERS_PLAYERS, "Players");
    spinner(c, SERVERS_FRAGS, "Frag limit");
    spinner(c, SERVERS_BOTS, "Bots");
    button(c, SERVERS_HOST_BUTTON, "Host", 18);
    button(c, SERVERS_STOP_BUTTON, "Stop", 18);
    footer(c, "click a server or pick one with the arrows and Enter  -  Tab: next field  -  Esc: back");
    return c;
}

Canvas optionsPage() {
    Canvas c = backdrop(23);
    drawText(c, heading(), "OPTIONS", W / 2, 30, Align::Centre);
    const MenuRect box = rectFromTop(60, 580, OPTIONS_FIRST_ROW_TOP - 22, OPTIONS_PANEL_BOTTOM);
    panel(c, box.x0, box.x1, box.y0, box.y1, rgb(20, 22, 56), rgb(10, 10, 28), rgb(90, 120, 200));
    for (int row = 0; row < OPTIONS_ROWS; ++row) {
        // Labels keep to their row's height on the closer rows below the first four.
        int height = optionsRowHeight(row);
        int size = height >= 36 ? 20 : height - 9;
        drawText(c, label(size), settingOnPage(row)->label, OPTIONS_LABEL_X,
                 optionsRowTop(row) + (height >= 36 ? 7 : 4), Align::Left);
        spinner(c, optionsSpinner(row), "");
    }
    if (OPTIONS_NOTE_IN_FOOTER) {
        footer(c, "arrows change a setting, from the next screen on (match, or menu after it)  -  Esc: back");
        return c;
    }
    drawText(c, label(14, rgb(200, 220, 255), regular()),
             "Choices take effect when the next screen opens: the match, or the menu after it", W / 2,
             OPTIONS_NOTE_TOP, Align::Centre);
    footer(c, "click the arrows to change a setting  -  Esc: back");
    return c;
}

Canvas replaysPage() {
    Canvas c = backdrop(29);
    drawText(c, heading(), "REPLAYS", W / 2, 14, Align::Centre);
    const char* titles[5] = {"DATE (UTC)", "MAP", "LENGTH", "PLAYERS", "ROUND WINNERS"};
    listFrame(c, REPLAYS_LIST, titles, REPLAYS_COLUMN_X, 5, REPLAYS_HEADER_TOP, REPLAYS_ROW_TOP,
              REPLAYS_ROWS_SHOWN, replayRow);

    // The chart's frame: a panel, the plot's axes, its caption.
    const MenuRect& cp = REPLAYS_CHART_PANEL;
    panel(c, cp.x0, cp.x1, cp.y0, cp.y1, rgb(20, 22, 56), rgb(10, 10, 28), rgb(90, 120, 200));
    TextStyle small = label(13, rgb(170, 190, 255), regular());
    drawText(c, small, "Frags over time", cp.x0 + 12, H - cp.y1 + 6, Align::Left);
    const MenuRect& plot = REPLAYS_CHART;
    for (int y = H - plot.y1; y < H - plot.y0 + 1; ++y) c.at(plot.x0 - 1, y) = rgb(150, 170, 230);
    for (int x = plot.x0 - 1; x < plot.x1; ++x) c.at(x, H - plot.y0) = rgb(150, 170, 230);
    const MenuRect& pp = REPLAYS_PLAYERS_PANEL;
    panel(c, pp.x0, pp.x1, pp.y0, pp.y1, rgb(20, 22, 56), rgb(10, 10, 28), rgb(90, 120, 200));
    drawText(c, small, "Players, last round's frags", pp.x0 + 12, H - pp.y1 + 6, Align::Left);

    button(c, REPLAYS_PLAY_BUTTON, "Play", 18);
    button(c, REPLAYS_DELETE_BUTTON, "Delete", 18);
    footer(c, "Enter or click: watch  -  Del: delete  -  the newest 30 matches are kept  -  Esc: back");
    return c;
}

}  // namespace

bool writeMenuPictures(const std::string& folder, const std::string& fontFolder) {
    fontDir = fontFolder;
    if (!startText()) return false;
    bool ok = writeTga(splash(), folder + "/logo.tga", 24);
    ok &= writeTga(mainPage(), folder + "/main.tga", 24);
    ok &= writeTga(fightersPage(), folder + "/fighters.tga", 24);
    ok &= writeTga(creditsPage(), folder + "/credits.tga", 24);
    ok &= writeTga(serversPage(), folder + "/servers.tga", 24);
    ok &= writeTga(optionsPage(), folder + "/options.tga", 24);
    ok &= writeTga(replaysPage(), folder + "/replays.tga", 24);
    stopText();
    return ok;
}

bool writeMenuScreenshot(const std::string& path, const std::string& fontFolder) {
    fontDir = fontFolder;
    if (!startText()) return false;
    bool ok = writePng(fightersPage(), path, 3);
    stopText();
    return ok;
}
