// Inside platform/ only: the few hooks each system file provides to the
// shared code beside it (the *_posix/*_x11/*_fc files on Linux, *_win on
// Windows). Nothing outside platform/ includes this.
#pragma once
#include <cstdint>
#include <string>

namespace platform {
namespace sys {

// Milliseconds of the system's monotonic clock, truncated to 32 bits.
uint32_t clockMs();

// The font file for a face and weight: the installed face when the system
// has it, else a monospace face; "" when there is none at all.
std::string fontFile(const char* face, int weight);

// Called once the video subsystem is up: a lost display must end the game at
// once instead of hanging in the display library's exit handlers.
void endWhenTheDisplayGoes();
// Around a blocking message box: it must close with the game, and the
// game must stay endable by the system's ordinary requests while it is up.
void beforeMessageBox();
void afterMessageBox();

}  // namespace sys
}  // namespace platform
