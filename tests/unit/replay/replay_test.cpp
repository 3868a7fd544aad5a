// Replay files through the real writer and reader: what goes in comes out
// (less the repeats), seeking lands on the right state, a file cut anywhere or
// damaged anywhere reads a prefix of what was written, and a folder keeps its
// newest recordings.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "replay/folder.h"
#include "replay/reader.h"
#include "replay/writer.h"

using namespace replay;

namespace {

// A folder of its own for one test, removed with everything in it at the end.
struct TempFolder {
    explicit TempFolder(const char* name)
        : path(std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
               "/replay_test_" + name + "_" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed())) {
        remove();
        platform::makeFolder(path.c_str());
    }
    ~TempFolder() { remove(); }
    void remove() { std::system(("rm -rf '" + path + "'").c_str()); }
    operator const std::string&() const { return path; }
    std::string operator+(const char* tail) const { return path + tail; }
    const char* c_str() const { return path.c_str(); }
    std::string path;
};

std::string state(const char* id, const char* name, float x, int frags, int dead,
                  const char* killer) {
    char text[512];
    std::snprintf(text, sizeof text,
                  "%s %s 1 %f -2.250000 90.000000 4 %d %d %s 0 0.000000 0.000000 0.000000 "
                  "0.000000 0.000000 0.000000",
                  id, name, double(x), frags, dead, killer);
    return text;
}

struct Written {
    uint32_t timeMs;
    uint8_t player;
    bool gone;
    std::string text;
};

// A small match: three players over 23 s, one standing still (its repeats
// are not kept), Bob killing Cy twice and reaching the frag limit of 2, Cy
// leaving; every state from the writer's point of view.
std::vector<Written> playMatch(ReplayWriter& w) {
    std::vector<Written> kept;
    const char* ids[] = {"100127.0.0.1", "200127.0.0.1", "300127.0.0.1"};
    const char* names[] = {"Ace", "Bob", "Cy"};
    int bobFrags = 0;
    for (uint32_t t = 0; t < 23000; t += 100) {
        for (uint8_t p = 0; p < 3; ++p) {
            if (p == 2 && t >= 20000) {
                if (t == 20000) {
                    w.recordGone(t, p);
                    kept.push_back({t, p, true, ""});
                }
                continue;
            }
            bool cyDead = p == 2 && ((t >= 3000 && t < 4000) || (t >= 9000 && t < 10000));
            if (p == 1 && (t == 3100 || t == 9100)) ++bobFrags;
            if (p == 1 && t == 16000) bobFrags = 0;  // the next round
            float x = p == 0 ? 1.0f : float(t) / 1000.0f;  // Ace stands still
            std::string s = state(ids[p], names[p], x, p == 1 ? bobFrags : 0, cyDead ? 1 : 0,
                                  cyDead ? ids[1] : "0");
            w.record(t, p, s.c_str());
            if (p != 0 || t == 0) kept.push_back({t, p, false, s});
        }
    }
    return kept;
}

std::string writeMatch(const std::string& folder, std::vector<Written>* kept) {
    ReplayWriter w;
    EXPECT_TRUE(w.open(folder.c_str(), "hall", "Ace", 2));
    *kept = playMatch(w);
    w.close();
    std::string failure;
    EXPECT_FALSE(w.takeFailure(&failure)) << failure;
    EXPECT_EQ(w.keptCount(), kept->size());
    return w.finishedPath();
}

std::vector<ReplayRecord> readAll(ReplayReader& r) {
    std::vector<ReplayRecord> out;
    ReplayRecord rec;
    while (r.next(&rec)) out.push_back(rec);
    return out;
}

std::string fileBytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(platform::readWholeFile(path.c_str(), &bytes));
    return bytes;
}

bool sameRecord(const ReplayRecord& r, const Written& w) {
    return r.timeMs == w.timeMs && r.player == w.player &&
           ((r.flags & RECORD_GONE) != 0) == w.gone && r.text == w.text;
}

}  // namespace

TEST(ReplayFile, RoundTripKeepsEveryChangedStateAndSumsUpTheMatch) {
    TempFolder folder("roundtrip");
    std::vector<Written> kept;
    std::string path = writeMatch(folder, &kept);
    ASSERT_FALSE(path.empty());
    std::vector<RecordingFile> listed = listRecordings(folder.c_str());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].finished);

    ReplayReader r;
    ASSERT_TRUE(r.open(path.c_str()));
    EXPECT_TRUE(r.finished());
    EXPECT_STREQ(r.header().mapName, "hall");
    EXPECT_STREQ(r.header().recordedBy, "Ace");
    EXPECT_EQ(r.header().fragLimit, 2);
    EXPECT_EQ(r.lengthMs(), 22900u);
    std::vector<ReplayRecord> got = readAll(r);
    ASSERT_EQ(got.size(), kept.size());
    for (size_t i = 0; i < got.size(); ++i) ASSERT_TRUE(sameRecord(got[i], kept[i])) << i;
    EXPECT_FALSE(r.damaged());

    const ReplaySummary& s = r.summary();
    ASSERT_EQ(s.players.size(), 3u);
    EXPECT_STREQ(s.players[1].name, "Bob");
    EXPECT_EQ(s.players[2].lastMs, 20000u);
    ASSERT_EQ(s.kills.size(), 2u);
    EXPECT_EQ(s.kills[0].timeMs, 3000u);
    EXPECT_EQ(s.kills[1].timeMs, 9000u);
    EXPECT_EQ(s.kills[0].victim, 2);
    EXPECT_EQ(s.kills[0].killer, 1);
    ASSERT_EQ(s.rounds.size(), 2u);
    EXPECT_TRUE(s.rounds[0].ended);
    EXPECT_EQ(s.rounds[0].endMs, 9100u);
    EXPECT_EQ(s.rounds[0].winner, 1);
    EXPECT_FALSE(s.rounds[1].ended);
    EXPECT_EQ(s.rounds[1].startMs, 16000u);

    // The same summary when it has to be rebuilt from the records: the file
    // without its index and summary (a recording cut short after its data).
    std::string bytes = fileBytes(path);
    ReplayReader partial;
    size_t dataEnd = size_t(r.chunks().back().offset);
    ASSERT_TRUE(partial.openMemory(reinterpret_cast<const uint8_t*>(bytes.data()), dataEnd));
    EXPECT_FALSE(partial.finished());
    EXPECT_EQ(partial.summary().kills.size(), 2u);
    EXPECT_EQ(partial.summary().rounds.size(), 2u);

    // Seeking: the state of every present player at that time, then the
    // records from there on, the same as reading from the start.
    for (uint32_t at : {0u, 1u, 4999u, 5000u, 5050u, 12345u, 20000u, 20050u, 22900u, 60000u}) {
        r.seek(at);
        std::map<uint8_t, std::string> expected;
        size_t first = 0;
        while (first < kept.size() && kept[first].timeMs < at) {
            if (kept[first].gone) expected.erase(kept[first].player);
            else expected[kept[first].player] = kept[first].text;
            ++first;
        }
        std::vector<ReplayRecord> after = readAll(r);
        size_t k = 0;
        std::map<uint8_t, std::string> state;
        for (; k < after.size() && (after[k].flags & RECORD_KEYFRAME); ++k)
            state[after[k].player] = after[k].text;
        EXPECT_EQ(state, expected) << "at " << at;
        ASSERT_EQ(after.size() - k, kept.size() - first) << "at " << at;
        for (size_t i = k; i < after.size(); ++i)
            ASSERT_TRUE(sameRecord(after[i], kept[first + i - k])) << "at " << at;
    }
}

TEST(ReplayFile, CutAnywhereReadsEveryWholeChunkAndNothingElse) {
    TempFolder folder("cut");
    std::vector<Written> kept;
    std::string bytes = fileBytes(writeMatch(folder, &kept));
    // Where each chunk of records ends, and how many records precede that end.
    std::vector<std::pair<size_t, size_t>> ends;
    {
        ReplayReader whole;
        ASSERT_TRUE(whole.openMemory(reinterpret_cast<const uint8_t*>(bytes.data()),
                                     bytes.size()));
        size_t count = 0;
        for (const IndexEntry& e : whole.chunks()) {
            ChunkHeader h;
            ASSERT_TRUE(parseChunkHeader(
                reinterpret_cast<const uint8_t*>(bytes.data()) + e.offset, &h));
            std::string payload;
            ASSERT_TRUE(decodePayload(reinterpret_cast<const uint8_t*>(bytes.data()) + e.offset,
                                      h, reinterpret_cast<const uint8_t*>(bytes.data()) +
                                             e.offset + CHUNK_HEADER_SIZE, &payload));
            if (e.keyframe) continue;
            size_t at = 0;
            ReplayRecord rec;
            while (readRecord(payload, &at, &rec)) ++count;
            ends.push_back({size_t(e.offset) + CHUNK_HEADER_SIZE + h.stored, count});
        }
        ASSERT_EQ(count, kept.size());
        ASSERT_GT(ends.size(), 10u);
    }
    size_t headerEnd = 0;
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        std::string part = bytes.substr(0, cut);
        ReplayReader r;
        bool opened = r.openMemory(reinterpret_cast<const uint8_t*>(part.data()), part.size());
        if (!opened) {
            ASSERT_EQ(headerEnd, 0u) << "a longer cut opened, this one did not: " << cut;
            continue;
        }
        if (headerEnd == 0) headerEnd = cut;
        size_t expected = 0;
        for (const auto& e : ends)
            if (e.first <= cut) expected = e.second;
        r.lengthMs();
        std::vector<ReplayRecord> got = readAll(r);
        ASSERT_EQ(got.size(), expected) << "cut at " << cut << " of " << bytes.size();
        for (size_t i = 0; i < got.size(); ++i) ASSERT_TRUE(sameRecord(got[i], kept[i]));
        EXPECT_LE(r.summary().kills.size(), 2u);
    }
    EXPECT_GT(headerEnd, 8u);
}

TEST(ReplayFile, DamagedOrHostileFilesReadAPrefixOrNotAtAll) {
    TempFolder folder("damage");
    std::vector<Written> kept;
    std::string bytes = fileBytes(writeMatch(folder, &kept));
    // Every byte changed in turn: never a record that was not written.
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string bad = bytes;
        bad[i] = char(bad[i] ^ 0x5A);
        ReplayReader r;
        if (!r.openMemory(reinterpret_cast<const uint8_t*>(bad.data()), bad.size())) continue;
        r.summary();
        r.seek(7000);
        readAll(r);
        r.seek(0);
        std::vector<ReplayRecord> got = readAll(r);
        ASSERT_LE(got.size(), kept.size()) << i;
        for (size_t k = 0; k < got.size(); ++k) ASSERT_TRUE(sameRecord(got[k], kept[k])) << i;
    }

    // Headers that lie: sizes past any limit, versions we do not know, a
    // trailer pointing at itself, and an index whose count overflows.
    auto chunk = [](const char* tag, uint8_t method, uint32_t stored, uint32_t size,
                    const std::string& payload) {
        std::string c(tag, 4);
        c.push_back(char(method));
        c.append(3, '\0');
        putU32(&c, 0);
        putU32(&c, stored);
        putU32(&c, size);
        putU32(&c, crc32(crc32(0, c.data(), 20), payload.data(), payload.size()));
        return c + payload;
    };
    ReplayHeader h;
    std::string good = std::string(FILE_MAGIC, 8);
    good += chunk("HEAD", 0, uint32_t(encodeHeader(h).size()), uint32_t(encodeHeader(h).size()),
                  encodeHeader(h));
    ReplayHeader future;
    future.version = 2;
    std::string hugeIndex;
    putU32(&hugeIndex, 0);
    putU64(&hugeIndex, 0);
    putU32(&hugeIndex, 0xFFFFFFFFu);
    std::string selfTrailer = std::string(TRAILER_MAGIC, 8);
    putU64(&selfTrailer, good.size());
    std::string indexTrailer = std::string(TRAILER_MAGIC, 8);
    putU64(&indexTrailer, good.size());
    const std::string hostile[] = {
        "",
        "BLASTREC",
        "BLASTRE",
        "XLASTREC" + good.substr(8),
        std::string(FILE_MAGIC, 8) + chunk("HEAD", 0, 0xFFFFFFFFu, 0xFFFFFFFFu, ""),
        std::string(FILE_MAGIC, 8) + chunk("HEAD", 1, 10, 0x7FFFFFFFu, "xxxxxxxxxx"),
        std::string(FILE_MAGIC, 8) +
            chunk("HEAD", 0, uint32_t(encodeHeader(future).size()),
                  uint32_t(encodeHeader(future).size()), encodeHeader(future)),
        good + chunk("RECS", 0, 0x00100000u, 0x00100000u, std::string(16, 'x')),
        good + chunk("RECS", 1, 4, 4000000u, "\x78\x9c\x03\x00"),
        good + chunk("RECS", 0, 8, 8, std::string("\0\0\0\0\0\0\xff\xff", 8)),
        good + selfTrailer,
        good + chunk("INDX", 0, uint32_t(hugeIndex.size()), uint32_t(hugeIndex.size()),
                     hugeIndex) + indexTrailer,
    };
    const bool opens[] = {false, false, false, false, false, false, false,
                          true,  true,  true,  true,  true};
    for (size_t i = 0; i < sizeof hostile / sizeof hostile[0]; ++i) {
        ReplayReader r;
        ASSERT_EQ(r.openMemory(reinterpret_cast<const uint8_t*>(hostile[i].data()),
                               hostile[i].size()), opens[i]) << i;
        if (!opens[i]) continue;
        EXPECT_FALSE(r.finished()) << i;
        r.lengthMs();
        EXPECT_TRUE(r.summary().players.empty()) << i;
        EXPECT_TRUE(readAll(r).empty()) << i;
    }
}

TEST(ReplayFolder, AnUnwritableFolderStopsTheRecordingWithOneReport) {
    TempFolder folder("unwritable");
    std::string notAFolder = folder + "/file";
    FILE* f = std::fopen(notAFolder.c_str(), "w");
    ASSERT_TRUE(f);
    std::fclose(f);
    ReplayWriter w;
    ASSERT_TRUE(w.open((notAFolder + "/replays").c_str(), "hall", "Ace"));
    std::string message;
    for (int i = 0; i < 2000 && !w.takeFailure(&message); ++i) {
        w.record(uint32_t(i), 0, std::to_string(i).c_str());
        platform::sleepMs(1);
    }
    EXPECT_NE(message.find("cannot write"), std::string::npos) << message;
    w.record(5000, 0, "after");
    w.close();
    EXPECT_FALSE(w.takeFailure(&message));
    EXPECT_EQ(w.finishedPath(), "");
}

TEST(ReplayFolder, KeepsTheNewestRecordingsAndListsUnfinishedOnes) {
    TempFolder folder("prune");
    std::vector<std::string> names;
    for (int i = 0; i < 33; ++i) {
        std::string name = recordingBaseName(1700000000u + uint64_t(i) * 3600, "hall") +
                           (i == 32 ? UNFINISHED_SUFFIX : FINISHED_SUFFIX);
        FILE* f = std::fopen((folder + "/" + name).c_str(), "w");
        ASSERT_TRUE(f);
        std::fclose(f);
        names.push_back(name);
    }
    FILE* other = std::fopen((folder + "/notes.txt").c_str(), "w");
    std::fclose(other);
    EXPECT_EQ(names[0], "20231114-221320-hall.bvr");
    EXPECT_EQ(pruneRecordings(folder.c_str(), KEEP_RECORDINGS, names[1]), 2u);
    std::vector<RecordingFile> left = listRecordings(folder.c_str());
    ASSERT_EQ(left.size(), 31u);
    EXPECT_EQ(left[0].name, names[32]);
    EXPECT_FALSE(left[0].finished);
    EXPECT_EQ(left.back().name, names[1]);
    EXPECT_TRUE(platform::fileExists((folder + "/notes.txt").c_str()));
}
