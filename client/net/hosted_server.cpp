#include "client/net/hosted_server.h"

#include <string>

#include "platform/files.h"
#include "platform/text.h"

HostedServer hostedServer;

std::vector<std::string> hostableMaps(const char* mapsFolder) {
    std::vector<std::string> maps;
    for (const std::string& name : platform::listFolders(mapsFolder)) {
        if (!protocol::isSendableMapName(name.c_str())) continue;
        std::string file = std::string(mapsFolder) + "/" + name + "/" + name + ".bxm";
        if (platform::fileExists(file.c_str())) maps.push_back(name);
    }
    return maps;
}

bool startHostedServer(const char* mapName, int32_t maxPlayers, int32_t fragLimit,
                       int32_t botCount) {
    stopHostedServer();
    if (!protocol::isSendableMapName(mapName) || maxPlayers < HOST_PLAYERS_MIN ||
        maxPlayers > HOST_PLAYERS_MAX || fragLimit < HOST_FRAGS_MIN || fragLimit > HOST_FRAGS_MAX ||
        botCount < 0 || botCount > HOST_BOTS_MAX || botCount >= maxPlayers)
        return false;
    hostedServer.server = platform::startChild(
        "./server", {mapName, std::to_string(maxPlayers), std::to_string(fragLimit)}, "",
        "../server.log");
    if (hostedServer.server == platform::NO_PROCESS) return false;
    platform::copyText(hostedServer.mapName, mapName);
    hostedServer.maxPlayers = maxPlayers;
    hostedServer.fragLimit = fragLimit;
    hostedServer.botCount = botCount;
    hostedServer.botsStarted = false;
    return true;
}

bool startHostedBots() {
    if (hostedServer.botsStarted) return hostedServer.bots != platform::NO_PROCESS;
    if (hostedServer.botCount == 0 || !hostedServerRunning()) return false;
    hostedServer.botsStarted = true;
    hostedServer.bots = platform::startChild(
        "./bot", {"--count", std::to_string(hostedServer.botCount), "--server", "127.0.0.1"}, "",
        "../bots.log");
    return hostedServer.bots != platform::NO_PROCESS;
}

bool hostedServerRunning() {
    if (platform::childRunning(hostedServer.server)) return true;
    // Reaped: its number may soon name another process, never signal it.
    hostedServer.server = platform::NO_PROCESS;
    return false;
}

void stopHostedServer() {
    if (!platform::childRunning(hostedServer.bots)) hostedServer.bots = platform::NO_PROCESS;
    hostedServerRunning();
    // Bots first: they would only try to rejoin a server that is going.
    platform::stopChild(hostedServer.bots);
    platform::stopChild(hostedServer.server);
    hostedServer = HostedServer{};
}
