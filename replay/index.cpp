#include "replay/index.h"

#include "replay/format.h"

namespace replay {

std::string encodeIndex(uint32_t lengthMs, uint64_t summaryOffset,
                        const std::vector<IndexEntry>& entries) {
    std::string out;
    putU32(&out, lengthMs);
    putU64(&out, summaryOffset);
    putU32(&out, uint32_t(entries.size()));
    for (const IndexEntry& e : entries) {
        out.push_back(char(e.keyframe ? 1 : 0));
        putU32(&out, e.timeMs);
        putU64(&out, e.offset);
    }
    return out;
}

bool decodeIndex(const std::string& payload, uint64_t fileSize, uint32_t* lengthMs,
                 uint64_t* summaryOffset, std::vector<IndexEntry>* entries) {
    Cursor in(payload);
    uint32_t count = 0;
    entries->clear();
    if (!in.u32(lengthMs) || !in.u64(summaryOffset) || !in.u32(&count)) return false;
    if (*summaryOffset >= fileSize || count != in.left() / INDEX_ENTRY_SIZE ||
        in.left() % INDEX_ENTRY_SIZE != 0)
        return false;
    entries->reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t keyframe = 0;
        IndexEntry e;
        in.u8(&keyframe);
        in.u32(&e.timeMs);
        in.u64(&e.offset);
        if (keyframe > 1 || e.offset >= fileSize) return false;
        if (!entries->empty() &&
            (e.offset <= entries->back().offset || e.timeMs < entries->back().timeMs))
            return false;
        e.keyframe = keyframe == 1;
        entries->push_back(e);
    }
    return true;
}

}  // namespace replay
