// The server's recordings for operators, through its relay step on a clock the
// test drives: a file from the first join until the last slot is freed, a new
// one each hour that opens with every player's latest state, the same console
// lines as without recording, and one line on standard error when the folder
// cannot be written.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "replay/folder.h"
#include "replay/reader.h"
#include "server/server.h"

using namespace protocol;

namespace {
std::atomic<uint32_t> fakeNow{0};  // the writer's thread reads it too
uint32_t fakeClock() { return fakeNow.load(); }

std::string withSum(const std::string& text) {
    char buf[NET_BUFFER_SIZE + 8];
    std::memcpy(buf, text.c_str(), text.size() + 1);
    return std::string(buf, appendChecksum(buf, text.size(), sizeof buf));
}

std::string state(const std::string& id, const std::string& name, int frame) {
    return id + " " + name + " 0 1.000000 2.000000 3.000000 " + std::to_string(frame) +
           " 0 0 0 0 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000";
}

class ServerRecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::string("/tmp/server_recording_") + std::to_string(std::rand());
        std::system(("rm -rf " + folder).c_str());
        fakeNow = 5000;
        platform::setClockSource(fakeClock);
        console = std::tmpfile();
    }
    void TearDown() override {
        delete server;
        std::fclose(console);
        platform::setClockSource(nullptr);
        unsetenv("BLASTAVIA_RECORD");
        std::system(("rm -rf " + folder).c_str());
    }
    void start(const std::string& recordTo) {
        setenv("BLASTAVIA_RECORD", recordTo.c_str(), 1);
        server = new Server("hall", "8", "20", console);
    }
    void send(uint16_t port, const std::string& datagram) {
        char buf[NET_BUFFER_SIZE + 1];
        std::memcpy(buf, datagram.data(), datagram.size());
        platform::NetAddress a;
        a.ip = 0x0100007f;
        a.port = port;
        // Every player here joined over the lobby first (a pass a known
        // player does not use is simply left to expire).
        server->admitJoin(a.ip);
        server->handleDatagram(a, buf, datagram.size());
    }
    std::vector<replay::RecordingFile> waitForFiles(size_t count) {
        std::vector<replay::RecordingFile> files;
        for (int i = 0; i < 500; ++i) {
            files = replay::listRecordings(folder.c_str());
            if (files.size() >= count) break;
            platform::sleepMs(10);
        }
        return files;
    }
    std::string consoleText() {
        std::fflush(console);
        std::rewind(console);
        std::string all;
        char chunk[256];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, console)) > 0) all.append(chunk, n);
        return all;
    }

    std::string folder;
    FILE* console = nullptr;
    Server* server = nullptr;
};
}  // namespace

TEST_F(ServerRecordingTest, OneFileFromTheFirstJoinToTheLastLeaveAndANewOneEachHour) {
    start(folder);
    EXPECT_TRUE(replay::listRecordings(folder.c_str()).empty());
    send(4001, withSum(state("1127.0.0.1", "Ace", 0)));
    fakeNow += 20;
    send(4002, withSum(state("2127.0.0.1", "Bob", 0)));
    // An hour of play, every state of Ace a new one; Bob repeats himself.
    for (int k = 1; k <= 3600 * 5; ++k) {
        fakeNow += 200;
        send(4001, withSum(state("1127.0.0.1", "Ace", k)));
        send(4002, withSum(state("2127.0.0.1", "Bob", 0)));
    }
    // The writer's own thread makes the new file.
    std::vector<replay::RecordingFile> files = waitForFiles(2);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_FALSE(files[0].finished);  // the second hour, being written
    EXPECT_TRUE(files[1].finished);

    // Both go quiet; datagrams that fail their checksum free them one by one.
    fakeNow += 1500;
    send(5000, "x+1 ");
    send(5000, "x+1 ");
    files = replay::listRecordings(folder.c_str());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_TRUE(files[0].finished);
    EXPECT_EQ(consoleText(),
              "New Client:  Ace \nNew Client:  Bob \nAce has disconnected \n"
              "Bob has disconnected \n");

    replay::ReplayReader first, second;
    ASSERT_TRUE(first.open((folder + "/" + files[1].name).c_str()));
    ASSERT_TRUE(second.open((folder + "/" + files[0].name).c_str()));
    EXPECT_STREQ(first.header().mapName, "hall");
    EXPECT_STREQ(first.header().recordedBy, "server");
    EXPECT_EQ(first.header().fragLimit, 20);
    ASSERT_EQ(first.summary().players.size(), 2u);
    EXPECT_GE(first.lengthMs(), RECORDING_SPAN_MS - 200);
    // The second file starts with both players as they were.
    replay::ReplayRecord r;
    ASSERT_TRUE(second.next(&r));
    EXPECT_EQ(r.timeMs, 0u);
    std::vector<replay::ReplayRecord> all{r};
    while (second.next(&r)) all.push_back(r);
    ASSERT_GE(all.size(), 4u);
    EXPECT_EQ(std::string(all[0].text).substr(0, 14), "1127.0.0.1 Ace");
    EXPECT_EQ(all[1].timeMs, 0u);
    EXPECT_EQ(std::string(all[1].text).substr(0, 14), "2127.0.0.1 Bob");
    EXPECT_EQ(all[all.size() - 2].flags, replay::RECORD_GONE);
    EXPECT_EQ(all.back().flags, replay::RECORD_GONE);
    EXPECT_EQ(first.summary().players.size() + second.summary().players.size(), 4u);

    // A new match, a new file.
    send(4003, withSum(state("3127.0.0.1", "Cy", 0)));
    EXPECT_EQ(waitForFiles(3).size(), 3u);
}

TEST_F(ServerRecordingTest, AFolderThatCannotBeWrittenIsReportedOnceOnStandardError) {
    std::string notAFolder = folder + "-file";
    FILE* f = std::fopen(notAFolder.c_str(), "w");
    ASSERT_TRUE(f);
    std::fclose(f);
    start(notAFolder + "/recordings");
    testing::internal::CaptureStderr();
    for (int k = 0; k < 200; ++k) {
        fakeNow += 20;
        send(4001, withSum(state("1127.0.0.1", "Ace", k)));
        platform::sleepMs(1);
    }
    std::string errors = testing::internal::GetCapturedStderr();
    std::remove(notAFolder.c_str());
    EXPECT_EQ(errors, "Recording stopped: cannot write in " + notAFolder + "/recordings \n");
    EXPECT_EQ(consoleText(), "New Client:  Ace \n");
}
