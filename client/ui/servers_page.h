// The menu's Servers page without its drawing: the servers found on the LAN
// (kept by its ServerBrowser), the address and name fields, the choices for
// hosting a match. It turns clicks and typed keys into what the menu does
// next; the menu owns the page and acts on it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "client/net/server_browser.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "client/ui/menu_layout.h"
#include "client/ui/text_field.h"

enum class ServersAction { None, Join, Host, StopHost };

class ServersPage {
public:
    enum class Focus { Address, Name };

    ServersPage();

    // Fills the fields from the settings and takes the maps a host can pick.
    void open(const Settings& current, std::vector<std::string> maps);

    // Asks and takes in replies (ServerBrowser::poll), keeping the selected
    // row on the list as it shrinks.
    void refresh(uint32_t nowMs, bool hosting);

    ServersAction typed(const TypedKey& key);
    ServersAction clicked(int x, int yUp);
    // The hot spot under the cursor, for its highlight (none: false).
    bool hovered(int x, int yUp, MenuRect* spot) const;

    // After Join: the server chosen (a row's address or the typed one) and
    // the name typed, both within their settings fields.
    const char* chosenServer() const { return chosen; }
    const char* playerName() const { return name.text(); }

    // The rows shown: the first SERVERS_ROWS_SHOWN servers found.
    size_t rowsShown() const;

    const std::string& mapChoice() const;
    ServerBrowser browser;
    TextField address{20};
    TextField name{14, "+"};
    Focus focus = Focus::Address;
    int32_t selectedRow = -1;  // chosen with the arrow keys; -1: none
    std::vector<std::string> maps;
    size_t mapIndex = 0;
    int32_t maxPlayers = 8;
    int32_t fragLimit = 20;
    int32_t botCount = 0;

private:
    ServersAction join();
    ServersAction joinRow(size_t row);
    void step(const MenuSpinner& spinner, int x, int yUp);
    char chosen[sizeof Settings::serverName] = "";
};
