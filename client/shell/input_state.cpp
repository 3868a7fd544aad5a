#include "client/shell/input.h"

InputState inputState;

namespace {
MouseDeltaSource mouseDeltaOverride = nullptr;
MouseDeltaSource windowSource = nullptr;
}  // namespace

void setMouseDeltaSource(MouseDeltaSource source) { mouseDeltaOverride = source; }

void setWindowMouseSource(MouseDeltaSource source) { windowSource = source; }

MouseDelta mouseDelta() {
    if (mouseDeltaOverride) return mouseDeltaOverride();
    // No window, no mouse: a headless player holds still.
    if (windowSource) return windowSource();
    return {0, 0};
}
