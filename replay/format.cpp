#include "replay/format.h"

#include <cstring>
#include <zlib.h>

namespace replay {

namespace {

const char* const TAGS[] = {"HEAD", "RECS", "KEYF", "SUMM", "INDX"};

uint32_t crcTable[256];
bool crcTableMade = [] {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crcTable[n] = c;
    }
    return true;
}();

}  // namespace

// The same CRC-32 as zlib's crc32() and Python's zlib.crc32().
uint32_t crc32(uint32_t crc, const void* data, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    crc = ~crc;
    for (size_t i = 0; i < length; ++i) crc = crcTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putU16(std::string* out, uint16_t v) {
    out->push_back(char(v & 0xFF));
    out->push_back(char(v >> 8));
}
void putU32(std::string* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out->push_back(char((v >> (8 * i)) & 0xFF));
}
void putU64(std::string* out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out->push_back(char((v >> (8 * i)) & 0xFF));
}
uint32_t getU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t getU64(const uint8_t* p) { return uint64_t(getU32(p)) | uint64_t(getU32(p + 4)) << 32; }

void putShortText(std::string* out, const char* text) {
    size_t n = strnlen(text, MAX_HEADER_TEXT);
    out->push_back(char(n));
    out->append(text, n);
}

void appendChunk(std::string* out, ChunkTag tag, uint32_t timeMs, const std::string& payload,
                 bool compress) {
    std::string packed;
    uint8_t method = 0;
    if (compress && !payload.empty()) {
        uLongf length = compressBound(uLong(payload.size()));
        packed.resize(length);
        if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &length,
                      reinterpret_cast<const Bytef*>(payload.data()), uLong(payload.size()),
                      6) == Z_OK &&
            length < payload.size()) {
            packed.resize(length);
            method = 1;
        }
    }
    const std::string& stored = method ? packed : payload;
    size_t start = out->size();
    out->append(TAGS[int(tag)], 4);
    out->push_back(char(method));
    out->append(3, '\0');
    putU32(out, timeMs);
    putU32(out, uint32_t(stored.size()));
    putU32(out, uint32_t(payload.size()));
    uint32_t crc = crc32(0, out->data() + start, 20);
    crc = crc32(crc, stored.data(), stored.size());
    putU32(out, crc);
    out->append(stored);
}

bool parseChunkHeader(const uint8_t* b, ChunkHeader* h) {
    h->tag = ChunkTag::Unknown;
    for (int i = 0; i < 5; ++i)
        if (std::memcmp(b, TAGS[i], 4) == 0) h->tag = ChunkTag(i);
    h->method = b[4];
    h->timeMs = getU32(b + 8);
    h->stored = getU32(b + 12);
    h->size = getU32(b + 16);
    h->crc = getU32(b + 20);
    if (h->tag == ChunkTag::Unknown || h->method > 1 || b[5] || b[6] || b[7]) return false;
    if (h->stored > MAX_STORED || h->size > MAX_INFLATED) return false;
    // Deflate shrinks at most about 1032 to 1: a size beyond that is a lie,
    // refused before anything is allocated for it.
    if (h->method == 1) return uint64_t(h->size) <= uint64_t(h->stored) * 1032 + 64;
    return h->stored == h->size;
}

bool decodePayload(const uint8_t* headerBytes, const ChunkHeader& h, const uint8_t* stored,
                   std::string* payload) {
    uint32_t crc = crc32(crc32(0, headerBytes, 20), stored, h.stored);
    if (crc != h.crc) return false;
    if (h.method == 0) {
        payload->assign(reinterpret_cast<const char*>(stored), h.stored);
        return true;
    }
    payload->resize(h.size);
    uLongf length = h.size;
    // The output is bounded by the size the header gives, itself bounded.
    int status = uncompress(reinterpret_cast<Bytef*>(h.size ? &(*payload)[0] : nullptr),
                            &length, stored, h.stored);
    if (status != Z_OK || length != h.size) {
        payload->clear();
        return false;
    }
    return true;
}

void appendRecord(std::string* out, const ReplayRecord& r) {
    putU32(out, r.timeMs);
    out->push_back(char(r.player));
    out->push_back(char(r.flags & RECORD_GONE));
    putU16(out, r.length);
    out->append(r.text, r.length);
}

bool readRecord(const std::string& payload, size_t* offset, ReplayRecord* r) {
    if (payload.size() - *offset < RECORD_HEADER_SIZE) return false;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(payload.data()) + *offset;
    r->timeMs = getU32(p);
    r->player = p[4];
    r->flags = p[5];
    r->length = uint16_t(p[6] | p[7] << 8);
    if (r->flags & ~RECORD_GONE) return false;
    if (r->length > MAX_STATE_LENGTH) return false;
    if (payload.size() - *offset - RECORD_HEADER_SIZE < r->length) return false;
    if (std::memchr(p + RECORD_HEADER_SIZE, 0, r->length)) return false;
    std::memcpy(r->text, p + RECORD_HEADER_SIZE, r->length);
    r->text[r->length] = '\0';
    *offset += RECORD_HEADER_SIZE + r->length;
    return true;
}

std::string encodeHeader(const ReplayHeader& h) {
    std::string out;
    putU16(&out, h.version);
    putU32(&out, h.keyframeIntervalMs);
    putU64(&out, h.startTime);
    putU32(&out, uint32_t(h.fragLimit));
    putShortText(&out, h.mapName);
    putShortText(&out, h.recordedBy);
    return out;
}

bool decodeHeader(const std::string& payload, ReplayHeader* h) {
    Cursor in(payload);
    uint32_t fragLimit = 0;
    if (!in.u16(&h->version) || h->version != FORMAT_VERSION) return false;
    if (!in.u32(&h->keyframeIntervalMs) || h->keyframeIntervalMs == 0) return false;
    if (!in.u64(&h->startTime) || !in.u32(&fragLimit)) return false;
    h->fragLimit = int32_t(fragLimit);
    return in.shortText(h->mapName, sizeof h->mapName) &&
           in.shortText(h->recordedBy, sizeof h->recordedBy) && in.left() == 0;
}

bool Cursor::u8(uint8_t* v) {
    if (left() < 1) return false;
    *v = uint8_t(data[at++]);
    return true;
}
bool Cursor::u16(uint16_t* v) {
    if (left() < 2) return false;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data.data()) + at;
    *v = uint16_t(p[0] | p[1] << 8);
    at += 2;
    return true;
}
bool Cursor::u32(uint32_t* v) {
    if (left() < 4) return false;
    *v = getU32(reinterpret_cast<const uint8_t*>(data.data()) + at);
    at += 4;
    return true;
}
bool Cursor::u64(uint64_t* v) {
    if (left() < 8) return false;
    *v = getU64(reinterpret_cast<const uint8_t*>(data.data()) + at);
    at += 8;
    return true;
}
bool Cursor::shortText(char* out, size_t size) {
    uint8_t n = 0;
    if (!u8(&n) || n >= size || left() < n) return false;
    if (std::memchr(data.data() + at, 0, n)) return false;
    std::memcpy(out, data.data() + at, n);
    out[n] = '\0';
    at += n;
    return true;
}

}  // namespace replay
