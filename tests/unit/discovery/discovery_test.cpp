// The LAN discovery query and reply byte for byte, what a hostile or broken
// datagram gets (nothing), and how often the server answers one source.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/discovery.h"
#include "server/server.h"

using namespace protocol;

namespace {
using Bytes = std::vector<uint8_t>;

Bytes query(uint32_t token) {
    Bytes b(DISCOVERY_QUERY_SIZE);
    EXPECT_EQ(encodeDiscoveryQuery(token, b.data(), b.size()), DISCOVERY_QUERY_SIZE);
    return b;
}

Bytes reply(const char* map, int occupied, int maxPlayers, int fragLimit, uint32_t token) {
    DiscoveryReply r;
    std::strcpy(r.mapName, map);
    r.occupied = occupied;
    r.maxPlayers = maxPlayers;
    r.fragLimit = fragLimit;
    r.token = token;
    Bytes b(DISCOVERY_REPLY_SIZE);
    b.resize(encodeDiscoveryReply(r, b.data(), b.size()));
    return b;
}

bool decodes(const Bytes& b, DiscoveryReply* out = nullptr) {
    DiscoveryReply r;
    return decodeDiscoveryReply(b.data(), b.size(), out ? out : &r);
}
}  // namespace

// The example the README gives.
TEST(Discovery, QueryAndReplyBytes) {
    Bytes q = query(0x01020304);
    Bytes expected(DISCOVERY_QUERY_SIZE, 0);
    const uint8_t head[] = {'B', 'L', 'Q', '?', 1, 0, 0, 0, 1, 2, 3, 4};
    std::memcpy(expected.data(), head, sizeof head);
    EXPECT_EQ(q, expected);

    Bytes r = reply("hall", 3, 8, 20, 0x01020304);
    ASSERT_EQ(r.size(), DISCOVERY_REPLY_SIZE);
    Bytes want(DISCOVERY_REPLY_SIZE, 0);
    const uint8_t rhead[] = {'B', 'L', 'R', '!', 1, 3, 0, 0, 1, 2, 3, 4,
                             0, 0, 0, 8, 0, 0, 0, 20, 'h', 'a', 'l', 'l'};
    std::memcpy(want.data(), rhead, sizeof rhead);
    EXPECT_EQ(r, want);
    EXPECT_LE(DISCOVERY_REPLY_SIZE, DISCOVERY_QUERY_SIZE);  // never an amplifier

    DiscoveryReply back;
    ASSERT_TRUE(decodes(r, &back));
    EXPECT_STREQ(back.mapName, "hall");
    EXPECT_EQ(back.occupied, 3);
    EXPECT_EQ(back.maxPlayers, 8);
    EXPECT_EQ(back.fragLimit, 20);
    EXPECT_EQ(back.token, 0x01020304u);
}

TEST(Discovery, ReplyCarriesEveryLimitTheCommandLineAllows) {
    DiscoveryReply back;
    ASSERT_TRUE(decodes(reply("abcdefghijklmnopqrstuvwxyz123", 10, -1, 0x7FFFFFFF, 0), &back));
    EXPECT_STREQ(back.mapName, "abcdefghijklmnopqrstuvwxyz123");
    EXPECT_EQ(back.maxPlayers, -1);
    EXPECT_EQ(back.fragLimit, 0x7FFFFFFF);
    // Occupancy is clamped to the slot table on the way out.
    ASSERT_TRUE(decodes(reply("hall", 99, 8, 20, 0), &back));
    EXPECT_EQ(back.occupied, SLOT_COUNT);
}

TEST(Discovery, ReplyRefusesNamesItCannotCarry) {
    for (const char* bad : {"", "has blank", "tab\there", "abcdefghijklmnopqrstuvwxyz1234",
                            "bell\a", "\xe9t\xe9"})
        EXPECT_TRUE(reply(bad, 0, 8, 20, 0).empty()) << bad;
    DiscoveryReply r;
    std::memset(r.mapName, 'x', sizeof r.mapName);  // not terminated at all
    uint8_t out[DISCOVERY_REPLY_SIZE];
    EXPECT_EQ(encodeDiscoveryReply(r, out, sizeof out), 0u);
    EXPECT_EQ(encodeDiscoveryReply(DiscoveryReply{}, out, sizeof out - 1), 0u);
}

TEST(Discovery, MalformedQueriesAreNotQueries) {
    uint32_t token = 7;
    Bytes good = query(9);
    ASSERT_TRUE(decodeDiscoveryQuery(good.data(), good.size(), &token));
    EXPECT_EQ(token, 9u);

    std::vector<Bytes> bad;
    bad.push_back(Bytes(good.begin(), good.end() - 1));           // short
    bad.push_back(good), bad.back().push_back(0);                 // one byte long
    bad.push_back(Bytes(512, 0));                                 // oversized
    bad.push_back(Bytes());                                       // empty
    for (size_t at : {0, 3, 4, 5, 7, 12, 51}) {                   // magic, version, zeros
        bad.push_back(good);
        bad.back()[at] ^= 0x40;
    }
    Bytes reply = ::reply("hall", 0, 8, 20, 9);                   // a reply is no query
    bad.push_back(reply);
    for (const Bytes& b : bad) {
        token = 7;
        EXPECT_FALSE(decodeDiscoveryQuery(b.data(), b.size(), &token));
        EXPECT_EQ(token, 7u);
    }
}

TEST(Discovery, MalformedOrSpoofedRepliesAreIgnored) {
    Bytes good = reply("hall", 3, 8, 20, 5);
    ASSERT_TRUE(decodes(good));
    std::vector<Bytes> bad;
    bad.push_back(Bytes(good.begin(), good.end() - 1));
    bad.push_back(good), bad.back().push_back(0);
    bad.push_back(query(5));
    auto edited = [&](size_t at, uint8_t value) {
        bad.push_back(good);
        bad.back()[at] = value;
    };
    edited(0, 'X');        // magic
    edited(4, 2);          // another version
    edited(5, 11);         // more players than slots
    edited(6, 1);          // reserved
    edited(20, 0);         // empty name
    edited(21, ' ');       // blank in the name
    edited(22, 0x1B);      // a terminal escape
    edited(23, 0xFF);
    edited(30, 'x');       // bytes after the name's end
    edited(51, 'x');
    bad.push_back(good);   // no terminator in the whole field
    std::memset(bad.back().data() + 20, 'a', DISCOVERY_MAP_FIELD);
    bad.push_back(good);   // 30 characters: longer than any map name
    std::memset(bad.back().data() + 20, 'a', 30);
    for (const Bytes& b : bad) {
        DiscoveryReply r;
        std::strcpy(r.mapName, "kept");
        EXPECT_FALSE(decodeDiscoveryReply(b.data(), b.size(), &r));
        EXPECT_STREQ(r.mapName, "kept");
    }
}

TEST(DiscoveryLimiter, BurstThenSteadyRatePerSource) {
    DiscoveryLimiter limiter;
    int granted = 0;
    for (int i = 0; i < 50; ++i) granted += limiter.allow(1, 1000) ? 1 : 0;
    EXPECT_EQ(granted, DiscoveryLimiter::PER_SOURCE_BURST);
    // Another source is not held back by the first.
    EXPECT_TRUE(limiter.allow(2, 1000));
    // One second later the source has earned its rate back, no more.
    granted = 0;
    for (int i = 0; i < 50; ++i) granted += limiter.allow(1, 2000) ? 1 : 0;
    EXPECT_EQ(granted, DiscoveryLimiter::PER_SOURCE_RATE);
    // A long silence refills no more than the burst; the clock may wrap.
    granted = 0;
    for (int i = 0; i < 50; ++i) granted += limiter.allow(1, 2000u + 0xFFFFF000u) ? 1 : 0;
    EXPECT_EQ(granted, DiscoveryLimiter::PER_SOURCE_BURST);
}

TEST(DiscoveryLimiter, ManySpoofedSourcesShareOneCeiling) {
    DiscoveryLimiter limiter;
    int granted = 0;
    for (uint32_t ip = 1; ip <= 1000; ++ip) granted += limiter.allow(ip, 5000) ? 1 : 0;
    EXPECT_EQ(granted, DiscoveryLimiter::ALL_BURST);
    granted = 0;
    for (uint32_t ip = 1; ip <= 1000; ++ip) granted += limiter.allow(ip, 6000) ? 1 : 0;
    EXPECT_EQ(granted, DiscoveryLimiter::ALL_RATE > DiscoveryLimiter::ALL_BURST
                           ? DiscoveryLimiter::ALL_BURST
                           : DiscoveryLimiter::ALL_RATE);
}

TEST(ServerDiscovery, AnswersWithTheMatchAndNothingElse) {
    Server server("duel", "4", "15", nullptr);
    platform::NetAddress from{0x0100007F, 40000};
    uint8_t out[DISCOVERY_REPLY_SIZE];
    Bytes q = query(77);
    ASSERT_EQ(server.answerDiscovery(from, q.data(), q.size(), 0, out), DISCOVERY_REPLY_SIZE);
    DiscoveryReply r;
    ASSERT_TRUE(decodeDiscoveryReply(out, sizeof out, &r));
    EXPECT_EQ(r.token, 77u);
    EXPECT_STREQ(r.mapName, "duel");
    EXPECT_EQ(r.occupied, 0);
    EXPECT_EQ(r.maxPlayers, 4);
    EXPECT_EQ(r.fragLimit, 15);

    Bytes garbage(DISCOVERY_QUERY_SIZE, 'A');
    EXPECT_EQ(server.answerDiscovery(from, garbage.data(), garbage.size(), 0, out), 0u);
    // A joined player shows in the count; the slot table is not touched by queries.
    char state[NET_BUFFER_SIZE + 1] = "77 Ace 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";
    size_t n = std::strlen(state);
    n = appendChecksum(state, n, sizeof state);
    server.admitJoin(from.ip);  // the lobby answered it first
    server.handleDatagram(from, state, n);
    ASSERT_EQ(server.answerDiscovery(from, q.data(), q.size(), 0, out), DISCOVERY_REPLY_SIZE);
    ASSERT_TRUE(decodeDiscoveryReply(out, sizeof out, &r));
    EXPECT_EQ(r.occupied, 1);
    EXPECT_EQ(server.slot(1).vacant, 1);
}
