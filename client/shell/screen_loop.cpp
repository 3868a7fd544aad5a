#include "client/shell/screen_loop.h"

void traceFrame(bool firstFrame) {
    if (!traceEnabled()) return;
    if (firstFrame) trace(TRACE_FIRST_FRAME, glWindow.width, glWindow.height);
    static int lastHeld = 0;
    int held = 0;
    for (uint8_t k : inputState.keys) held += k;
    if (held != lastHeld) trace(TRACE_KEYS_HELD, held);
    lastHeld = held;
    static int lastButtons = 0;
    int buttons = inputState.leftButton + inputState.rightButton;
    if (buttons != lastButtons) trace(TRACE_BUTTONS_HELD, buttons);
    lastButtons = buttons;
}
