// Whole-file reads, crash-safe replacement of a file and folder listings.
#pragma once
#include <string>
#include <vector>

namespace platform {

// The whole file; false when it cannot be opened or read.
bool readWholeFile(const char* path, std::string* out);

// Whether `path` may be replaced by this program: it is missing (and may be
// created) or it is a file we may write whose owner write bit is set. A file
// made read-only is refused even for the superuser.
bool mayReplaceFile(const char* path);

// Replaces the file with `content` so that a crash, a full disk or a failed
// write never leaves it cut short: the text goes to a temporary file beside it
// (same folder, same permissions), is flushed to disk, then renamed over it.
// A symbolic link is followed: the file it names is replaced. False (and the
// old file untouched, no temporary left) on any failure or when mayReplaceFile
// says no.
bool replaceFileAtomically(const char* path, const std::string& content);

// Names of the sub-folders of `folder` (no "." or ".."), sorted.
std::vector<std::string> listFolders(const char* folder);
bool fileExists(const char* path);

// Names of the plain files in `folder` (no folders), sorted; empty when the
// folder cannot be read.
std::vector<std::string> listFiles(const char* folder);
// Makes the folder if it is missing (its parent must exist); true when it is
// there afterwards.
bool makeFolder(const char* path);

// Standard output and errors carry the program's bytes as they are: a line
// ends in "\n" alone on every system (Windows would write "\r\n"), so consoles
// read by other programs match byte for byte. Called first thing in main.
void keepStandardStreamsBinary();

}  // namespace platform
