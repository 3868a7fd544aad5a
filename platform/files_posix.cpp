// Replacing files and listing folders on Linux.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The real file behind a link, or the path itself when it does not exist yet.
std::string resolved(const char* path) {
    char real[PATH_MAX];
    if (realpath(path, real)) return real;
    return path;
}

bool writeAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

bool mayReplaceFile(const char* path) {
    std::string real = resolved(path);
    struct stat st {};
    if (stat(real.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISREG(st.st_mode)) return false;
    return (st.st_mode & S_IWUSR) != 0 && access(real.c_str(), W_OK) == 0;
}

bool replaceFileAtomically(const char* path, const std::string& content) {
    if (!mayReplaceFile(path)) return false;
    std::string real = resolved(path);
    struct stat st {};
    mode_t mode = 0644;
    if (stat(real.c_str(), &st) == 0) mode = st.st_mode & 07777;
    std::string temp = real + ".XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;
    bool ok = fchmod(fd, mode) == 0 && writeAll(fd, content) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), real.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself lasts once the folder is on disk too.
    std::string folder = real.substr(0, real.find_last_of('/') + 1);
    int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

std::vector<std::string> listFolders(const char* folder) {
    std::vector<std::string> names;
    DIR* d = opendir(folder);
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        std::string full = std::string(folder) + "/" + name;
        if (stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listFiles(const char* folder) {
    std::vector<std::string> names;
    DIR* d = opendir(folder);
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        struct stat st {};
        std::string full = std::string(folder) + "/" + e->d_name;
        if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(e->d_name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool makeFolder(const char* path) {
    if (mkdir(path, 0755) == 0) return true;
    struct stat st {};
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const char* path) {
    struct stat st {};
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

void keepStandardStreamsBinary() {}

}  // namespace platform
