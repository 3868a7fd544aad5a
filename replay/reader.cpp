#include "replay/reader.h"

#include <algorithm>
#include <cstring>

namespace replay {

namespace {
// More chunks than a day of recording; a file claiming more is not read past it.
constexpr size_t MAX_CHUNKS = 1u << 20;
// Chunks tried from the end for the length of a file cut short.
constexpr size_t LENGTH_PROBES = 8;
}  // namespace

ReplayReader::~ReplayReader() {
    if (file) std::fclose(file);
}

bool ReplayReader::open(const char* path) {
    if (file) std::fclose(file);
    memory = nullptr;
    file = std::fopen(path, "rb");
    if (!file) return false;
    if (std::fseek(file, 0, SEEK_END) != 0) return false;
    long end = std::ftell(file);
    if (end < 0) return false;
    size = uint64_t(end);
    return start();
}

bool ReplayReader::openMemory(const uint8_t* data, size_t length) {
    if (file) std::fclose(file);
    file = nullptr;
    memory = data;
    size = length;
    return start();
}

bool ReplayReader::readAt(uint64_t offset, void* out, size_t length) {
    if (offset > size || size - offset < length) return false;
    if (length == 0) return true;
    if (memory) {
        std::memcpy(out, memory + offset, length);
        return true;
    }
    return std::fseek(file, long(offset), SEEK_SET) == 0 &&
           std::fread(out, 1, length, file) == length;
}

bool ReplayReader::loadChunk(uint64_t offset, ChunkHeader* header, std::string* out) {
    uint8_t bytes[CHUNK_HEADER_SIZE];
    if (!readAt(offset, bytes, sizeof bytes) || !parseChunkHeader(bytes, header)) return false;
    // Nothing is allocated for a payload the file does not hold.
    if (size - offset - CHUNK_HEADER_SIZE < header->stored) return false;
    std::string stored(header->stored, '\0');
    if (!readAt(offset + CHUNK_HEADER_SIZE, header->stored ? &stored[0] : nullptr,
                header->stored))
        return false;
    return decodePayload(bytes, *header,
                         reinterpret_cast<const uint8_t*>(stored.data()), out);
}

bool ReplayReader::start() {
    head = ReplayHeader{};
    entries.clear();
    hasIndex = hasLength = hasSummary = false;
    length = 0;
    summaryData = ReplaySummary{};
    pending.clear();
    loaded = false;
    current = 0;
    char magic[sizeof FILE_MAGIC];
    if (!readAt(0, magic, sizeof magic) || std::memcmp(magic, FILE_MAGIC, sizeof magic) != 0)
        return false;
    ChunkHeader h;
    std::string bytes;
    if (!loadChunk(sizeof FILE_MAGIC, &h, &bytes) || h.tag != ChunkTag::Head ||
        !decodeHeader(bytes, &head))
        return false;
    firstChunk = sizeof FILE_MAGIC + CHUNK_HEADER_SIZE + h.stored;

    // A finished file ends in a trailer naming its index.
    uint8_t trailer[TRAILER_SIZE];
    if (size >= firstChunk + TRAILER_SIZE && readAt(size - TRAILER_SIZE, trailer, TRAILER_SIZE) &&
        std::memcmp(trailer, TRAILER_MAGIC, sizeof TRAILER_MAGIC) == 0) {
        uint64_t indexAt = getU64(trailer + sizeof TRAILER_MAGIC);
        uint64_t summaryAt = 0;
        ChunkHeader ih, sh;
        std::string summaryBytes;
        if (indexAt >= firstChunk && indexAt < size - TRAILER_SIZE &&
            loadChunk(indexAt, &ih, &bytes) && ih.tag == ChunkTag::Index &&
            decodeIndex(bytes, indexAt, &length, &summaryAt, &entries) &&
            entries.size() <= MAX_CHUNKS &&
            (entries.empty() || entries.front().offset >= firstChunk) && summaryAt != 0 &&
            loadChunk(summaryAt, &sh, &summaryBytes) && sh.tag == ChunkTag::Summary &&
            decodeSummary(summaryBytes, &summaryData)) {
            hasIndex = hasLength = hasSummary = true;
        }
    }
    if (!hasIndex) {
        entries.clear();
        walkChunks();
    }
    seek(0);
    return true;
}

void ReplayReader::walkChunks() {
    uint64_t offset = firstChunk;
    uint8_t bytes[CHUNK_HEADER_SIZE];
    while (entries.size() < MAX_CHUNKS && readAt(offset, bytes, sizeof bytes)) {
        ChunkHeader h;
        if (!parseChunkHeader(bytes, &h) || size - offset - CHUNK_HEADER_SIZE < h.stored) break;
        if (h.tag == ChunkTag::Records || h.tag == ChunkTag::Keyframe) {
            if (!entries.empty() && h.timeMs < entries.back().timeMs) break;
            entries.push_back(IndexEntry{h.tag == ChunkTag::Keyframe, h.timeMs, offset});
        } else if (h.tag == ChunkTag::Head) {
            break;
        }
        offset += CHUNK_HEADER_SIZE + h.stored;
    }
}

bool ReplayReader::loadEntry(size_t i) {
    ChunkHeader h;
    return loadChunk(entries[i].offset, &h, &payload) &&
           h.tag == (entries[i].keyframe ? ChunkTag::Keyframe : ChunkTag::Records) &&
           h.timeMs == entries[i].timeMs;
}

uint32_t ReplayReader::lengthMs() {
    if (hasLength) return length;
    hasLength = true;
    length = 0;
    // The last record of the last chunk that reads whole.
    std::string saved;
    saved.swap(payload);
    size_t tries = 0;
    for (size_t i = entries.size(); i-- > 0 && tries < LENGTH_PROBES; ++tries) {
        if (!loadEntry(i)) continue;
        length = entries[i].timeMs;
        size_t offset = 0;
        ReplayRecord r;
        while (readRecord(payload, &offset, &r)) length = std::max(length, r.timeMs);
        break;
    }
    if (tries == LENGTH_PROBES && !entries.empty()) length = entries.back().timeMs;
    payload.swap(saved);
    return length;
}

const ReplaySummary& ReplayReader::summary() {
    if (hasSummary) return summaryData;
    hasSummary = true;
    // Read it all, then put the reader back where it was.
    size_t savedCurrent = current, savedAt = at, savedPendingAt = pendingAt;
    bool savedLoaded = loaded, savedDamage = stoppedOnDamage;
    std::string savedPayload = payload;
    std::vector<ReplayRecord> savedPending = pending;
    SummaryBuilder builder(head.fragLimit);
    seek(0);
    ReplayRecord r;
    while (next(&r)) builder.add(r);
    summaryData = builder.summary();
    current = savedCurrent, at = savedAt, pendingAt = savedPendingAt;
    loaded = savedLoaded, stoppedOnDamage = savedDamage;
    payload.swap(savedPayload);
    pending.swap(savedPending);
    return summaryData;
}

void ReplayReader::seek(uint32_t ms) {
    pending.clear();
    pendingAt = 0;
    loaded = false;
    stoppedOnDamage = false;
    at = 0;
    // The last keyframe at or before `ms`, then the chunks after it.
    size_t from = size_t(std::upper_bound(entries.begin(), entries.end(), ms,
                                          [](uint32_t t, const IndexEntry& e) {
                                              return t < e.timeMs;
                                          }) -
                         entries.begin());
    size_t key = from;
    while (key > 0 && !entries[key - 1].keyframe) --key;
    // The state: one record per present player, `where` says which.
    int where[256];
    for (int& w : where) w = -1;
    auto apply = [&](const ReplayRecord& r) {
        int& w = where[r.player];
        if (r.flags & RECORD_GONE) {
            if (w >= 0) pending[size_t(w)].flags = RECORD_GONE;  // dropped below
            w = -1;
        } else if (w >= 0) {
            pending[size_t(w)] = r;
        } else {
            w = int(pending.size());
            pending.push_back(r);
        }
    };
    auto compact = [&] {
        std::vector<ReplayRecord> kept;
        for (const ReplayRecord& r : pending)
            if (!(r.flags & RECORD_GONE)) kept.push_back(r);
        pending.swap(kept);
        for (int& w : where) w = -1;
        for (size_t i = 0; i < pending.size(); ++i) where[pending[i].player] = int(i);
    };
    current = 0;
    if (key > 0 && loadEntry(key - 1)) {
        size_t offset = 0;
        ReplayRecord r;
        while (readRecord(payload, &offset, &r)) {
            r.flags = 0;
            apply(r);
        }
    }
    current = key;
    // Records before `ms` only bring the state up to date.
    for (; current < entries.size(); ++current) {
        if (entries[current].keyframe) continue;
        if (entries[current].timeMs >= ms) break;
        if (!loadEntry(current)) {
            stoppedOnDamage = true;
            current = entries.size();
            break;
        }
        size_t offset = 0, before = 0;
        ReplayRecord r;
        bool reached = false;
        while (readRecord(payload, &offset, &r)) {
            if (r.timeMs >= ms) {
                reached = true;
                break;
            }
            before = offset;
            apply(r);
            if (pending.size() > 512) compact();  // players leaving and coming back
        }
        if (reached) {
            loaded = true;
            at = before;
            break;
        }
    }
    compact();
    std::sort(pending.begin(), pending.end(),
              [](const ReplayRecord& a, const ReplayRecord& b) { return a.player < b.player; });
    for (ReplayRecord& r : pending) r.flags = RECORD_KEYFRAME;
}

bool ReplayReader::next(ReplayRecord* record) {
    if (pendingAt < pending.size()) {
        *record = pending[pendingAt++];
        return true;
    }
    for (;;) {
        if (loaded) {
            if (readRecord(payload, &at, record)) return true;
            loaded = false;
            if (at != payload.size()) {  // a malformed record inside a good chunk
                stoppedOnDamage = true;
                current = entries.size();
                return false;
            }
            ++current;
        }
        while (current < entries.size() && entries[current].keyframe) ++current;
        if (current >= entries.size()) return false;
        if (!loadEntry(current)) {
            stoppedOnDamage = true;
            current = entries.size();
            return false;
        }
        loaded = true;
        at = 0;
    }
}

}  // namespace replay
