// The Windows desktop: a message box is a window of the game's own process
// and goes with it, and a lost desktop ends the process by itself.
#include "platform/system.h"

namespace platform {

void sys::endWhenTheDisplayGoes() {}
void sys::beforeMessageBox() {}
void sys::afterMessageBox() {}

}  // namespace platform
