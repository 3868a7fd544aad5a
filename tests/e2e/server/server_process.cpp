#include "server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/clock.h"
#include "protocol/discovery.h"
#include "protocol/protocol.h"

extern char** environ;

ServerProcess::~ServerProcess() { stop(); }

bool ServerProcess::start(const std::vector<std::string>& args, const std::string& path,
                          bool withErrors) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    if (withErrors) posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    // BLAST_SERVER_COMMAND runs the server another way, its words standing
    // for "./server" (the Windows server.exe under Wine, for one).
    std::vector<std::string> copy;
    const char* command = std::getenv("BLAST_SERVER_COMMAND");
    if (command && *command && path == "./server") {
        std::istringstream words(command);
        for (std::string w; words >> w;) copy.push_back(w);
    } else {
        copy.push_back(path);
    }
    std::string program = copy[0];
    copy.insert(copy.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : copy) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    int r = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out = fds[0];
    if (r != 0) child = -1;
    return r == 0;
}

std::string ServerProcess::readLine(int timeoutMs) {
    uint32_t start = platform::timeGetTime();
    for (;;) {
        size_t nl = pending.find('\n');
        if (nl != std::string::npos) {
            std::string line = pending.substr(0, nl + 1);
            pending.erase(0, nl + 1);
            return line;
        }
        int left = timeoutMs - int(platform::timeGetTime() - start);
        if (left <= 0 || out < 0) return "";
        pollfd p{out, POLLIN, 0};
        if (poll(&p, 1, left) <= 0) return "";
        char buf[512];
        ssize_t n = read(out, buf, sizeof buf);
        if (n <= 0) return "";
        pending.append(buf, size_t(n));
    }
}

std::string ServerProcess::readToEnd(int* status, int timeoutMs) {
    std::string all;
    for (std::string line; !(line = readLine(timeoutMs)).empty();) all += line;
    all += pending;
    pending.clear();
    *status = -1;
    int raw = 0;
    if (child > 0 && waitpid(child, &raw, 0) == child) {
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        child = -1;
    }
    return all;
}

void ServerProcess::terminate() {
    if (child > 0) kill(child, SIGTERM);
}

namespace {
// Whether the server's three ports can be bound again.
bool serverPortsFree() {
    platform::Socket lobby = platform::tcpSocket(), game = platform::udpSocket(),
                     discovery = platform::udpSocket();
    platform::setReuseAddress(lobby);
    bool free = platform::bindAnyInterface(lobby, protocol::INIT_PORT) &&
                platform::bindAnyInterface(game, protocol::GAME_PORT) &&
                platform::bindAnyInterface(discovery, protocol::DISCOVERY_PORT);
    platform::closeSocket(lobby);
    platform::closeSocket(game);
    platform::closeSocket(discovery);
    return free;
}
}  // namespace

void ServerProcess::stop() {
    if (child > 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        child = -1;
        // A server run another way (under Wine, whose wineserver owns the
        // sockets and closes them a moment after the process is gone) may
        // leave its ports taken briefly: the next server waits for them.
        // Wine 8's wineserver sometimes keeps a socket of a process it has
        // ended: after a while, a new wineserver frees it.
        if (std::getenv("BLAST_SERVER_COMMAND")) {
            const char* wine = std::getenv("BLAST_WINE");
            uint32_t start = platform::timeGetTime();
            bool restarted = false;
            while (!serverPortsFree() && platform::timeGetTime() - start < 20000) {
                if (!restarted && wine && platform::timeGetTime() - start > 2000) {
                    restarted = true;
                    int ignored = std::system((std::string(wine) + " --restart").c_str());
                    (void)ignored;
                }
                platform::sleepMs(20);
            }
        }
    }
    if (out >= 0) close(out);
    out = -1;
    pending.clear();
}

UdpClient::UdpClient() : socket(platform::udpSocket()) {}
UdpClient::~UdpClient() { platform::closeSocket(socket); }

std::string UdpClient::join() { return askLobby(); }

void UdpClient::send(const std::string& text) {
    platform::NetAddress to;
    platform::lookupHost("127.0.0.1", &to);
    to.port = protocol::GAME_PORT;
    platform::sendTo(socket, text.data(), text.size(), to);
}

std::vector<std::string> UdpClient::receiveAll(int quietMs) {
    std::vector<std::string> got;
    char buf[protocol::NET_BUFFER_SIZE + 1];
    while (platform::waitReadable(&socket, 1, uint32_t(quietMs)) == 1) {
        long n = platform::receiveFrom(socket, buf, sizeof buf, nullptr);
        if (n < 0) break;
        got.emplace_back(buf, size_t(n));
    }
    return got;
}

std::vector<std::string> UdpClient::receiveExpected(size_t count, int extraMs) {
    std::vector<std::string> got;
    char buf[protocol::NET_BUFFER_SIZE + 1];
    uint32_t start = platform::timeGetTime();
    while (got.size() < count && platform::timeGetTime() - start < 3000) {
        if (platform::waitReadable(&socket, 1, 100) != 1) continue;
        long n = platform::receiveFrom(socket, buf, sizeof buf, nullptr);
        if (n >= 0) got.emplace_back(buf, size_t(n));
    }
    if (extraMs > 0)
        for (const std::string& extra : receiveAll(extraMs)) got.push_back(extra);
    return got;
}

std::string stateText(const std::string& id, const std::string& name) {
    return id + " " + name +
           " 1 3.500000 -2.250000 90.000000 4 2 0 0 0 0.000000 0.000000 0.000000 0.000000 "
           "0.000000 0.000000";
}

std::string stateDatagram(const std::string& id, const std::string& name) {
    char buf[protocol::NET_BUFFER_SIZE];
    std::string text = stateText(id, name);
    std::memcpy(buf, text.c_str(), text.size() + 1);
    size_t n = protocol::appendChecksum(buf, text.size(), sizeof buf);
    return std::string(buf, n);
}

std::string askLobby() {
    platform::Socket s = platform::tcpSocket();
    platform::NetAddress to;
    platform::lookupHost("127.0.0.1", &to);
    to.port = protocol::INIT_PORT;
    std::string reply;
    if (platform::connectTo(s, to, 2000)) {
        platform::setReceiveTimeout(s, 2000);
        char buf[protocol::NET_BUFFER_SIZE];
        long n = platform::receiveBytes(s, buf, sizeof buf);
        if (n > 0) reply.assign(buf, size_t(n));
    }
    platform::closeSocket(s);
    return reply;
}
