#include "client/ui/replays_page.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/files.h"
#include "platform/text.h"
#include "protocol/protocol.h"
#include "replay/folder.h"
#include "replay/reader.h"

namespace {
// Lines the chart draws at most; the page lists this many players too.
constexpr size_t CHART_LINES = 10;
}  // namespace

std::string recordingMapPath(const char* mapName) {
    if (!mapName[0] || std::strchr(mapName, '/')) return "";
    std::string path = std::string(mapName) + "/" + mapName + ".bxm";
    return protocol::isSafeMapPath(path.c_str()) ? path : "";
}

void formatRecordingDate(uint64_t startTime, char* out, size_t size) {
    std::time_t t = std::time_t(startTime);
    std::tm* utc = std::gmtime(&t);
    if (!utc) {
        std::snprintf(out, size, "?");
        return;
    }
    std::snprintf(out, size, "%04d-%02d-%02d %02d:%02d", utc->tm_year + 1900, utc->tm_mon + 1,
                  utc->tm_mday, utc->tm_hour, utc->tm_min);
}

void formatLength(uint32_t ms, char* out, size_t size) {
    uint32_t s = ms / 1000;
    if (s >= 3600)
        std::snprintf(out, size, "%u:%02u:%02u", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(out, size, "%u:%02u", s / 60, s % 60);
}

bool describeRecording(const std::string& folder, const std::string& file, const char* mapsFolder,
                       ReplayEntry* e) {
    *e = ReplayEntry();
    e->file = file;
    std::string path = folder + "/" + file;
    replay::ReplayReader reader;
    if (!reader.open(path.c_str())) return false;
    const replay::ReplayHeader& head = reader.header();
    e->readable = true;
    e->finished = reader.finished();
    formatRecordingDate(head.startTime, e->date, sizeof e->date);
    platform::printableText(head.mapName, e->map, sizeof e->map);
    e->fragLimit = head.fragLimit;
    e->lengthMs = reader.lengthMs();
    // Only a name a server could send is looked for: a hostile file must not
    // point the game at anything outside its maps.
    std::string mapPath = recordingMapPath(head.mapName);
    if (!mapPath.empty())
        e->mapAvailable = platform::fileExists((std::string(mapsFolder) + "/" + mapPath).c_str());

    const replay::ReplaySummary& sum = reader.summary();
    std::vector<std::string> ids;
    for (const replay::ReplayPlayer& p : sum.players)
        if (std::find(ids.begin(), ids.end(), p.clientId) == ids.end()) ids.push_back(p.clientId);
    e->players = int(ids.size());
    for (const replay::ReplayRound& r : sum.rounds) {
        if (!r.ended || r.winner >= sum.players.size()) continue;
        char name[16];
        platform::printableText(sum.players[r.winner].name, name, sizeof name);
        if (!e->winners.empty()) e->winners += ", ";
        e->winners += name;
    }

    // Frags over time: each kill adds one to its killer, each round starts at 0.
    // A client seen under several player numbers is one line.
    std::vector<int> lineOf(sum.players.size(), -1);
    for (size_t i = 0; i < sum.players.size(); ++i) {
        for (size_t j = 0; j < i && lineOf[i] < 0; ++j)
            if (std::strcmp(sum.players[j].clientId, sum.players[i].clientId) == 0) lineOf[i] = lineOf[j];
        if (lineOf[i] >= 0 || e->chart.size() >= CHART_LINES) continue;
        lineOf[i] = int(e->chart.size());
        e->chart.emplace_back();
        platform::printableText(sum.players[i].name, e->chart.back().name, sizeof e->chart.back().name);
        e->chart.back().points.push_back({0, 0});
    }
    std::vector<size_t> roundOf(e->chart.size(), 0);
    size_t round = 0;
    for (const replay::ReplayKill& k : sum.kills) {
        while (round + 1 < sum.rounds.size() && sum.rounds[round + 1].startMs <= k.timeMs) ++round;
        if (k.killer >= lineOf.size() || lineOf[k.killer] < 0) continue;
        size_t line = size_t(lineOf[k.killer]);
        ChartLine& c = e->chart[line];
        if (roundOf[line] != round) {
            roundOf[line] = round;
            c.points.push_back({sum.rounds[round].startMs, 0});
            c.finalFrags = 0;
        }
        c.finalFrags += 1;
        c.points.push_back({k.timeMs, c.finalFrags});
        e->chartTop = std::max(e->chartTop, c.finalFrags);
    }
    // Every line runs to the end; one whose last round is over drops to 0
    // where the next round began.
    for (size_t line = 0; line < e->chart.size(); ++line) {
        ChartLine& c = e->chart[line];
        if (roundOf[line] != round && !sum.rounds.empty()) {
            c.points.push_back({sum.rounds[round].startMs, 0});
            c.finalFrags = 0;
        }
        c.points.push_back({std::max(e->lengthMs, c.points.back().first), c.finalFrags});
    }
    return true;
}

ReplaysPage::ReplaysPage(const char* folder, const char* mapsFolder)
    : folder(folder), mapsFolder(mapsFolder) {}

void ReplaysPage::open() {
    std::string kept = selectedRow >= 0 && size_t(selectedRow) < list.size() ? list[size_t(selectedRow)].file : "";
    list.clear();
    for (const replay::RecordingFile& f : replay::listRecordings(folder.c_str())) {
        ReplayEntry e;
        describeRecording(folder, f.name, mapsFolder.c_str(), &e);
        list.push_back(std::move(e));
    }
    askingDelete = false;
    message.clear();
    selectedRow = list.empty() ? -1 : 0;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].file == kept) selectedRow = int32_t(i);
    first = 0;
    select(selectedRow);
}

void ReplaysPage::select(int32_t row) {
    if (list.empty()) {
        selectedRow = -1;
        first = 0;
        return;
    }
    selectedRow = std::max(0, std::min(row, int32_t(list.size()) - 1));
    if (size_t(selectedRow) < first) first = size_t(selectedRow);
    if (size_t(selectedRow) >= first + REPLAYS_ROWS_SHOWN) first = size_t(selectedRow) - REPLAYS_ROWS_SHOWN + 1;
}

std::string ReplaysPage::whyNotPlayable() const {
    if (selectedRow < 0) return "No recording chosen";
    const ReplayEntry& e = list[size_t(selectedRow)];
    if (!e.readable) return "This file is not a recording the game can read";
    if (!e.mapAvailable) return std::string("This game does not have the map ") + e.map;
    return "";
}

std::string ReplaysPage::chosenPath() const {
    if (selectedRow < 0) return "";
    return folder + "/" + list[size_t(selectedRow)].file;
}

ReplaysAction ReplaysPage::play() {
    message = whyNotPlayable();
    return message.empty() ? ReplaysAction::Play : ReplaysAction::None;
}

ReplaysAction ReplaysPage::removeSelected() {
    askingDelete = false;
    if (selectedRow < 0) return ReplaysAction::None;
    std::string path = chosenPath();
    if (std::remove(path.c_str()) != 0) {
        message = "Could not delete " + list[size_t(selectedRow)].file;
        return ReplaysAction::None;
    }
    message = "Deleted " + list[size_t(selectedRow)].file;
    list.erase(list.begin() + selectedRow);
    select(selectedRow);
    return ReplaysAction::Deleted;
}

ReplaysAction ReplaysPage::typed(const TypedKey& key) {
    if (askingDelete) {
        // Only Enter or Y deletes; any other key keeps the recording.
        if (key.virtualKey == VK_RETURN || key.character == 'y' || key.character == 'Y')
            return removeSelected();
        if (key.virtualKey != 0 || key.character != 0) askingDelete = false;
        message.clear();
        return ReplaysAction::None;
    }
    switch (key.virtualKey) {
    case VK_UP: select(selectedRow - 1); message.clear(); break;
    case VK_DOWN: select(selectedRow + 1); message.clear(); break;
    case VK_RETURN: return play();
    case VK_DELETE:
        if (selectedRow >= 0) askingDelete = true;
        break;
    default: break;
    }
    return ReplaysAction::None;
}

ReplaysAction ReplaysPage::clicked(int x, int yUp) {
    if (askingDelete) {
        if (rectContains(REPLAYS_CONFIRM_YES, x, yUp)) return removeSelected();
        askingDelete = false;
        message.clear();
        return ReplaysAction::None;
    }
    if (rectContains(REPLAYS_PLAY_BUTTON, x, yUp)) return play();
    if (rectContains(REPLAYS_DELETE_BUTTON, x, yUp)) {
        if (selectedRow >= 0) askingDelete = true;
        return ReplaysAction::None;
    }
    for (int row = 0; row < REPLAYS_ROWS_SHOWN; ++row) {
        size_t index = first + size_t(row);
        if (index >= list.size() || !rectContains(replayRow(row), x, yUp)) continue;
        // A click picks a recording; a click on the one picked plays it.
        if (int32_t(index) == selectedRow) return play();
        select(int32_t(index));
        message.clear();
        return ReplaysAction::None;
    }
    return ReplaysAction::None;
}

bool ReplaysPage::hovered(int x, int yUp, MenuRect* spot) const {
    std::vector<MenuRect> spots;
    if (askingDelete) {
        spots = {REPLAYS_CONFIRM_YES, REPLAYS_CONFIRM_NO};
    } else {
        spots = {REPLAYS_PLAY_BUTTON, REPLAYS_DELETE_BUTTON};
        for (int row = 0; row < REPLAYS_ROWS_SHOWN && first + size_t(row) < list.size(); ++row)
            spots.push_back(replayRow(row));
    }
    for (const MenuRect& r : spots)
        if (rectContains(r, x, yUp)) {
            *spot = r;
            return true;
        }
    return false;
}
