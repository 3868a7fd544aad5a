#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace platform {

ProcessId startChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingFolder, const std::string& logPath) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t parent = getpid();
    pid_t child = fork();
    if (child < 0) return NO_PROCESS;
    if (child == 0) {
        // Only async-signal-safe calls from here to exec.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(127);  // the game died before we got here
        int out = logPath.empty() ? open("/dev/null", O_WRONLY)
                                  : open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        int in = open("/dev/null", O_RDONLY);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        if (in >= 0) dup2(in, 0);
        if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) _exit(127);
        // The game blocks no signals a server relies on; start it clean anyway.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return child;
}

bool childRunning(ProcessId child) {
    if (child == NO_PROCESS) return false;
    int status = 0;
    pid_t r = waitpid(child, &status, WNOHANG);
    return r == 0;
}

void stopChild(ProcessId child, int waitMs) {
    if (child == NO_PROCESS) return;
    if (kill(child, SIGTERM) != 0 && errno == ESRCH) {
        waitpid(child, nullptr, WNOHANG);
        return;
    }
    for (int waited = 0; waited < waitMs; waited += 10) {
        int status = 0;
        pid_t r = waitpid(child, &status, WNOHANG);
        if (r == child || (r < 0 && errno == ECHILD)) return;
        timespec ten{0, 10 * 1000 * 1000};
        nanosleep(&ten, nullptr);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

}  // namespace platform
