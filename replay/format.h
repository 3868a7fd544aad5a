// The replay file, byte for byte (the README walks through an example).
// All numbers are little-endian; texts are bytes without a terminator.
//
//   file    = "BLASTREC" chunk*  [trailer]
//   chunk   = header (24 bytes) + payload
//     0  4  tag      "HEAD" header, "RECS" records, "KEYF" keyframe,
//                    "SUMM" summary, "INDX" index
//     4  1  method   0 stored, 1 zlib (the payload is one zlib stream)
//     5  3  zero
//     8  4  timeMs   RECS: time of its first record; KEYF: the keyframe's
//                    time; otherwise 0
//    12  4  stored   payload bytes in the file (at most MAX_STORED)
//    16  4  size     payload bytes once inflated (at most MAX_INFLATED)
//    20  4  crc      CRC-32 (zlib's) of header bytes 0-19, then the stored payload
//   trailer = "BLASTIDX" + u64 offset of the INDX chunk: the last 16 bytes
//
// A file is read chunk by chunk: a chunk cut short or failing its CRC ends the
// readable part, so a file cut anywhere reads up to its last whole chunk.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/protocol.h"

namespace replay {

constexpr char FILE_MAGIC[8] = {'B', 'L', 'A', 'S', 'T', 'R', 'E', 'C'};
constexpr char TRAILER_MAGIC[8] = {'B', 'L', 'A', 'S', 'T', 'I', 'D', 'X'};
constexpr uint16_t FORMAT_VERSION = 1;
constexpr size_t CHUNK_HEADER_SIZE = 24;
constexpr size_t TRAILER_SIZE = 16;
constexpr uint32_t MAX_STORED = 1u << 20;
constexpr uint32_t MAX_INFLATED = 4u << 20;

// A new RECS chunk starts after this span or this many raw bytes, so a
// killed program loses about a second; a keyframe (the latest state of every
// present player) is written at every multiple of the interval.
constexpr uint32_t CHUNK_SPAN_MS = 1000;
constexpr size_t CHUNK_TARGET_BYTES = 64 * 1024;
constexpr uint32_t KEYFRAME_INTERVAL_MS = 5000;

// A state's text as on the wire, without its checksum suffix.
constexpr size_t MAX_STATE_LENGTH = protocol::NET_BUFFER_SIZE - 1;
constexpr size_t MAX_HEADER_TEXT = 63;  // map name, recorded-by

enum RecordFlags : uint8_t {
    RECORD_GONE = 1,      // the player left; the text is empty
    RECORD_KEYFRAME = 2,  // reader output only: part of the state at a seek
};

// One record: u32 timeMs, u8 player, u8 flags, u16 length, then the text.
constexpr size_t RECORD_HEADER_SIZE = 8;

struct ReplayRecord {
    uint32_t timeMs = 0;  // since the recording began
    uint8_t player = 0;   // server slot, or the recorder's own player number
    uint8_t flags = 0;
    uint16_t length = 0;
    char text[MAX_STATE_LENGTH + 1] = "";  // zero-terminated
};

// The HEAD chunk's payload (always stored):
//   u16 version, u32 keyframe interval ms, u64 start time (seconds since
//   1970-01-01 UTC), u32 frag limit (0: unknown), map name, recorded by
// (each text a u8 length and its bytes).
struct ReplayHeader {
    uint16_t version = FORMAT_VERSION;
    uint32_t keyframeIntervalMs = KEYFRAME_INTERVAL_MS;
    uint64_t startTime = 0;
    int32_t fragLimit = 0;
    char mapName[MAX_HEADER_TEXT + 1] = "";
    char recordedBy[MAX_HEADER_TEXT + 1] = "";
};

std::string encodeHeader(const ReplayHeader& header);
// False for another version or anything malformed.
bool decodeHeader(const std::string& payload, ReplayHeader* header);

enum class ChunkTag : uint8_t { Head, Records, Keyframe, Summary, Index, Unknown };

struct ChunkHeader {
    ChunkTag tag = ChunkTag::Unknown;
    uint8_t method = 0;
    uint32_t timeMs = 0;
    uint32_t stored = 0;
    uint32_t size = 0;
    uint32_t crc = 0;
};

uint32_t crc32(uint32_t crc, const void* data, size_t length);

// Little-endian appends and reads.
void putU16(std::string* out, uint16_t v);
void putU32(std::string* out, uint32_t v);
void putU64(std::string* out, uint64_t v);
uint32_t getU32(const uint8_t* p);
uint64_t getU64(const uint8_t* p);

// A short text: u8 length, then the bytes (cut to MAX_HEADER_TEXT).
void putShortText(std::string* out, const char* text);

// Appends a whole chunk; `compress` deflates the payload when that is smaller.
void appendChunk(std::string* out, ChunkTag tag, uint32_t timeMs, const std::string& payload,
                 bool compress);

// Reads a header's fields; false for an unknown tag or method, nonzero padding
// or lengths beyond the limits.
bool parseChunkHeader(const uint8_t* bytes, ChunkHeader* header);
// Checks the CRC over the 24 header bytes and the stored payload, and inflates
// it to exactly `header.size` bytes. False on any mismatch.
bool decodePayload(const uint8_t* headerBytes, const ChunkHeader& header, const uint8_t* stored,
                   std::string* payload);

void appendRecord(std::string* out, const ReplayRecord& record);
// The record at `*offset` of a decoded payload; advances past it. False at
// the end, or when the record is malformed (too long, a zero byte, cut short).
bool readRecord(const std::string& payload, size_t* offset, ReplayRecord* record);

// A bounded reader over a decoded payload: every get fails past the end.
class Cursor {
public:
    Cursor(const std::string& bytes, size_t offset = 0) : data(bytes), at(offset) {}
    bool u8(uint8_t* v);
    bool u16(uint16_t* v);
    bool u32(uint32_t* v);
    bool u64(uint64_t* v);
    // u8 length, bytes: into a zero-terminated buffer of `size`; a zero byte or
    // a length that does not fit fails.
    bool shortText(char* out, size_t size);
    size_t left() const { return data.size() - at; }

private:
    const std::string& data;
    size_t at;
};

}  // namespace replay
