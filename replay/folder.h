// Recordings in a folder: their names, the list newest first, and keeping
// only the newest few.
//
// A recording is written as NAME.bvr.part and renamed to NAME.bvr once it is
// finished, so a finished name always holds a whole file. A .part left by a
// program that was killed still plays up to its last whole chunk: it is
// listed, marked unfinished. NAME is the start time in UTC and the map,
// "20261208-095831-hall", with "-02", "-03", ... when that name is taken.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

constexpr const char* FINISHED_SUFFIX = ".bvr";
constexpr const char* UNFINISHED_SUFFIX = ".bvr.part";
constexpr size_t KEEP_RECORDINGS = 30;

struct RecordingFile {
    std::string name;  // file name within the folder
    bool finished = false;
};

// "YYYYMMDD-HHMMSS-map" for a start time in seconds since 1970 UTC; the map
// name keeps only letters, digits, '-' and '_' (at most 32 of them).
std::string recordingBaseName(uint64_t startTime, const char* mapName);

// Every recording in `folder`, newest first.
std::vector<RecordingFile> listRecordings(const char* folder);

// Deletes all but the newest `keep` recordings; `except` (a file name) is
// never deleted. Returns how many went.
size_t pruneRecordings(const char* folder, size_t keep, const std::string& except = "");

}  // namespace replay
