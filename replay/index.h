// The INDX chunk: where every RECS and KEYF chunk starts, so that opening and
// seeking read only the few chunks they need. Its payload:
//   u32 length ms, u64 offset of the SUMM chunk (0: none), u32 count,
//   count x { u8 keyframe (1 KEYF, 0 RECS), u32 timeMs, u64 offset }
// in file order. A file without it (cut short) is indexed by walking its
// chunk headers instead.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

struct IndexEntry {
    bool keyframe = false;
    uint32_t timeMs = 0;
    uint64_t offset = 0;
};

constexpr size_t INDEX_ENTRY_SIZE = 13;

std::string encodeIndex(uint32_t lengthMs, uint64_t summaryOffset,
                        const std::vector<IndexEntry>& entries);
// False on anything malformed: times or offsets going backwards, offsets at
// or past `fileSize`, a count the payload does not hold.
bool decodeIndex(const std::string& payload, uint64_t fileSize, uint32_t* lengthMs,
                 uint64_t* summaryOffset, std::vector<IndexEntry>* entries);

}  // namespace replay
