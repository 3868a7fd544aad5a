// The menu's Replays page without its drawing: the recordings in the replays
// folder newest first (date, map, length, players, each round's winner), the
// selected one's frags over time for the chart, playing one and deleting one
// after a confirmation. Names come through the printable filter, as in a
// match. The menu owns the page and acts on what it returns.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "client/core/input.h"
#include "client/ui/replays_layout.h"

enum class ReplaysAction { None, Play, Deleted };

// One player's line on the chart: frags at each change, rounds starting at 0.
struct ChartLine {
    char name[16] = "";
    std::vector<std::pair<uint32_t, int32_t>> points;  // (ms, frags), in time order
    int32_t finalFrags = 0;                            // in the last round
};

struct ReplayEntry {
    std::string file;  // name within the folder
    bool finished = false;
    bool readable = false;
    bool mapAvailable = false;
    char date[24] = "";  // "2026-12-08 09:58", UTC as in the file's name
    char map[64] = "";
    uint32_t lengthMs = 0;
    int players = 0;
    std::string winners;  // each round's winner, in order
    int32_t fragLimit = 0;
    std::vector<ChartLine> chart;
    int32_t chartTop = 1;  // the most frags any line reaches (at least 1)
};

// "hall/hall.bxm" under the maps folder for a recording's map name, as a
// server names it; "" for a name that could lead outside the maps folder.
std::string recordingMapPath(const char* mapName);
// "2026-12-08 09:58" from a start time in seconds since 1970 (UTC).
void formatRecordingDate(uint64_t startTime, char* out, size_t size);
// "4:07" (minutes and seconds); hours when there are any ("1:02:03").
void formatLength(uint32_t ms, char* out, size_t size);
// Reads one recording's header and summary into an entry; false (entry
// marked unreadable) when it is not a recording we can read.
bool describeRecording(const std::string& folder, const std::string& file, const char* mapsFolder,
                       ReplayEntry* entry);

class ReplaysPage {
public:
    // `folder`: the recordings; `mapsFolder`: where a recording's map must be.
    explicit ReplaysPage(const char* folder = "../replays", const char* mapsFolder = "../data/maps");

    // Reads the folder again; the selection stays on the same file if it is there.
    void open();
    ReplaysAction typed(const TypedKey& key);
    ReplaysAction clicked(int x, int yUp);
    bool hovered(int x, int yUp, MenuRect* spot) const;

    const std::vector<ReplayEntry>& entries() const { return list; }
    int32_t selected() const { return selectedRow; }
    size_t firstShown() const { return first; }
    bool confirming() const { return askingDelete; }
    // Why the selected recording cannot be played ("" when it can).
    std::string whyNotPlayable() const;
    // After Play: the chosen recording's path.
    std::string chosenPath() const;
    const std::string& lastMessage() const { return message; }

private:
    ReplaysAction play();
    ReplaysAction removeSelected();
    void select(int32_t row);
    std::string folder, mapsFolder;
    std::vector<ReplayEntry> list;
    int32_t selectedRow = -1;
    size_t first = 0;
    bool askingDelete = false;
    std::string message;
};
