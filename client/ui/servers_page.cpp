#include "client/ui/servers_page.h"

#include <algorithm>

#include "client/net/hosted_server.h"
#include "platform/text.h"

namespace {

const MenuSpinner* const SPINNERS[] = {&SERVERS_MAP, &SERVERS_PLAYERS, &SERVERS_FRAGS,
                                       &SERVERS_BOTS};
const std::string NO_MAP;

}  // namespace

ServersPage::ServersPage() = default;

void ServersPage::open(const Settings& current, std::vector<std::string> mapList) {
    address.set(current.serverName);
    name.set(current.playerName);
    focus = Focus::Address;
    selectedRow = -1;
    maps = std::move(mapList);
    auto hall = std::find(maps.begin(), maps.end(), "hall");
    mapIndex = hall != maps.end() ? size_t(hall - maps.begin()) : 0;
    browser.setDirectHost(address.text());
}

void ServersPage::refresh(uint32_t nowMs, bool hosting) {
    browser.setHosting(hosting);
    browser.poll(nowMs);
    if (selectedRow >= int32_t(rowsShown())) selectedRow = int32_t(rowsShown()) - 1;
}

size_t ServersPage::rowsShown() const {
    return std::min(browser.count(), size_t(SERVERS_ROWS_SHOWN));
}

const std::string& ServersPage::mapChoice() const {
    return mapIndex < maps.size() ? maps[mapIndex] : NO_MAP;
}

ServersAction ServersPage::joinRow(size_t row) {
    if (row >= rowsShown()) return ServersAction::None;
    platform::copyText(chosen, browser.server(row).addressText);
    return ServersAction::Join;
}

ServersAction ServersPage::join() {
    if (selectedRow >= 0) return joinRow(size_t(selectedRow));
    if (address.empty()) return ServersAction::None;
    platform::copyText(chosen, address.text());
    return ServersAction::Join;
}

ServersAction ServersPage::typed(const TypedKey& key) {
    TextField& field = focus == Focus::Address ? address : name;
    if (key.character != 0) {
        if (field.type(key.character) && focus == Focus::Address) {
            selectedRow = -1;  // typing an address means that address
            browser.setDirectHost(address.text());
        }
        return ServersAction::None;
    }
    switch (key.virtualKey) {
    case VK_BACK:
        if (field.erase() && focus == Focus::Address) {
            selectedRow = -1;
            browser.setDirectHost(address.text());
        }
        return ServersAction::None;
    case VK_TAB:
        focus = focus == Focus::Address ? Focus::Name : Focus::Address;
        return ServersAction::None;
    case VK_DOWN:
        if (selectedRow + 1 < int32_t(rowsShown())) ++selectedRow;
        return ServersAction::None;
    case VK_UP:
        if (selectedRow >= 0) --selectedRow;  // above the first row: the typed address
        return ServersAction::None;
    case VK_RETURN:
        return join();
    default:
        return ServersAction::None;
    }
}

void ServersPage::step(const MenuSpinner& spinner, int x, int yUp) {
    int delta = rectContains(spinner.less, x, yUp) ? -1 : rectContains(spinner.more, x, yUp) ? 1 : 0;
    if (delta == 0) return;
    if (&spinner == &SERVERS_MAP && !maps.empty())
        mapIndex = (mapIndex + (delta < 0 ? maps.size() - 1 : 1)) % maps.size();
    else if (&spinner == &SERVERS_PLAYERS)
        maxPlayers = std::clamp(maxPlayers + delta, HOST_PLAYERS_MIN, HOST_PLAYERS_MAX);
    else if (&spinner == &SERVERS_FRAGS)
        fragLimit = std::clamp(fragLimit + delta, HOST_FRAGS_MIN, HOST_FRAGS_MAX);
    else if (&spinner == &SERVERS_BOTS)
        botCount = std::clamp(botCount + delta, 0, std::min(HOST_BOTS_MAX, maxPlayers - 1));
    // Fewer places than bots leaves no place for the player.
    botCount = std::min(botCount, maxPlayers - 1);
}

ServersAction ServersPage::clicked(int x, int yUp) {
    for (size_t row = 0; row < rowsShown(); ++row)
        if (rectContains(serverRow(int(row)), x, yUp)) return joinRow(row);
    if (rectContains(SERVERS_ADDRESS_FIELD, x, yUp)) focus = Focus::Address;
    if (rectContains(SERVERS_NAME_FIELD, x, yUp)) focus = Focus::Name;
    if (rectContains(SERVERS_JOIN_BUTTON, x, yUp)) return join();
    if (rectContains(SERVERS_HOST_BUTTON, x, yUp))
        return maps.empty() ? ServersAction::None : ServersAction::Host;
    if (rectContains(SERVERS_STOP_BUTTON, x, yUp)) return ServersAction::StopHost;
    for (const MenuSpinner* spinner : SPINNERS) step(*spinner, x, yUp);
    return ServersAction::None;
}

bool ServersPage::hovered(int x, int yUp, MenuRect* spot) const {
    std::vector<MenuRect> spots = {SERVERS_ADDRESS_FIELD, SERVERS_NAME_FIELD, SERVERS_JOIN_BUTTON,
                                   SERVERS_HOST_BUTTON, SERVERS_STOP_BUTTON};
    for (size_t row = 0; row < rowsShown(); ++row) spots.push_back(serverRow(int(row)));
    for (const MenuSpinner* spinner : SPINNERS) {
        spots.push_back(spinner->less);
        spots.push_back(spinner->more);
    }
    for (const MenuRect& r : spots)
        if (rectContains(r, x, yUp)) {
            *spot = r;
            return true;
        }
    return false;
}
