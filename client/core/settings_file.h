// Writing choices made in the menu back to the settings file. Only the lines
// of the chosen keys change; every other line (comments, keys this game does
// not know, blank lines) stays as it was and where it was. The file is
// replaced as a whole, atomically, so it is never left half written.
#pragma once
#include <string>

#include "client/core/settings.h"

// The text of the settings file `original` with the chosen keys set to the
// values in `values`: every line whose first word is such a key is rewritten
// as "key value" (its leading blanks and line ending kept); keys that have no
// line are added at the end.
std::string settingsWithValues(const std::string& original, const Settings& values, unsigned keys);

// Writes the chosen keys into the file at `path` (made when missing). False
// when the file cannot be replaced (read-only, folder not writable, disk full):
// the file is then exactly as before.
bool saveSettings(const char* path, const Settings& values, unsigned keys);

// Choices that hold for the rest of this run whatever the file says (kept in
// processRecords.heldSettings): every later read of the settings ends by
// applying them. Used when saving failed.
void holdSettings(const Settings& values, unsigned keys);
// Applies the held choices to `settings` (loadSettings does this).
void applyHeldSettings(Settings* settings);
// Forgets them (tests).
void releaseHeldSettings();

// Saves, and holds the choice for this run when it could not be saved.
// Returns whether it was saved.
bool saveOrHoldSettings(const char* path, const Settings& values, unsigned keys);
