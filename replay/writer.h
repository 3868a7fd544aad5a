// Records one match into a replay file, for the game and the server alike.
//
//   ReplayWriter w;
//   w.open("../replays", "hall", "Ace", fragLimit, KEEP_RECORDINGS);
//   w.record(ms, player, stateText);   // every state, as often as it comes
//   w.recordGone(ms, player);          // the player left
//   w.close();                         // summary, index, final name
//
// `ms` counts from the start of the recording (the caller's clock); a time
// earlier than the last one is taken as the last one. `player` is whatever
// small number the caller keeps a player under (the server: its slot; a game
// might use its table index for the others and one more for its own fighter).
// open, record, recordGone and close belong to one thread (the caller's). The
// state's text is kept exactly, without its checksum suffix; one identical to
// the last one kept for the same player is not kept again.
//
// The calling thread never touches the disk: record() appends to a queue under
// a lock, and a thread of the writer's own takes the whole queue at once,
// writes chunks and creates, finishes and renames the file. A failure (a
// folder that cannot be written, a full disk, a queue the disk cannot drain)
// stops the recording, keeps what was written, and is reported once by
// takeFailure(). A writer may be opened again after close().
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/mutex.h"
#include "platform/thread.h"
#include "replay/format.h"

namespace replay {

// Records waiting for the disk, at most (some 20 s of a full ten-player match).
constexpr size_t MAX_QUEUED_BYTES = 8u << 20;

class ReplayWriter {
public:
    ReplayWriter();
    ~ReplayWriter();  // closes
    ReplayWriter(const ReplayWriter&) = delete;
    ReplayWriter& operator=(const ReplayWriter&) = delete;

    // Starts a recording in `folder` (made if missing), named after the
    // current time and the map (see folder.h). `keepNewest` > 0 deletes older
    // recordings in the folder once this one is finished. False when already
    // open or the writing thread cannot start.
    bool open(const char* folder, const char* mapName, const char* recordedBy,
              int32_t fragLimit = 0, size_t keepNewest = 0);
    bool isOpen() const { return opened; }

    void record(uint32_t timeMs, uint8_t player, const char* stateText);
    void recordGone(uint32_t timeMs, uint8_t player);

    // Writes what is queued, the summary and the index, renames the file to
    // its finished name and waits for that (a few milliseconds).
    void close();

    // True once after the recording stopped on a failure, with a line saying why.
    bool takeFailure(std::string* message);

    // The finished file's path, once close() has returned ("" before, or
    // when the recording failed).
    std::string finishedPath();

    // Counts since open(), for the curious (benchmarks, tests).
    uint64_t keptCount() const { return kept; }
    uint64_t duplicateCount() const { return duplicates; }

private:
    struct Disk;  // the writing thread's own state
    void enqueue(const ReplayRecord& record);
    void fail(const std::string& message);
    void writeLoop();

    bool opened = false;
    platform::Thread thread;
    std::unique_ptr<Disk> disk;

    // Caller's side: the last kept text of each player number.
    std::unique_ptr<std::string[]> lastKept;
    std::unique_ptr<bool[]> present;
    uint64_t kept = 0, duplicates = 0;
    std::atomic<bool> failed{false};

    // Shared with the writing thread, under `lock`.
    platform::Mutex lock;
    std::string queue;
    bool closing = false;
    std::string failure;
    bool failureTaken = false;
    std::string finished;
};

}  // namespace replay
