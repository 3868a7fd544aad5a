// The staged server over real sockets: its console, its lobby replies and the
// relays its clients receive.
#include <gtest/gtest.h>

#include <memory>

#include "platform/clock.h"
#include "platform/thread.h"
#include "protocol/protocol.h"
#include "server/server.h"
#include "server_process.h"

using namespace protocol;

namespace {
// A fresh server with "Server started" already read.
std::unique_ptr<ServerProcess> startServer(const std::vector<std::string>& args) {
    std::unique_ptr<ServerProcess> server(new ServerProcess);
    EXPECT_TRUE(server->start(args));
    EXPECT_EQ(server->readLine(STARTUP_MS), "Server started \n");
    return server;
}
}  // namespace

TEST(ServerProgram, WrongArgumentCountsEndSilently) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"hall", "4"}, {"hall", "4", "20", "extra"}}) {
        ServerProcess server;
        ASSERT_TRUE(server.start(args));
        int status = -1;
        EXPECT_EQ(server.readToEnd(&status), "");
        EXPECT_EQ(status, 0);
    }
}

TEST(ServerProgram, TakenPortsAndLongMapNamesFailWithTheirLines) {
    {
        platform::Socket holder = platform::tcpSocket();
        platform::setReuseAddress(holder);  // earlier runs may linger in TIME_WAIT
        ASSERT_TRUE(platform::bindAnyInterface(holder, INIT_PORT));
        ASSERT_TRUE(platform::listenOn(holder, 1));
        ServerProcess server;
        ASSERT_TRUE(server.start({"hall", "4", "20"}));
        int status = 0;
        EXPECT_EQ(server.readToEnd(&status),
                  "Error: Could not bind init-socket name \nError: Server creation failed \n");
        EXPECT_NE(status, 0);
        platform::closeSocket(holder);
    }
    {
        platform::Socket holder = platform::udpSocket();
        ASSERT_TRUE(platform::bindAnyInterface(holder, GAME_PORT));
        ServerProcess server;
        ASSERT_TRUE(server.start({"hall", "4", "20"}));
        int status = 0;
        EXPECT_EQ(server.readToEnd(&status),
                  "Error: Could not bind game-socket name \nError: Server creation failed \n");
        EXPECT_NE(status, 0);
        platform::closeSocket(holder);
    }
    ServerProcess server;
    ASSERT_TRUE(server.start({"a_map_name_of_thirty_characters", "4", "20"}));
    int status = 0;
    EXPECT_EQ(server.readToEnd(&status),
              "Error: Map name longer than 29 characters \nError: Server creation failed \n");
    EXPECT_NE(status, 0);
}

TEST(ServerProgram, LobbyRepliesFullOnceTheLimitIsOccupied) {
    auto server = startServer({"hall", "4", "20"});
    // Each answer that is not "full" lets one more host in.
    EXPECT_EQ(askLobby(), "hall/hall.bxm 0 20");
    UdpClient clients[4];
    for (int i = 0; i < 4; ++i) {
        clients[i].send(stateDatagram(std::to_string(100 + i), "P" + std::to_string(i)));
        // Our own relays back mean the server has taken the slot.
        EXPECT_EQ(clients[i].receiveExpected(9).size(), 9u);
        EXPECT_EQ(server->readLine(), "New Client:  P" + std::to_string(i) + " \n");
        EXPECT_EQ(askLobby(), i < 3 ? "hall/hall.bxm 0 20" : "hall/hall.bxm 1 20");
    }
}

TEST(ServerProgram, RestartsAtOnceAndSurvivesRudePeers) {
    auto first = startServer({"hall", "4", "20"});
    EXPECT_EQ(askLobby(), "hall/hall.bxm 0 20");  // leaves a connection in TIME_WAIT
    first->stop();
    auto second = startServer({"dome", "4", "7"});

    // Peers that reset their connection must not take the lobby down.
    platform::NetAddress lobby;
    platform::lookupHost("127.0.0.1", &lobby);
    lobby.port = INIT_PORT;
    for (int i = 0; i < 20; ++i) {
        platform::Socket s = platform::tcpSocket();
        platform::setAbortiveClose(s);
        platform::connectTo(s, lobby, 2000);
        platform::closeSocket(s);
    }
    EXPECT_EQ(askLobby(), "dome/dome.bxm 0 7");
    EXPECT_EQ(second->readLine(300), "");  // a peer hanging up is not the server's error
}

TEST(ServerProgram, OnlyVerifiedDatagramsAreRecordedAndRelayed) {
    auto server = startServer({"hall", "10", "20"});
    UdpClient bob, stranger;
    bob.join();
    bob.send(stateDatagram("22", "Bob"));
    EXPECT_EQ(bob.receiveExpected(9).size(), 9u);
    EXPECT_EQ(server->readLine(), "New Client:  Bob \n");

    stranger.send("x+1 ");
    EXPECT_TRUE(bob.receiveAll().empty());
    EXPECT_TRUE(stranger.receiveAll().empty());
    bob.send(stateDatagram("22", "Bob"));  // still here
    EXPECT_EQ(bob.receiveExpected(9).size(), 9u);

    // Verified, but from a host the lobby never answered: dropped unseen
    // (the next console line is the joined stranger's).
    stranger.send("x+120 ");
    EXPECT_TRUE(bob.receiveAll().empty());
    EXPECT_TRUE(stranger.receiveAll().empty());

    stranger.join();
    stranger.send("x+120 ");
    EXPECT_EQ(server->readLine(), "New Client:   \n");
    std::vector<std::string> toBob = bob.receiveExpected(9),
                             toStranger = stranger.receiveExpected(9);
    ASSERT_EQ(toBob.size(), 9u);
    EXPECT_EQ(toBob[0], "0 x+200 ");
    ASSERT_EQ(toStranger.size(), 9u);
    std::string live = "0 " + stateText("22", "Bob");
    EXPECT_EQ(toStranger[0], live + "+" + std::to_string(messageChecksum(live.c_str())) + " ");
}

TEST(ServerProgram, TwoClientsGetEachOtherAndEightEmptySlotsInOrder) {
    auto server = startServer({"hall", "10", "20"});
    UdpClient ace, bob;
    ace.join();
    ace.send(stateDatagram("123410.0.0.7", "Ace"));
    EXPECT_EQ(ace.receiveExpected(9).size(), 9u);
    bob.join();
    bob.send(stateDatagram("99910.0.0.9", "Bob"));
    std::vector<std::string> toAce = ace.receiveExpected(9), toBob = bob.receiveExpected(9);
    ASSERT_EQ(toAce.size(), 9u);
    ASSERT_EQ(toBob.size(), 9u);
    EXPECT_EQ(toAce[0][0], '0');
    EXPECT_NE(toAce[0].find(" Bob "), std::string::npos);
    EXPECT_EQ(toBob[0],
              "0 123410.0.0.7 Ace 1 3.500000 -2.250000 90.000000 4 2 0 0 0 0.000000 0.000000 "
              "0.000000 0.000000 0.000000 0.000000+5297 ");
    for (size_t k = 1; k < 9; ++k) {
        EXPECT_EQ(toAce[k], "1 +81 ");
        EXPECT_EQ(toBob[k], "1 +81 ");
    }
}

TEST(ServerProgram, SilentClientIsFreedAndTakenBackIn) {
    auto server = startServer({"hall", "10", "20"});
    UdpClient ace, bob;
    ace.join();
    ace.send(stateDatagram("11", "Ace"));
    bob.join();
    bob.send(stateDatagram("22", "Bob"));
    EXPECT_EQ(server->readLine(), "New Client:  Ace \n");
    EXPECT_EQ(server->readLine(), "New Client:  Bob \n");
    // Ace keeps playing while Bob stalls for 1.5 s.
    for (int i = 0; i < 15; ++i) {
        platform::sleepMs(100);
        ace.send(stateDatagram("11", "Ace"));
    }
    EXPECT_EQ(server->readLine(), "Bob has disconnected \n");
    ace.receiveAll(300);
    bob.receiveAll(300);
    bob.send(stateDatagram("22", "Bob"));  // back from its own address, without a new join
    EXPECT_EQ(server->readLine(), "New Client:  Bob \n");
    std::vector<std::string> toAce = ace.receiveExpected(9);
    ASSERT_EQ(toAce.size(), 9u);
    EXPECT_EQ(toAce[0][0], '0');  // Bob is live again in slot 1
}

TEST(ServerProgram, AMovedPlayerIsTakenBackFromItsNewPort) {
    auto server = startServer({"hall", "10", "20"});
    UdpClient ace, bob, aceMoved;
    ace.join();
    ace.send(stateDatagram("11", "Ace"));
    bob.join();
    bob.send(stateDatagram("22", "Bob"));
    EXPECT_EQ(server->readLine(), "New Client:  Ace \n");
    EXPECT_EQ(server->readLine(), "New Client:  Bob \n");
    EXPECT_EQ(bob.receiveExpected(9).size(), 9u);
    ace.receiveAll();
    // A NAT gives Ace a new port: while its slot lives, that port speaks for nobody.
    aceMoved.send(stateDatagram("11", "Ace"));
    EXPECT_TRUE(aceMoved.receiveAll().empty());
    EXPECT_TRUE(bob.receiveAll().empty());
    // Bob plays on; after a second Ace's old slot is freed, and its next
    // state from the new port takes it back without a new join.
    for (int i = 0; i < 12; ++i) {
        platform::sleepMs(100);
        bob.send(stateDatagram("22", "Bob"));
    }
    EXPECT_EQ(server->readLine(), "Ace has disconnected \n");
    bob.receiveAll(300);
    ace.receiveAll();
    aceMoved.send(stateDatagram("11", "Ace"));
    EXPECT_EQ(server->readLine(), "New Client:  Ace \n");
    EXPECT_EQ(aceMoved.receiveExpected(9).size(), 9u);
    std::vector<std::string> toBob = bob.receiveExpected(9);
    ASSERT_EQ(toBob.size(), 9u);
    std::string live = "0 " + stateText("11", "Ace");
    EXPECT_EQ(toBob[0], live + "+" + std::to_string(messageChecksum(live.c_str())) + " ");
    EXPECT_TRUE(ace.receiveAll().empty());  // nothing goes to the old port
}

TEST(ServerProgram, EleventhClientIsNotTakenAndCausesNothing) {
    auto server = startServer({"hall", "10", "20"});
    UdpClient clients[SLOT_COUNT + 1];
    for (int i = 0; i < SLOT_COUNT; ++i) {
        EXPECT_EQ(clients[i].join(), "hall/hall.bxm 0 20");
        clients[i].send(stateDatagram(std::to_string(100 + i), "P" + std::to_string(i)));
        EXPECT_EQ(server->readLine(), "New Client:  P" + std::to_string(i) + " \n");
    }
    EXPECT_EQ(clients[SLOT_COUNT].join(), "hall/hall.bxm 1 20");
    // Client i has heard nine relays for its own join and each later one.
    for (int i = 0; i < SLOT_COUNT; ++i)
        EXPECT_EQ(clients[i].receiveExpected(size_t(9 * (SLOT_COUNT - i)), 0).size(),
                  size_t(9 * (SLOT_COUNT - i)));
    // Everyone speaks once more, so no slot is near its time-out.
    for (int i = 0; i < SLOT_COUNT; ++i)
        clients[i].send(stateDatagram(std::to_string(100 + i), "P" + std::to_string(i)));
    for (int i = 0; i < SLOT_COUNT; ++i)
        EXPECT_EQ(clients[i].receiveExpected(size_t(9 * SLOT_COUNT), 0).size(),
                  size_t(9 * SLOT_COUNT));
    // The late one has no slot: its state makes the server send nothing at all.
    clients[SLOT_COUNT].send(stateDatagram("999", "Late"));
    for (int i = 0; i < SLOT_COUNT; ++i) EXPECT_TRUE(clients[i].receiveAll().empty()) << i;
    EXPECT_TRUE(clients[SLOT_COUNT].receiveAll().empty());
    EXPECT_EQ(server->readLine(300), "");
}

TEST(ServerInProcess, RelayLoopEndsWhenTheNetworkingIsGone) {
    FILE* console = std::tmpfile();
    Server server("hall", "4", "20", console);
    ASSERT_TRUE(server.startUp());
    platform::Thread stopper;
    stopper.start([&] {
        platform::sleepMs(200);
        server.cleanUp();
    });
    uint32_t start = platform::timeGetTime();
    EXPECT_NE(server.relayLoop(), 0);
    EXPECT_LT(platform::timeGetTime() - start, 2000u);
    stopper.join();
    std::fclose(console);
}
