// The Servers and Options pages' live text over their pictures, in the
// screen's bitmap font, in the menu's 640 x 480 window space that
// drawMenuPicture sets up.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "client/net/hosted_server.h"
#include "client/ui/font.h"
#include "client/ui/menu.h"
#include "client/ui/menu_text_gl.h"

namespace menudraw {

// Where a line of text sits vertically centred in a box.
int baselineIn(const MenuRect& box) { return box.y0 + (box.y1 - box.y0 - 11) / 2; }

int textWidth(const char* text) { return int(std::strlen(text)) * MENU_FONT_ADVANCE; }

// A line with a dark shadow one pixel down and right, so it reads on any
// part of the pictures.
void drawText(int x, int baseline, const Colour& c, const char* text) {
    if (fontListBase == 0 || !text[0]) return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontListBase);
    GLsizei n = GLsizei(std::strlen(text));
    glColor3f(0.03f, 0.02f, 0.08f);
    glRasterPos2i(x + 1, baseline - 1);
    glCallLists(n, GL_UNSIGNED_BYTE, text);
    glColor3f(c.r, c.g, c.b);
    glRasterPos2i(x, baseline);
    glCallLists(n, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void drawCentred(const MenuRect& box, const Colour& c, const char* text) {
    drawText((box.x0 + box.x1 - textWidth(text)) / 2, baselineIn(box), c, text);
}

void fillRect(const MenuRect& r, float red, float green, float blue, float alpha) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(red, green, blue, alpha);
    glBegin(GL_QUADS);
    glVertex2i(r.x0, r.y0);
    glVertex2i(r.x1, r.y0);
    glVertex2i(r.x1, r.y1);
    glVertex2i(r.x0, r.y1);
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// A column's text cut to the characters that fit before the next column,
// marked with a '~' where it was cut.
std::string fitted(const std::string& text, int columnWidth) {
    size_t room = size_t(columnWidth / MENU_FONT_ADVANCE - 1);
    if (text.size() <= room) return text;
    return text.substr(0, room - 1) + "~";
}

}  // namespace menudraw

using namespace menudraw;

namespace {

// A two-pixel rim just inside a box: the field that takes the typing.
void drawRim(const MenuRect& r, const Colour& c) {
    fillRect({r.x0, r.x1, r.y0, r.y0 + 2}, c.r, c.g, c.b, 1.0f);
    fillRect({r.x0, r.x1, r.y1 - 2, r.y1}, c.r, c.g, c.b, 1.0f);
    fillRect({r.x0, r.x0 + 2, r.y0, r.y1}, c.r, c.g, c.b, 1.0f);
    fillRect({r.x1 - 2, r.x1, r.y0, r.y1}, c.r, c.g, c.b, 1.0f);
}

void drawField(const MenuRect& box, const TextField& field, bool focused, bool caretOn) {
    if (focused) drawRim(box, GOLD);
    std::string shown = field.text();
    if (focused && caretOn && field.length() < field.capacity()) shown += '_';
    drawText(box.x0 + 10, baselineIn(box), WHITE, shown.c_str());
}

void drawRow(const FoundServer& s, int row, bool selected) {
    MenuRect box = serverRow(row);
    if (selected) fillRect(box, 0.35f, 0.55f, 1.0f, 0.30f);
    const Colour& c = s.hosted ? GOLD : WHITE;
    int base = baselineIn(box);
    std::string address = s.addressText;
    if (s.hosted) address += " (you)";
    char players[24], frags[16], ping[16];
    std::snprintf(players, sizeof players, "%d/%d", int(s.occupied), int(s.maxPlayers));
    std::snprintf(frags, sizeof frags, "%d", int(s.fragLimit));
    std::snprintf(ping, sizeof ping, "%u ms", unsigned(s.rttMs));
    const char* texts[5] = {address.c_str(), s.mapName, players, frags, ping};
    const Colour* colours[5] = {&c, &CYAN, &c, &c, &DIM};
    for (int i = 0; i < 5; ++i) {
        int right = i < 4 ? SERVERS_COLUMN_X[i + 1] : box.x1 + MENU_FONT_ADVANCE;
        drawText(SERVERS_COLUMN_X[i], base, *colours[i],
                 fitted(texts[i], right - SERVERS_COLUMN_X[i]).c_str());
    }
}

}  // namespace

void drawMenuSpot(const MenuRect& spot) {
    drawMenuHighlight(MenuButton{{{spot.x0, spot.y0}, {spot.x1, spot.y0}, {spot.x1, spot.y1},
                                  {spot.x0, spot.y1}}, 0});
}

void drawServersPage(const ServersPage& page, bool caretOn, const std::string& hostStatus) {
    size_t rows = page.rowsShown();
    for (size_t i = 0; i < rows; ++i)
        drawRow(page.browser.server(i), int(i), page.selectedRow == int32_t(i));
    if (rows == 0)
        drawCentred(serverRow(3), DIM, "Looking for servers on the LAN...");
    drawField(SERVERS_ADDRESS_FIELD, page.address, page.focus == ServersPage::Focus::Address, caretOn);
    drawField(SERVERS_NAME_FIELD, page.name, page.focus == ServersPage::Focus::Name, caretOn);

    char value[40];
    drawCentred(SERVERS_MAP.value, CYAN, page.maps.empty() ? "no maps" : page.mapChoice().c_str());
    std::snprintf(value, sizeof value, "%d", int(page.maxPlayers));
    drawCentred(SERVERS_PLAYERS.value, WHITE, value);
    std::snprintf(value, sizeof value, "%d", int(page.fragLimit));
    drawCentred(SERVERS_FRAGS.value, WHITE, value);
    std::snprintf(value, sizeof value, "%d", int(page.botCount));
    drawCentred(SERVERS_BOTS.value, WHITE, value);
    MenuRect status = rectFromTop(SERVERS_STATUS_X, 616, SERVERS_STATUS_TOP - 7,
                                  SERVERS_STATUS_TOP + 23);
    const Colour& c = hostStatus.rfind("Hosting", 0) == 0 ? GREEN : ORANGE;
    drawText(status.x0, baselineIn(status), c, hostStatus.c_str());
}

void drawOptionsPage(const OptionsPage& page) {
    for (int row = 0; row < OPTION_COUNT; ++row) {
        char value[40];
        page.valueText(row, value, sizeof value);
        drawCentred(optionsSpinner(row).value, WHITE, value);
    }
    MenuRect status = rectFromTop(0, MENU_WIDTH, OPTIONS_STATUS_TOP, OPTIONS_STATUS_TOP + 24);
    if (page.tooLargeMode()[0] != '\0') {
        // The mode stepped over, and why, with what became of the one chosen.
        const char* kept = page.status() == SaveStatus::Held ? "Kept for this run" : "Saved";
        std::string text = std::string(kept) + "; " + page.tooLargeMode() +
                           " is larger than this display";
        drawCentred(status, ORANGE, text.c_str());
    } else if (page.status() == SaveStatus::Saved)
        drawCentred(status, GREEN, "Saved in config.cfg");
    else if (page.status() == SaveStatus::Held)
        drawCentred(status, ORANGE, "config.cfg could not be saved: kept for this run");
    else if (page.status() == SaveStatus::Refused) {
        std::string text = std::string("Full screen needs a ") + page.missingMode() +
                           " mode this display lacks";
        drawCentred(status, ORANGE, text.c_str());
    }
}
