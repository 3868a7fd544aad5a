#include <cstring>

#include "client/core/input.h"
#include "client/core/records.h"

namespace {
MouseDeltaSource mouseDeltaOverride = nullptr;
MouseDeltaSource windowSource = nullptr;
}  // namespace

void queueTyped(uint32_t virtualKey, char character) {
    if (inputState.typedCount < 0 || inputState.typedCount >= TYPED_KEYS_KEPT) return;
    inputState.typed[inputState.typedCount++] = TypedKey{virtualKey, character};
}

int takeTyped(TypedKey* out, int max) {
    int n = inputState.typedCount < max ? inputState.typedCount : max;
    if (n < 0) n = 0;
    for (int i = 0; i < n; ++i) out[i] = inputState.typed[i];
    inputState.typedCount = 0;
    return n;
}

void releaseButtons() {
    inputState.leftButton = 0;
    inputState.rightButton = 0;
}

bool takeLeftPress() {
    bool pressed = inputState.leftButton != 0;
    releaseButtons();
    return pressed;
}

void releaseHeldInput() {
    std::memset(inputState.keys, 0, sizeof inputState.keys);
    releaseButtons();
}

void setMouseDeltaSource(MouseDeltaSource source) { mouseDeltaOverride = source; }

void setWindowMouseSource(MouseDeltaSource source) { windowSource = source; }

MouseDelta mouseDelta() {
    if (mouseDeltaOverride) return mouseDeltaOverride();
    // No window, no mouse: a headless player holds still.
    if (windowSource) return windowSource();
    return {0, 0};
}
