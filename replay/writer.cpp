#include "replay/writer.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/text.h"
#include "replay/folder.h"
#include "replay/index.h"
#include "replay/summary.h"

namespace replay {

struct ReplayWriter::Disk {
    std::string folder;
    ReplayHeader header;
    size_t keepNewest = 0;

    FILE* file = nullptr;
    std::string tempPath, finalPath;
    uint64_t offset = 0;
    std::vector<IndexEntry> index;

    std::string chunk;  // raw records of the RECS chunk being filled
    uint32_t chunkTime = 0;
    uint32_t chunkOpenedAt = 0;  // wall clock, so a quiet match still writes
    uint32_t lastTime = 0;
    uint32_t nextKeyframe = 0;
    ReplayRecord latest[256];
    bool present[256] = {};
    SummaryBuilder summary{0};

    bool write(ChunkTag tag, uint32_t timeMs, const std::string& payload, bool compress) {
        std::string bytes;
        appendChunk(&bytes, tag, timeMs, payload, compress);
        if (tag == ChunkTag::Records || tag == ChunkTag::Keyframe)
            index.push_back(IndexEntry{tag == ChunkTag::Keyframe, timeMs, offset});
        return writeRaw(bytes);
    }
    bool writeRaw(const std::string& bytes) {
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                  std::fflush(file) == 0;
        offset += bytes.size();
        return ok;
    }
    bool flushChunk() {
        if (chunk.empty()) return true;
        bool ok = write(ChunkTag::Records, chunkTime, chunk, true);
        chunk.clear();
        return ok;
    }
    bool keyframe(uint32_t at) {
        std::string payload;
        for (int p = 0; p < 256; ++p)
            if (present[p]) appendRecord(&payload, latest[p]);
        return write(ChunkTag::Keyframe, at, payload, true);
    }
    bool add(ReplayRecord& r) {
        if (r.timeMs < lastTime) r.timeMs = lastTime;
        lastTime = r.timeMs;
        if (r.timeMs >= nextKeyframe) {
            uint32_t interval = header.keyframeIntervalMs;
            uint32_t at = r.timeMs - r.timeMs % interval;
            if (!flushChunk() || !keyframe(at)) return false;
            nextKeyframe = at + interval;
        }
        if (chunk.empty()) {
            chunkTime = r.timeMs;
            chunkOpenedAt = platform::timeGetTime();
        }
        appendRecord(&chunk, r);
        if (r.flags & RECORD_GONE) {
            present[r.player] = false;
        } else {
            present[r.player] = true;
            latest[r.player] = r;
        }
        summary.add(r);
        if (chunk.size() >= CHUNK_TARGET_BYTES || r.timeMs - chunkTime >= CHUNK_SPAN_MS)
            return flushChunk();
        return true;
    }
};

ReplayWriter::ReplayWriter()
    : lastKept(new std::string[256]), present(new bool[256]()) {}

ReplayWriter::~ReplayWriter() { close(); }

bool ReplayWriter::open(const char* folder, const char* mapName, const char* recordedBy,
                        int32_t fragLimit, size_t keepNewest) {
    if (opened) return false;
    disk.reset(new Disk);
    disk->folder = folder;
    disk->header.startTime = uint64_t(std::time(nullptr));
    disk->header.fragLimit = fragLimit;
    platform::copyText(disk->header.mapName, mapName);
    platform::copyText(disk->header.recordedBy, recordedBy);
    disk->summary = SummaryBuilder(fragLimit);
    disk->keepNewest = keepNewest;
    for (int p = 0; p < 256; ++p) {
        lastKept[p].clear();
        present[p] = false;
    }
    kept = duplicates = 0;
    failed.store(false);
    {
        platform::Lock hold(lock);
        queue.clear();
        closing = false;
        failure.clear();
        failureTaken = false;
        finished.clear();
    }
    if (!thread.start([this] { writeLoop(); })) return false;
    opened = true;
    return true;
}

void ReplayWriter::record(uint32_t timeMs, uint8_t player, const char* stateText) {
    if (!opened || failed.load()) return;
    size_t length = strnlen(stateText, MAX_STATE_LENGTH + 1);
    if (length > MAX_STATE_LENGTH) return;  // no datagram is that long
    if (present[player] && lastKept[player].size() == length &&
        std::memcmp(lastKept[player].data(), stateText, length) == 0) {
        ++duplicates;
        return;
    }
    present[player] = true;
    lastKept[player].assign(stateText, length);
    ReplayRecord r;
    r.timeMs = timeMs;
    r.player = player;
    r.length = uint16_t(length);
    std::memcpy(r.text, stateText, length);
    enqueue(r);
}

void ReplayWriter::recordGone(uint32_t timeMs, uint8_t player) {
    if (!opened || failed.load() || !present[player]) return;
    present[player] = false;
    lastKept[player].clear();
    ReplayRecord r;
    r.timeMs = timeMs;
    r.player = player;
    r.flags = RECORD_GONE;
    enqueue(r);
}

void ReplayWriter::enqueue(const ReplayRecord& r) {
    bool full;
    {
        platform::Lock hold(lock);
        full = queue.size() + RECORD_HEADER_SIZE + r.length > MAX_QUEUED_BYTES;
        if (!full) appendRecord(&queue, r);
    }
    if (full) fail("Recording stopped: the disk does not keep up");
    else ++kept;
}

void ReplayWriter::fail(const std::string& message) {
    platform::Lock hold(lock);
    if (!failed.load()) failure = message;
    failed.store(true);
}

bool ReplayWriter::takeFailure(std::string* message) {
    platform::Lock hold(lock);
    if (!failed.load() || failureTaken) return false;
    failureTaken = true;
    *message = failure;
    return true;
}

void ReplayWriter::close() {
    if (!opened) return;
    {
        platform::Lock hold(lock);
        closing = true;
    }
    thread.join();
    opened = false;
}

std::string ReplayWriter::finishedPath() {
    platform::Lock hold(lock);
    return finished;
}

void ReplayWriter::writeLoop() {
    Disk& d = *disk;
    platform::makeFolder(d.folder.c_str());
    std::string base = d.folder + "/" + recordingBaseName(d.header.startTime, d.header.mapName);
    for (int n = 1; n < 100 && !d.file; ++n) {
        char counter[8];
        std::snprintf(counter, sizeof counter, "-%02d", n);
        std::string name = n == 1 ? base : base + counter;
        d.finalPath = name + FINISHED_SUFFIX;
        d.tempPath = name + UNFINISHED_SUFFIX;
        if (platform::fileExists(d.finalPath.c_str()) || platform::fileExists(d.tempPath.c_str()))
            continue;
        d.file = std::fopen(d.tempPath.c_str(), "wb");
        if (!d.file) break;
    }
    if (!d.file) {
        fail("Recording stopped: cannot write in " + d.folder);
        return;
    }
    bool ok = d.writeRaw(std::string(FILE_MAGIC, sizeof FILE_MAGIC)) &&
              d.write(ChunkTag::Head, 0, encodeHeader(d.header), false);
    std::string taken;
    bool done = false;
    while (ok && !done && !failed.load()) {
        {
            platform::Lock hold(lock);
            taken.swap(queue);
            done = closing;
        }
        size_t at = 0;
        ReplayRecord r;
        while (ok && readRecord(taken, &at, &r)) ok = d.add(r);
        taken.clear();
        if (ok && !d.chunk.empty() &&
            platform::timeGetTime() - d.chunkOpenedAt >= CHUNK_SPAN_MS)
            ok = d.flushChunk();
        if (!done) platform::sleepMs(20);
    }
    if (ok && done) {
        uint64_t summaryAt = 0;
        ok = d.flushChunk();
        if (ok) {
            summaryAt = d.offset;
            ok = d.write(ChunkTag::Summary, 0, encodeSummary(d.summary.summary()), true);
        }
        uint64_t indexAt = d.offset;
        ok = ok && d.write(ChunkTag::Index, 0,
                           encodeIndex(d.summary.summary().lengthMs, summaryAt, d.index), true);
        std::string trailer(TRAILER_MAGIC, sizeof TRAILER_MAGIC);
        putU64(&trailer, indexAt);
        ok = ok && d.writeRaw(trailer);
    }
    ok = std::fclose(d.file) == 0 && ok;
    d.file = nullptr;
    if (!ok) {
        fail("Recording stopped: cannot write " + d.tempPath);
        return;
    }
    if (!done) return;  // stopped by a failure already reported
    if (std::rename(d.tempPath.c_str(), d.finalPath.c_str()) != 0) {
        fail("Recording stopped: cannot rename " + d.tempPath);
        return;
    }
    if (d.keepNewest > 0)
        pruneRecordings(d.folder.c_str(), d.keepNewest,
                        d.finalPath.substr(d.finalPath.find_last_of('/') + 1));
    platform::Lock hold(lock);
    finished = d.finalPath;
}

}  // namespace replay
