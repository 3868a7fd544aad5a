#include "client/shell/standin.h"

#include <GL/gl.h>

#include "client/shell/glwindow.h"
#include "client/shell/input.h"
#include "client/shell/settings.h"
#include "client/shell/trace.h"
#include "platform/window.h"

namespace {

int countHeldKeys() {
    int n = 0;
    for (uint8_t k : inputState.keys) n += k;
    return n;
}

// Traces the number of held keys whenever it changes, so a tester can see
// what the window procedure recorded.
void traceHeldKeys(const char* screen, int* last) {
    int now = countHeldKeys();
    if (now != *last) trace("%s keys held %d", screen, now);
    *last = now;
}

}  // namespace

StandInMenu::StandInMenu(bool firstRun) {
    quitProgram = 1;
    initMenuVideo();
    inputState.mouseLook = 0;
    trace("menu opened firstRun=%d", firstRun ? 1 : 0);
}

StandInMenu::~StandInMenu() {
    killGlWindow();
    trace("menu closed");
}

void StandInMenu::update() {
    if (firstFrame) trace("menu first frame %dx%d", glWindow.width, glWindow.height);
    firstFrame = false;
    traceHeldKeys("menu", &heldKeys);
    // Enter or a click picks the first fighter.
    if (inputState.keys[0x0D] || inputState.leftButton) {
        quitProgram = 0;
        chosenFighter = 0;
        platform::postQuitRequest();
    }
    inputState.leftButton = 0;
    inputState.rightButton = 0;
}

void StandInMenu::render() {
    glClearColor(0.10f, 0.18f, 0.30f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    platform::swapBuffers(glWindow.hdc);
}

StandInMatch::StandInMatch(int32_t chosenFighter) {
    quitProgram = 1;
    initMatchVideo();
    mouseLookFactor = float(settingsCopy().mouseSensitivity + 1) * 0.1f;
    inputState.mouseLook = 1;
    trace("match opened fighter=%d", chosenFighter);
}

StandInMatch::~StandInMatch() {
    killGlWindow();
    trace("match closed");
}

void StandInMatch::update() {
    if (firstFrame) trace("match first frame %dx%d", glWindow.width, glWindow.height);
    firstFrame = false;
    traceHeldKeys("match", &heldKeys);
    mouseDelta();
    if (inputState.keys[VK_ESCAPE]) {
        quitProgram = 0;
        platform::postQuitRequest();
    }
}

void StandInMatch::render() {
    glClearColor(0.20f, 0.12f, 0.08f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    platform::swapBuffers(glWindow.hdc);
}
