// The staged server's discovery port over real sockets, in a private network
// namespace: asked directly and by broadcast it answers with its match; junk,
// short and oversized queries get nothing; a flood gets a few replies; and
// none of it shows on the console or disturbs joining.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "client/net/server_browser.h"
#include "platform/clock.h"
#include "protocol/discovery.h"
#include "protocol/protocol.h"
#include "server_process.h"

using namespace protocol;

namespace {
std::unique_ptr<ServerProcess> startServer(const std::vector<std::string>& args) {
    std::unique_ptr<ServerProcess> server(new ServerProcess);
    EXPECT_TRUE(server->start(args));
    EXPECT_EQ(server->readLine(STARTUP_MS), "Server started \n");
    return server;
}

platform::NetAddress discoveryAt(const char* dotted) {
    platform::NetAddress a;
    platform::parseDottedQuad(dotted, &a);
    a.port = DISCOVERY_PORT;
    return a;
}

struct RawSocket {
    platform::Socket s = platform::udpSocket();
    RawSocket() { platform::setBroadcast(s); }
    ~RawSocket() { platform::closeSocket(s); }
    void send(const std::vector<uint8_t>& bytes, const char* to = "127.0.0.1") {
        platform::sendTo(s, bytes.data(), bytes.size(), discoveryAt(to));
    }
    // Every datagram until one whose bytes hold `token` at offset 8, or 60 s.
    std::vector<std::vector<uint8_t>> receiveUntilToken(uint32_t token) {
        std::vector<std::vector<uint8_t>> got;
        uint32_t start = platform::timeGetTime();
        while (platform::timeGetTime() - start < 60000) {
            if (platform::waitReadable(&s, 1, 200) != 1) continue;
            uint8_t buf[NET_BUFFER_SIZE];
            long n = platform::receiveFrom(s, buf, sizeof buf, nullptr);
            if (n < 0) continue;
            got.emplace_back(buf, buf + n);
            DiscoveryReply r;
            if (decodeDiscoveryReply(buf, size_t(n), &r) && r.token == token) break;
        }
        return got;
    }
};

std::vector<uint8_t> query(uint32_t token) {
    std::vector<uint8_t> q(DISCOVERY_QUERY_SIZE);
    encodeDiscoveryQuery(token, q.data(), q.size());
    return q;
}

// Polls the browser until it lists a server, or 60 s pass.
bool browseUntilFound(ServerBrowser& browser) {
    uint32_t start = platform::timeGetTime();
    while (platform::timeGetTime() - start < 60000) {
        browser.poll(platform::timeGetTime());
        if (browser.count() > 0) return true;
        platform::sleepMs(20);
    }
    return false;
}
}  // namespace

TEST(ServerDiscovery, AnswersOneHostAndBroadcastWithItsMatch) {
    auto server = startServer({"duel", "6", "15"});
    for (const char* how : {"direct", "broadcast"}) {
        ServerBrowser browser;
        ASSERT_TRUE(browser.open());
        if (std::string(how) == "direct") browser.setDirectHost("127.0.0.1");
        ASSERT_TRUE(browseUntilFound(browser)) << how;
        ASSERT_EQ(browser.count(), 1u) << how;
        const FoundServer& found = browser.server(0);
        EXPECT_STREQ(found.addressText, "127.0.0.1");
        EXPECT_STREQ(found.mapName, "duel");
        EXPECT_EQ(found.occupied, 0);
        EXPECT_EQ(found.maxPlayers, 6);
        EXPECT_EQ(found.fragLimit, 15);
        EXPECT_LT(found.rttMs, 5000u);
    }
    // A player joining shows in the next answer; the console says only the join.
    UdpClient player;
    player.join();
    player.send(stateDatagram("42127.0.0.1", "Ace"));
    EXPECT_EQ(server->readLine(), "New Client:  Ace \n");
    RawSocket raw;
    raw.send(query(5));
    auto got = raw.receiveUntilToken(5);
    ASSERT_FALSE(got.empty());
    DiscoveryReply r;
    ASSERT_TRUE(decodeDiscoveryReply(got.back().data(), got.back().size(), &r));
    EXPECT_EQ(r.occupied, 1);
    EXPECT_EQ(askLobby(), "duel/duel.bxm 0 15");
}

// A match times its round trip to its own server alone: a probe that does not
// ask the network hears nothing until it is given the server, then it does.
TEST(ServerDiscovery, AMatchsPingProbeAsksItsServerOnly) {
    auto server = startServer({"duel", "6", "15"});
    ServerBrowser probe;
    probe.setAskNetwork(false);
    ASSERT_TRUE(probe.open());
    for (int round = 0; round < 3; ++round) {  // three rounds, a second apart
        uint32_t start = platform::timeGetTime();
        while (platform::timeGetTime() - start < ServerBrowser::QUERY_INTERVAL_MS + 50) {
            probe.poll(platform::timeGetTime());
            platform::sleepMs(20);
        }
    }
    EXPECT_EQ(probe.count(), 0u);
    probe.setDirectHost("127.0.0.1");
    ASSERT_TRUE(browseUntilFound(probe));
    EXPECT_STREQ(probe.server(0).mapName, "duel");
}

TEST(ServerDiscovery, JunkShortAndOversizedQueriesGetNothing) {
    auto server = startServer({"hall", "8", "20"});
    RawSocket raw;
    std::vector<std::vector<uint8_t>> junk;
    std::vector<uint8_t> good = query(1);
    junk.push_back(std::vector<uint8_t>(good.begin(), good.end() - 1));  // short
    junk.push_back(good);
    junk.back().push_back(0);                                            // one byte long
    junk.push_back(std::vector<uint8_t>(NET_BUFFER_SIZE, 0));            // oversized
    junk.push_back(std::vector<uint8_t>(1400, 'A'));
    junk.push_back(good);
    junk.back()[4] = 2;                                                  // unknown version
    junk.push_back(good);
    junk.back()[20] = 1;                                                 // padding not zero
    std::string text = "hall/hall.bxm 0 20";
    junk.push_back(std::vector<uint8_t>(text.begin(), text.end()));
    for (const auto& j : junk) raw.send(j);
    raw.send(query(99));
    // Datagrams over loopback keep their order: the answer to the last, good
    // query arrives after any answer to the junk would have.
    auto got = raw.receiveUntilToken(99);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].size(), DISCOVERY_REPLY_SIZE);
    EXPECT_LE(got[0].size(), good.size());
    // Nothing was printed for any of it: the next line is the next join.
    UdpClient player;
    player.join();
    player.send(stateDatagram("43127.0.0.1", "Bo"));
    EXPECT_EQ(server->readLine(), "New Client:  Bo \n");
}

TEST(ServerDiscovery, AFloodFromOneSourceGetsOnlyAFewReplies) {
    auto server = startServer({"hall", "8", "20"});
    RawSocket raw;
    for (uint32_t t = 1; t <= 200; ++t) raw.send(query(t));
    std::vector<std::vector<uint8_t>> got;
    uint32_t start = platform::timeGetTime();
    while (platform::timeGetTime() - start < 1500) {
        if (platform::waitReadable(&raw.s, 1, 100) != 1) continue;
        uint8_t buf[NET_BUFFER_SIZE];
        long n = platform::receiveFrom(raw.s, buf, sizeof buf, nullptr);
        if (n > 0) got.emplace_back(buf, buf + n);
    }
    EXPECT_GE(got.size(), 1u);
    EXPECT_LE(got.size(), 16u);  // the burst and what 1.5 s of rate adds
    // Asked again now and then, the source is answered once its budget refills.
    bool answered = false;
    start = platform::timeGetTime();
    for (uint32_t t = 1000; !answered && platform::timeGetTime() - start < 60000; ++t) {
        raw.send(query(t));
        if (platform::waitReadable(&raw.s, 1, 250) == 1) answered = true;
    }
    EXPECT_TRUE(answered);
}
