// The relay step without sockets: slots, time-outs and the relays a datagram
// causes, on a clock the test drives.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "server/server.h"

using namespace protocol;

namespace {
uint32_t fakeNow = 0;
uint32_t fakeClock() { return fakeNow; }

constexpr uint32_t LOCAL = 0x0100007f;     // 127.0.0.1, where the test's players join from
constexpr uint32_t STRANGER = 0x4200000a;  // 10.0.0.66, which never joined

platform::NetAddress from(uint16_t port, uint32_t ip = LOCAL) {
    platform::NetAddress a;
    a.ip = ip;
    a.port = port;
    return a;
}

std::string withSum(const std::string& text) {
    char buf[NET_BUFFER_SIZE + 8];
    std::memcpy(buf, text.c_str(), text.size() + 1);
    size_t n = appendChecksum(buf, text.size(), sizeof buf);
    return n ? std::string(buf, n) : text + "+0 ";
}

std::string state(const std::string& id, const std::string& name, int frame = 0) {
    return id + " " + name + " 0 1.000000 2.000000 3.000000 " + std::to_string(frame) +
           " 0 0 0 0 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000";
}

class RelayStep : public ::testing::Test {
protected:
    void SetUp() override {
        fakeNow = 5000;
        platform::setClockSource(fakeClock);
        console = std::tmpfile();
        server = new Server("hall", "4", "20", console);
    }
    void TearDown() override {
        delete server;
        std::fclose(console);
        platform::setClockSource(nullptr);
    }
    size_t send(uint16_t port, const std::string& datagram, uint32_t ip = LOCAL) {
        char buf[NET_BUFFER_SIZE + 1];
        size_t n = datagram.size() < sizeof buf - 1 ? datagram.size() : sizeof buf - 1;
        std::memcpy(buf, datagram.data(), n);
        return server->handleDatagram(from(port, ip), buf, n);
    }
    // A player's first state after the lobby answered its host, as the game does.
    size_t join(uint16_t port, const std::string& id, const std::string& name) {
        server->admitJoin(LOCAL);
        return say(port, id, name);
    }
    // Any later state (no new join).
    size_t say(uint16_t port, const std::string& id, const std::string& name, int frame = 0,
               uint32_t ip = LOCAL) {
        return send(port, withSum(state(id, name, frame)), ip);
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
    std::string relayText(size_t k) {
        const platform::Datagram& d = server->relays().datagrams[k];
        return std::string(static_cast<const char*>(d.data), d.len);
    }
    int occupied() {
        int n = 0;
        for (int i = 0; i < SLOT_COUNT; ++i) n += server->slot(i).vacant == 0;
        return n;
    }

    FILE* console = nullptr;
    Server* server = nullptr;
};
}  // namespace

TEST_F(RelayStep, TwoClientsHearEachOtherAndEightEmptySlots) {
    EXPECT_EQ(join(4001, "11", "Ace"), 9u);
    EXPECT_EQ(join(4002, "22", "Bob"), 18u);
    EXPECT_EQ(consoleText(), "New Client:  Ace \nNew Client:  Bob \n");

    std::string ace = "0 " + state("11", "Ace"), bob = "0 " + state("22", "Bob");
    for (size_t k = 0; k < 18; ++k) {
        const platform::Datagram& d = server->relays().datagrams[k];
        EXPECT_EQ(d.to.port, k < 9 ? 4001 : 4002) << k;
        std::string expected = k == 0 ? withSum(bob) : k == 9 ? withSum(ace) : "1 +81 ";
        EXPECT_EQ(relayText(k), expected) << k;
    }
}

TEST_F(RelayStep, BadSumsAreDroppedWithoutRelay) {
    join(4001, "11", "Ace");
    EXPECT_EQ(send(4002, "x+1 "), 0u);
    EXPECT_EQ(send(4002, "no suffix"), 0u);
    EXPECT_EQ(send(4002, std::string("x\0+120 ", 7)), 0u);  // the NUL ends the text
    EXPECT_EQ(occupied(), 1);
    server->admitJoin(LOCAL);
    EXPECT_EQ(send(4002, "x+120 "), 18u);
    EXPECT_STREQ(server->slot(1).clientId, "x");
    EXPECT_STREQ(server->slot(1).name, "");
    EXPECT_EQ(relayText(0), "0 x+200 ");
}

TEST_F(RelayStep, SilentClientIsFreedAndComesBackIntoTheFirstVacantSlot) {
    join(4001, "11", "Ace");
    join(4002, "22", "Bob");
    join(4003, "33", "Cid");
    fakeNow += 1000;
    say(4001, "11", "Ace");
    say(4003, "33", "Cid");
    EXPECT_EQ(occupied(), 3);  // exactly 1000 ms is not yet silent
    fakeNow += 1;
    EXPECT_EQ(say(4003, "33", "Cid"), 18u);  // frees Bob, still relays to two
    EXPECT_EQ(server->slot(1).vacant, 1);
    EXPECT_EQ(relayText(0), withSum("1 " + state("22", "Bob")));  // kept, flagged vacant

    fakeNow += 500;
    EXPECT_EQ(join(4009, "44", "Dan"), 27u);  // the lowest vacant slot
    EXPECT_STREQ(server->slot(1).name, "Dan");
    fakeNow += 1001;
    // Ace and Dan are both silent now; one datagram frees only the first, and
    // Ace's own datagram takes it straight back, from a new port (a NAT that
    // moved it), without joining again.
    EXPECT_EQ(say(4011, "11", "Ace"), 27u);
    EXPECT_EQ(server->slot(0).vacant, 0);
    EXPECT_EQ(server->slot(0).address.port, 4011);
    EXPECT_EQ(server->slot(1).vacant, 0);
    EXPECT_EQ(consoleText(),
              "New Client:  Ace \nNew Client:  Bob \nNew Client:  Cid \nBob has disconnected \n"
              "New Client:  Dan \nAce has disconnected \nNew Client:  Ace \n");
}

TEST_F(RelayStep, SilenceIsMeasuredAcrossAClockWrap) {
    fakeNow = 0xFFFFFF00u;
    join(4001, "11", "Ace");
    fakeNow = 0x00000100u;  // 512 ms later
    join(4002, "22", "Bob");
    EXPECT_EQ(occupied(), 2);
    fakeNow += 1000;
    say(4002, "22", "Bob");
    EXPECT_EQ(server->slot(0).vacant, 1);
}

TEST_F(RelayStep, OnlyItsOwnAddressSpeaksForAPlayer) {
    join(4001, "11", "Ace");
    join(4002, "22", "Bob");
    // Another port of the same host, a host that never joined, and Bob's
    // address naming Ace: none is stored or relayed, whatever it claims.
    EXPECT_EQ(say(4777, "11", "Impostor", 7), 0u);
    EXPECT_EQ(say(4001, "11", "Impostor", 7, STRANGER), 0u);
    EXPECT_EQ(say(4002, "11", "Impostor", 7), 0u);
    EXPECT_STREQ(server->slot(0).name, "Ace");
    EXPECT_EQ(server->slot(0).address.port, 4001);
    EXPECT_EQ(std::string(server->slot(0).lastState), state("11", "Ace"));
    // An address speaks for one player: Bob's, even with a fresh join, takes no second slot.
    server->admitJoin(LOCAL);
    EXPECT_EQ(say(4002, "77", "Second"), 0u);
    EXPECT_EQ(occupied(), 2);
    EXPECT_EQ(say(4001, "11", "Ace", 8), 18u);  // Ace itself still is
}

TEST_F(RelayStep, OnlyAHostTheLobbyAnsweredTakesASlotOncePerJoin) {
    // Never joined: no slot, no relay, no line, however often it asks.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(say(4001, "66", "Stranger", i, STRANGER), 0u);
    EXPECT_EQ(occupied(), 0);
    server->admitJoin(STRANGER);
    EXPECT_EQ(say(4001, "11", "Ace", 0, LOCAL), 0u);  // a pass is for its own host
    EXPECT_EQ(say(4001, "66", "Host", 0, STRANGER), 9u);
    EXPECT_EQ(say(4002, "67", "Second", 0, STRANGER), 0u);  // ... and for one slot
    EXPECT_EQ(occupied(), 1);
    // A pass not used within the window is gone; a fresh join brings a new one.
    server->admitJoin(LOCAL);
    fakeNow += JoinPasses::WINDOW_MS + 1;
    EXPECT_EQ(say(4001, "11", "Ace"), 0u);
    EXPECT_EQ(join(4001, "11", "Ace"), 9u);
    EXPECT_EQ(consoleText(), "New Client:  Host \nHost has disconnected \nNew Client:  Ace \n");
}

TEST_F(RelayStep, AMovedPlayerComesBackOnceItsOldSlotIsFreed) {
    join(4001, "11", "Ace");
    join(4002, "22", "Bob");
    // A NAT gives Ace a new port mid-match: while its slot lives, the new
    // port is not Ace; a second later Ace is freed and taken back from there.
    fakeNow += 600;
    say(4002, "22", "Bob");
    EXPECT_EQ(say(4009, "11", "Ace"), 0u);
    fakeNow += 401;
    EXPECT_EQ(say(4009, "11", "Ace"), 18u);
    EXPECT_EQ(server->slot(0).address.port, 4009);
    EXPECT_EQ(consoleText(), "New Client:  Ace \nNew Client:  Bob \nAce has disconnected \n"
                             "New Client:  Ace \n");
    // Coming back is for the same host and the same player, within the window.
    fakeNow += 400;
    say(4009, "11", "Ace");
    fakeNow += 1001;
    say(4009, "11", "Ace");  // frees Bob
    EXPECT_EQ(say(4002, "22", "Bob", 0, STRANGER), 0u);
    EXPECT_EQ(say(4002, "23", "Bob"), 0u);
    fakeNow += JoinPasses::WINDOW_MS + 1;
    say(4009, "11", "Ace");
    EXPECT_EQ(say(4002, "22", "Bob"), 0u);
    EXPECT_EQ(occupied(), 1);
}

TEST_F(RelayStep, FanOutsAreBudgetedButEveryStateIsKept) {
    join(4001, "11", "Ace");
    join(4002, "22", "Bob");
    // Players at the game's rate are never held back.
    for (int i = 0; i < 200; ++i) {
        fakeNow += SEND_INTERVAL_MS;
        EXPECT_EQ(say(4001, "11", "Ace", i), 18u) << i;
        EXPECT_EQ(say(4002, "22", "Bob", i), 18u) << i;
    }
    // Bob floods at one state a millisecond: a burst fans out, then twice the
    // game's rate; each state is still stored, so the next relay is fresh.
    // Ace plays on beside it and its budget is its own.
    int fanOuts = 0;
    for (int i = 0; i < 2000; ++i) {
        fakeNow += 1;
        if (i % SEND_INTERVAL_MS == 0) {
            EXPECT_EQ(say(4001, "11", "Ace", i), 18u) << i;
        }
        fanOuts += say(4002, "22", "Bob", i) > 0;
    }
    EXPECT_LE(fanOuts, FanOutBudget::BURST + 2 * FanOutBudget::RATE);
    EXPECT_GE(fanOuts, 2 * FanOutBudget::RATE);
    EXPECT_EQ(std::string(server->slot(1).lastState), state("22", "Bob", 1999));
    EXPECT_EQ(say(4001, "11", "Ace"), 18u);
    EXPECT_EQ(relayText(0), withSum("0 " + state("22", "Bob", 1999)));
}

TEST_F(RelayStep, EleventhClientIsNotRecordedAndCausesNothing) {
    for (int i = 0; i < SLOT_COUNT; ++i) join(uint16_t(4000 + i), std::to_string(100 + i), "P");
    EXPECT_EQ(occupied(), SLOT_COUNT);
    EXPECT_EQ(join(5000, "999", "Late"), 0u);
    for (int i = 0; i < SLOT_COUNT; ++i) EXPECT_STRNE(server->slot(i).clientId, "999");
    EXPECT_EQ(consoleText().find("Late"), std::string::npos);
}

TEST_F(RelayStep, FullnessFollowsTheOccupiedSlots) {
    for (int i = 0; i < 3; ++i) join(uint16_t(4000 + i), std::to_string(i), "P");
    EXPECT_FALSE(server->isServerFull());
    join(4003, "3", "P");
    EXPECT_TRUE(server->isServerFull());
    fakeNow += 2000;
    send(4009, "junk");  // any datagram runs the time-out
    EXPECT_FALSE(server->isServerFull());
}

TEST_F(RelayStep, HostileDatagramsCannotOverflowOrPoisonTheTable) {
    join(4001, "11", "Ace");
    // Over-long id and name are cut to their fields.
    std::string id(60, 'i'), name(40, 'n');
    for (int i = 0; i < 3; ++i) server->admitJoin(LOCAL);
    EXPECT_EQ(send(4002, withSum(id + " " + name + " 0")), 18u);
    EXPECT_EQ(std::string(server->slot(1).clientId), id.substr(0, CLIENT_ID_SIZE - 1));
    EXPECT_EQ(std::string(server->slot(1).name), name.substr(0, NAME_SIZE - 1));

    // A verified state too long to relay whole is neither kept nor relayed.
    std::string huge = "33 Big " + std::string(497, 'z');
    std::string datagram = withSum(huge);
    ASSERT_LT(datagram.size(), size_t(NET_BUFFER_SIZE));
    EXPECT_EQ(send(4003, datagram), 0u);
    EXPECT_EQ(occupied(), 2);
    // The longest state that still fits is relayed byte for byte.
    std::string fits = "33 Big " + std::string(495, 'z');
    EXPECT_EQ(send(4003, withSum(fits)), 27u);
    EXPECT_EQ(relayText(1), withSum("0 " + fits));
    EXPECT_EQ(relayText(1).size(), size_t(NET_BUFFER_SIZE - 1));

    // 512 bytes or more may be a longer datagram cut short: dropped.
    std::string full(NET_BUFFER_SIZE - 6, 'q');
    EXPECT_EQ(send(4004, withSum("44 Q " + full)), 0u);
    // Control bytes and bytes above 127 are kept in the state, never printed raw.
    EXPECT_EQ(send(4005, withSum("55 \x1b[2J\xe9 0")), 36u);
    std::string out = consoleText();
    EXPECT_EQ(out.find('\x1b'), std::string::npos);
    EXPECT_NE(out.find("New Client:  ?[2J\xe9 \n"), std::string::npos);
}

TEST(ServerArguments, ReadWithPercentIRules) {
    Server octal("hall extra", "010", "0x10", stdout);
    EXPECT_STREQ(octal.mapName(), "hall");
    EXPECT_EQ(octal.maxPlayers(), 8);
    EXPECT_EQ(octal.fragLimit(), 16);
    Server words("hall", "many", "-3", stdout);
    EXPECT_EQ(words.maxPlayers(), 0);
    EXPECT_TRUE(words.isServerFull());  // a limit of 0 turns everyone away
    EXPECT_EQ(words.fragLimit(), -3);
}

TEST(ServerArguments, MapNameThatWouldNotFitAClientPathIsRefused) {
    FILE* console = std::tmpfile();
    std::string name(MAX_MAP_NAME_LENGTH + 1, 'm');
    Server server(name.c_str(), "4", "20", console);
    EXPECT_FALSE(server.startUp());
    EXPECT_EQ(server.relayLoop(), 1);  // never spins without sockets
    std::rewind(console);
    char line[128] = "";
    ASSERT_NE(std::fgets(line, sizeof line, console), nullptr);
    EXPECT_STREQ(line, "Error: Map name longer than 29 characters \n");
    std::fclose(console);
}
