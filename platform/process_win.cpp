// Child programs on Windows: CreateProcess, tied to the game through a job
// object that ends every child when the game's process ends, however it ends.
#include "platform/process.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace platform {

namespace {

std::mutex childrenLock;
std::map<ProcessId, HANDLE> children;  // our open handle of each running child

HANDLE gameJob() {
    static HANDLE job = [] {
        HANDLE j = CreateJobObjectA(nullptr, nullptr);
        if (j) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            SetInformationJobObject(j, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
        return j;
    }();
    return job;
}

// One argument as the C runtime of the child splits its command line.
void appendQuoted(std::string& line, const std::string& arg) {
    if (!line.empty()) line += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        line += arg;
        return;
    }
    line += '"';
    size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them.
        line.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        line += c;
    }
    line.append(slashes * 2, '\\');
    line += '"';
}

HANDLE takeHandle(ProcessId child, bool remove) {
    std::lock_guard<std::mutex> hold(childrenLock);
    auto it = children.find(child);
    if (it == children.end()) return nullptr;
    HANDLE h = it->second;
    if (remove) children.erase(it);
    return h;
}

}  // namespace

ProcessId startChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingFolder, const std::string& logPath) {
    std::string line;
    appendQuoted(line, program);
    for (const std::string& a : args) appendQuoted(line, a);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = logPath.empty()
                     ? CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inherit, OPEN_EXISTING, 0, nullptr)
                     : CreateFileA(logPath.c_str(), FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION info{};
    // Started suspended so it joins the game's job before it runs a line.
    BOOL ok = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE,
                             CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr,
                             workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                             &info);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    if (!ok) return NO_PROCESS;
    if (HANDLE job = gameJob()) AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    ProcessId id = ProcessId(info.dwProcessId);
    std::lock_guard<std::mutex> hold(childrenLock);
    children[id] = info.hProcess;
    return id;
}

bool childRunning(ProcessId child) {
    HANDLE h = takeHandle(child, false);
    if (!h) return false;
    if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) return true;
    CloseHandle(takeHandle(child, true));
    return false;
}

void stopChild(ProcessId child, int waitMs) {
    HANDLE h = takeHandle(child, true);
    if (!h) return;
    // Windows has no polite request a console-less child could hear: our
    // children (servers, bots) keep nothing that needs saving, so they end.
    (void)waitMs;
    if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
        TerminateProcess(h, 1);
        WaitForSingleObject(h, 5000);
    }
    CloseHandle(h);
}

}  // namespace platform
