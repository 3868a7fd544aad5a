// Reads a replay file: its header, who played, the rounds and kills, and
// its records from the start or from any time.
//
//   ReplayReader r;
//   if (!r.open(path)) ...               // not a recording we can read
//   r.header().mapName; r.lengthMs();
//   r.summary().players / rounds / kills
//   r.seek(90000);                       // the state at 1:30, then on from there
//   ReplayRecord rec;
//   while (r.next(&rec)) ...
//
// Opening reads the header and, for a finished file, the index and summary at
// its end: a few chunks whatever the length. A file cut short is indexed by
// walking its chunk headers, and its summary is built on first use by reading
// it whole. Reading stops quietly at the first chunk that is cut short or
// fails its checksum: everything before it plays. Nothing a file says can make
// the reader allocate more than a few megabytes, loop without end or read
// outside its buffers.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "replay/format.h"
#include "replay/index.h"
#include "replay/summary.h"

namespace replay {

class ReplayReader {
public:
    ReplayReader() = default;
    ~ReplayReader();
    ReplayReader(const ReplayReader&) = delete;
    ReplayReader& operator=(const ReplayReader&) = delete;

    // False when the file is not a recording we can read. A reader may be
    // opened again, on another file.
    bool open(const char* path);
    // The same from bytes in memory, which must outlive the reader.
    bool openMemory(const uint8_t* data, size_t size);

    const ReplayHeader& header() const { return head; }
    // Whether the file was closed properly (its index and summary are there).
    bool finished() const { return hasIndex; }
    // Milliseconds from the start to the last record.
    uint32_t lengthMs();
    const ReplaySummary& summary();

    // Positions the reader at `ms`: next() first returns the latest state of
    // every player present at that moment (flag RECORD_KEYFRAME, each with the
    // time it was recorded), then every record from `ms` on.
    void seek(uint32_t ms);
    // The next record; false at the end of what can be read.
    bool next(ReplayRecord* record);
    // Whether reading stopped at a damaged chunk rather than the end.
    bool damaged() const { return stoppedOnDamage; }

    const std::vector<IndexEntry>& chunks() const { return entries; }

private:
    bool start();
    bool readAt(uint64_t offset, void* out, size_t length);
    // Reads and decodes the chunk at `offset`; false when cut short or bad.
    bool loadChunk(uint64_t offset, ChunkHeader* header, std::string* payload);
    void walkChunks();
    bool loadEntry(size_t entry);

    FILE* file = nullptr;
    const uint8_t* memory = nullptr;
    uint64_t size = 0;

    ReplayHeader head;
    uint64_t firstChunk = 0;
    std::vector<IndexEntry> entries;
    bool hasIndex = false;
    bool hasLength = false;
    uint32_t length = 0;
    bool hasSummary = false;
    ReplaySummary summaryData;

    // Iteration: the decoded RECS chunk entries[current], read up to `at`.
    size_t current = 0;
    bool loaded = false;  // payload holds entries[current]
    std::string payload;
    size_t at = 0;
    uint32_t skipBefore = 0;
    std::vector<ReplayRecord> pending;  // a seek's state, handed out first
    size_t pendingAt = 0;
    bool stoppedOnDamage = false;
};

}  // namespace replay
