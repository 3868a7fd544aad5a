// Child programs the game starts (a server it hosts, bots): started from a
// path with arguments, their output sent to a file, and tied to the game's
// life: the system ends them when the game's process ends, however it ends.
#pragma once
#include <string>
#include <vector>

namespace platform {

using ProcessId = int;
constexpr ProcessId NO_PROCESS = -1;

// Starts `program` with `args`, in `workingFolder`, standard output and errors
// appended to `logPath` (or discarded when empty). The child gets SIGTERM when
// this process dies. NO_PROCESS when it could not be started.
ProcessId startChild(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workingFolder, const std::string& logPath);
// True while the child runs; reaps it once it has ended.
bool childRunning(ProcessId child);
// Asks the child to end (SIGTERM), waits up to `waitMs`, then kills it.
void stopChild(ProcessId child, int waitMs = 2000);

}  // namespace platform
