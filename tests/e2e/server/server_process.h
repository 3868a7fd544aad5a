// Test helpers: the staged `server` as a child process with its console on a
// pipe, and a UDP client on 127.0.0.1. Each helper owns and frees its handles.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/net.h"

// How long a starting server may take to say so: long, because a server run
// under Wine or on a loaded machine needs seconds, and waits end on the line.
constexpr int STARTUP_MS = 15000;

class ServerProcess {
public:
    ~ServerProcess();
    // Starts ./server (or another staged program, e.g. ./bot) with the
    // arguments, run from the staged bin/; its standard output (and, when
    // asked, its standard error) is read here.
    bool start(const std::vector<std::string>& args, const std::string& program = "./server",
               bool withErrors = false);
    // Next console line with its "\n", or "" after timeoutMs or at the end.
    std::string readLine(int timeoutMs = 2000);
    // Everything printed until the process ends; its exit status in *status.
    std::string readToEnd(int* status, int timeoutMs = 10000);
    void stop();
    // Asks the process to end (SIGTERM); its output stays readable to the end.
    void terminate();
    pid_t pid() const { return child; }

private:
    pid_t child = -1;
    int out = -1;
    std::string pending;
};

class UdpClient {
public:
    UdpClient();
    ~UdpClient();
    // Asks the lobby, as the game does before its first state: the server
    // gives a slot only to a host it has just answered. Returns the reply.
    std::string join();
    void send(const std::string& text);
    // Datagrams received until `quietMs` pass without one.
    std::vector<std::string> receiveAll(int quietMs = 150);
    // Waits (up to 3 s, for a busy machine) until `count` datagrams are in,
    // then listens `extraMs` longer so that extra ones are caught too.
    std::vector<std::string> receiveExpected(size_t count, int extraMs = 100);
    platform::Socket socket;
};

// A state datagram with its checksum, in the client's format.
std::string stateDatagram(const std::string& id, const std::string& name);
std::string stateText(const std::string& id, const std::string& name);
// Connects to the lobby and returns its reply ("" on failure).
std::string askLobby();
