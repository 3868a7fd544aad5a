#include "replay/folder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace replay {

namespace {

bool endsWith(const std::string& s, const char* suffix) {
    std::string t(suffix);
    return s.size() > t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

}  // namespace

std::string recordingBaseName(uint64_t startTime, const char* mapName) {
    // Days since 1970 to a civil date (proleptic Gregorian), without the C
    // library's shared broken-down time.
    int64_t days = int64_t(startTime / 86400);
    uint32_t seconds = uint32_t(startTime % 86400);
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t day = doy - (153 * mp + 2) / 5 + 1;
    int64_t month = mp < 10 ? mp + 3 : mp - 9;
    int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-", int(year % 1000000),
                  int(month), int(day), int(seconds / 3600), int(seconds / 60 % 60),
                  int(seconds % 60));
    std::string name = stamp;
    size_t kept = 0;
    for (const char* c = mapName; *c && kept < 32; ++c) {
        bool plain = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') ||
                     (*c >= '0' && *c <= '9') || *c == '-' || *c == '_';
        if (plain) name += *c, ++kept;
    }
    if (kept == 0) name += "match";
    return name;
}

std::vector<RecordingFile> listRecordings(const char* folder) {
    std::vector<RecordingFile> found;
    for (const std::string& name : platform::listFiles(folder)) {
        if (endsWith(name, FINISHED_SUFFIX)) found.push_back({name, true});
        else if (endsWith(name, UNFINISHED_SUFFIX)) found.push_back({name, false});
    }
    // Names begin with their start time, and a second name of the same second
    // ("-02") sorts after the first: newest first is the order of the names
    // without their endings, reversed.
    auto base = [](const RecordingFile& f) {
        return f.name.substr(0, f.name.size() - std::strlen(f.finished ? FINISHED_SUFFIX
                                                                       : UNFINISHED_SUFFIX));
    };
    std::sort(found.begin(), found.end(),
              [&](const RecordingFile& a, const RecordingFile& b) { return base(a) > base(b); });
    return found;
}

size_t pruneRecordings(const char* folder, size_t keep, const std::string& except) {
    std::vector<RecordingFile> all = listRecordings(folder);
    size_t removed = 0;
    for (size_t i = keep; i < all.size(); ++i) {
        if (all[i].name == except) continue;
        std::string path = std::string(folder) + "/" + all[i].name;
        if (std::remove(path.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace replay
