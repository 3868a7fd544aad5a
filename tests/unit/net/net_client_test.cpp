// The client's link against a scripted server on 127.0.0.1: the join reply,
// the table of other players, and what it refuses from the network.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "client/net/net_client.h"
#include "platform/clock.h"
#include "platform/net.h"
#include "platform/text.h"
#include "platform/thread.h"
#include "protocol/protocol.h"

namespace {

std::string relay(int vacant, const std::string& state) {
    char text[protocol::NET_BUFFER_SIZE];
    size_t n = protocol::formatRelayMessage(vacant, state.c_str(), text, sizeof text);
    text[n] = '\0';
    // What the receive thread hands on: the verified text without its suffix.
    EXPECT_TRUE(protocol::verifyChecksum(text));
    return text;
}

std::string state(const char* id, const char* name, int frags = 0) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "%s %s 2 1.000000 2.000000 90.000000 3 %d 0 0 0 0.000000 0.000000 0.000000 "
                  "0.000000 0.000000 0.000000",
                  id, name, frags);
    return text;
}

TEST(RemoteTable, PlayersArriveUpdateAndLeaveByClientId) {
    NetClient link;
    link.applyRelayedState(relay(1, "").c_str());  // a never-used slot
    EXPECT_EQ(link.remoteState(0).vacant, 1);

    link.applyRelayedState(relay(0, state("11.2.3.4", "Ann")).c_str());
    link.applyRelayedState(relay(0, state("22.2.3.4", "Bob")).c_str());
    RemoteState ann = link.remoteState(0);
    EXPECT_EQ(ann.vacant, 0);
    EXPECT_STREQ(ann.name, "Ann");
    EXPECT_EQ(ann.skin, 2);
    EXPECT_FLOAT_EQ(ann.yaw, 90.0f);
    EXPECT_STREQ(link.remoteState(1).name, "Bob");

    link.applyRelayedState(relay(0, state("11.2.3.4", "Ann", 4)).c_str());
    EXPECT_EQ(link.remoteState(0).frags, 4);  // updated in place
    EXPECT_EQ(link.remoteState(2).vacant, 1);

    link.applyRelayedState(relay(1, state("11.2.3.4", "Ann", 4)).c_str());
    EXPECT_EQ(link.remoteState(0).vacant, 1);  // gone
    link.applyRelayedState(relay(1, state("33.2.3.4", "Cid")).c_str());
    EXPECT_EQ(link.remoteState(0).vacant, 1);  // a vacant slot we never held
    link.applyRelayedState(relay(0, state("33.2.3.4", "Cid")).c_str());
    EXPECT_STREQ(link.remoteState(0).name, "Cid");  // lowest vacant entry
}

TEST(RemoteTable, AnEleventhPlayerWaitsForARoom) {
    NetClient link;
    for (int i = 0; i < 11; ++i) {
        std::string id = std::to_string(100 + i) + ".0.0.1";
        link.applyRelayedState(relay(0, state(id.c_str(), "P")).c_str());
    }
    for (int i = 0; i < 10; ++i) EXPECT_EQ(link.remoteState(i).vacant, 0);
    EXPECT_STREQ(link.remoteState(9).clientId, "109.0.0.1");
}

TEST(RemoteTable, GarbageLeavesNoPlayerBehind) {
    NetClient link;
    link.applyRelayedState("");
    link.applyRelayedState("zzz");
    link.applyRelayedState("0");
    std::string longId(300, '7');
    link.applyRelayedState(("0 " + longId + " Name").c_str());
    RemoteState entry = link.remoteState(0);
    // A present record with a cut id is accepted, but nothing overflowed.
    EXPECT_LE(std::strlen(entry.clientId), 19u);
}

// A scripted server on the real ports.
class FakeServer {
public:
    platform::Socket listener = platform::tcpSocket();
    platform::Socket game = platform::udpSocket();
    FakeServer() {
        platform::setReuseAddress(listener);
        EXPECT_TRUE(platform::bindAnyInterface(listener, protocol::INIT_PORT));
        EXPECT_TRUE(platform::listenOn(listener, 4));
        EXPECT_TRUE(platform::bindAnyInterface(game, protocol::GAME_PORT));
        platform::setReceiveTimeout(game, 2000);
    }
    ~FakeServer() {
        platform::closeSocket(listener);
        platform::closeSocket(game);
    }
};

TEST(Join, NoServerFailsAtOnceWithoutSendingAnything) {
    platform::Socket game = platform::udpSocket();
    ASSERT_TRUE(platform::bindAnyInterface(game, protocol::GAME_PORT));
    platform::setReceiveTimeout(game, 300);
    NetClient link;
    uint32_t start = platform::timeGetTime();
    EXPECT_EQ(link.connect("127.0.0.1", nullptr), JoinOutcome::Failed);
    EXPECT_LT(platform::timeGetTime() - start, 2000u);
    char buffer[600];
    EXPECT_LT(platform::receiveFrom(game, buffer, sizeof buffer, nullptr), 0);
    link.leaveServer();
    platform::closeSocket(game);
}

TEST(Join, AFullServerIsReportedAsFull) {
    FakeServer server;
    platform::Thread lobby;
    lobby.start([&] {
        platform::Socket c = platform::acceptConnection(server.listener);
        platform::sendBytes(c, "hall/hall.bxm 1 20", 18);
        platform::closeSocket(c);
    });
    NetClient link;
    EXPECT_EQ(link.connect("127.0.0.1", nullptr), JoinOutcome::ServerFull);
    lobby.join();
    link.leaveServer();
}

TEST(Join, StatesFlowBothWaysAndLeavingStopsThem) {
    FakeServer server;
    platform::Thread lobby;
    lobby.start([&] {
        platform::Socket c = platform::acceptConnection(server.listener);
        platform::sendBytes(c, "hall/hall.bxm 0 20", 18);
        platform::closeSocket(c);
    });
    NetClient link;
    ASSERT_EQ(link.connect("127.0.0.1",
                           [](protocol::StateMessage& s) {
                               platform::copyText(s.name, "Ace");
                               s.skin = 1;
                           }),
              JoinOutcome::Joined);
    lobby.join();
    EXPECT_STREQ(link.reply().mapPath, "hall/hall.bxm");
    EXPECT_EQ(link.reply().fragLimit, 20);

    // Our states arrive, carrying our id and the source's fields.
    char text[protocol::NET_BUFFER_SIZE + 1];
    platform::NetAddress client;
    long n = platform::receiveFrom(server.game, text, protocol::NET_BUFFER_SIZE, &client);
    ASSERT_GT(n, 0);
    text[n] = '\0';
    ASSERT_TRUE(protocol::verifyChecksum(text));
    std::string expectedStart = std::string(link.clientId()) + " Ace 1 ";
    EXPECT_EQ(std::string(text).substr(0, expectedStart.size()), expectedStart);

    // Relays from the server fill the table; the same text from a stranger,
    // an over-long datagram and a bad checksum do not.
    platform::Socket stranger = platform::udpSocket();
    char wire[protocol::NET_BUFFER_SIZE];
    size_t len = protocol::formatRelayMessage(0, state("99.9.9.9", "Eve").c_str(), wire, sizeof wire);
    platform::sendTo(stranger, wire, len, client);
    std::string huge(600, 'x');
    platform::sendTo(server.game, huge.data(), huge.size(), client);
    platform::sendTo(server.game, "0 1.1 Bad+1 ", 12, client);
    platform::sleepMs(200);
    EXPECT_EQ(link.remoteState(0).vacant, 1);
    platform::sendTo(server.game, wire, len, client);
    for (int i = 0; i < 50 && link.remoteState(0).vacant == 1; ++i) platform::sleepMs(10);
    EXPECT_STREQ(link.remoteState(0).name, "Eve");

    uint32_t start = platform::timeGetTime();
    link.leaveServer();
    EXPECT_LT(platform::timeGetTime() - start, 1000u);  // both threads ended
    EXPECT_EQ(link.remoteState(0).vacant, 1);
    // Nothing more is sent once the link is down.
    while (platform::receiveFrom(server.game, text, protocol::NET_BUFFER_SIZE, nullptr) > 0 &&
           platform::timeGetTime() - start < 300) {
    }
    platform::setReceiveTimeout(server.game, 200);
    EXPECT_LT(platform::receiveFrom(server.game, text, protocol::NET_BUFFER_SIZE, nullptr), 0);
    platform::closeSocket(stranger);
}

TEST(Join, AServerThatNeverAnswersFailsTheJoin) {
    FakeServer server;  // listens, but nobody accepts or replies
    NetClient link;
    uint32_t start = platform::timeGetTime();
    EXPECT_EQ(link.connect("127.0.0.1", nullptr), JoinOutcome::Failed);
    uint32_t waited = platform::timeGetTime() - start;
    EXPECT_GE(waited, NetClient::JOIN_TIMEOUT_MS - 100);
    EXPECT_LT(waited, NetClient::JOIN_TIMEOUT_MS + 2000);
    link.leaveServer();
}

platform::NetAddress dotted(const char* text) {
    platform::NetAddress a;
    EXPECT_TRUE(platform::lookupHost(text, &a));
    return a;
}

// Containers and some cloud images name a host that /etc/hosts does not know,
// or map it to 127.0.1.1: the id then takes the address that reaches the server.
TEST(ClientId, TheHostNameComesFirstAndTheSocketStandsInWhenItFails) {
    platform::NetAddress lan = dotted("10.1.2.3"), server = dotted("10.1.2.9");
    platform::NetAddress loop = dotted("127.0.1.1"), viaSocket = dotted("10.1.2.4");
    platform::NetAddress got;

    ASSERT_TRUE(pickIdAddress(&lan, server, &viaSocket, &got));
    EXPECT_EQ(got.ip, lan.ip);  // resolves: the usual way
    ASSERT_TRUE(pickIdAddress(nullptr, server, &viaSocket, &got));
    EXPECT_EQ(got.ip, viaSocket.ip);  // does not resolve
    ASSERT_TRUE(pickIdAddress(&loop, server, &viaSocket, &got));
    EXPECT_EQ(got.ip, viaSocket.ip);  // loopback only, server elsewhere
    ASSERT_TRUE(pickIdAddress(&loop, dotted("127.0.0.1"), &viaSocket, &got));
    EXPECT_EQ(got.ip, loop.ip);  // loopback is right for a local server
    ASSERT_TRUE(pickIdAddress(&loop, server, nullptr, &got));
    EXPECT_EQ(got.ip, loop.ip);  // nothing better to be had
    EXPECT_FALSE(pickIdAddress(nullptr, server, nullptr, &got));
}

TEST(ClientId, KeepsItsFormatAndNineteenCharacters) {
    char id[protocol::CLIENT_ID_SIZE];
    formatClientId(id, 4242, 0, dotted("10.1.2.3"));
    EXPECT_STREQ(id, "424210.1.2.3");
    formatClientId(id, 4194304, 3, dotted("192.168.100.200"));
    EXPECT_STREQ(id, "4194304b3192.168.10");  // cut, never overflowed
    EXPECT_EQ(std::strlen(id), 19u);
}

}  // namespace
