#include "client/shell/window_proc.h"

#include "client/core/records.h"
#include "client/core/trace.h"
#include "client/shell/glwindow.h"
#include "platform/window.h"

long windowProc(const platform::Message& m) {
    using platform::MessageType;
    switch (m.type) {
    case MessageType::Create:
        platform::setCursorPos(glWindow.width / 2, glWindow.height / 2);
        return platform::defaultWindowProc(m);
    case MessageType::Size:
        resizeGlScene(int(m.lParam & 0xFFFF), int(m.lParam >> 16));
        // Mouse-look measures from the window's middle, which just moved: the
        // next reading only puts the cursor there, or it would be a turn.
        inputState.lookCentreMoved = 1;
        trace(TRACE_WINDOW_SIZE, glWindow.width, glWindow.height);
        return 0;
    case MessageType::SetFocus:
        releaseHeldInput();
        inputState.windowActive = 1;
        trace(TRACE_FOCUS, 1);
        return platform::defaultWindowProc(m);
    case MessageType::KillFocus:
        inputState.windowActive = 0;
        trace(TRACE_FOCUS, 0);
        return platform::defaultWindowProc(m);
    case MessageType::Close:
        platform::postQuitRequest();
        return 0;
    case MessageType::KeyDown:
        inputState.keys[m.wParam & 0xFF] = 1;
        queueTyped(m.wParam & 0xFF, 0);
        return 0;
    case MessageType::Char:
        queueTyped(0, char(m.wParam & 0x7F));
        return 0;
    case MessageType::KeyUp:
        inputState.keys[m.wParam & 0xFF] = 0;
        return 0;
    case MessageType::SysCommand:
        if (m.wParam == platform::SC_SCREENSAVE || m.wParam == platform::SC_MONITORPOWER) return 0;
        return platform::defaultWindowProc(m);
    case MessageType::LButtonDown: inputState.leftButton = 1; return 0;
    case MessageType::LButtonUp: inputState.leftButton = 0; return 0;
    case MessageType::RButtonDown: inputState.rightButton = 1; return 0;
    case MessageType::RButtonUp: inputState.rightButton = 0; return 0;
    default:
        return platform::defaultWindowProc(m);
    }
}

MouseDelta windowMouseDelta() {
    int x = 0, y = 0;
    platform::getCursorPos(&x, &y);
    if (inputState.mouseLook == 1) {
        int cx = glWindow.width / 2;
        int cy = glWindow.height / 2;
        platform::setCursorPos(cx, cy);
        if (inputState.lookCentreMoved) {
            inputState.lookCentreMoved = 0;
            return {0, 0};
        }
        return {x - cx, y - cy};
    }
    return {x, y};
}
