#include "client/shell/screen_loop.h"

#include "client/core/trace.h"

void traceFrame(bool firstFrame) {
    if (!traceEnabled()) return;
    if (firstFrame) trace(TRACE_FIRST_FRAME, glWindow.width, glWindow.height);
    TraceRecord& traced = processRecords.trace;
    int held = 0;
    for (uint8_t k : inputState.keys) held += k;
    if (held != traced.keysHeld) trace(TRACE_KEYS_HELD, held);
    traced.keysHeld = held;
    int buttons = inputState.leftButton + inputState.rightButton;
    if (buttons != traced.buttonsHeld) trace(TRACE_BUTTONS_HELD, buttons);
    traced.buttonsHeld = buttons;
}
