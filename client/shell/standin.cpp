#include "client/shell/standin.h"

#include <GL/gl.h>

#include "client/shell/glwindow.h"
#include "client/shell/input.h"
#include "client/shell/settings.h"
#include "client/shell/trace.h"
#include "platform/window.h"

StandInMatch::StandInMatch(int32_t chosenFighter) {
    quitProgram = 1;
    initMatchVideo();
    mouseLookFactor = float(settingsCopy().mouseSensitivity + 1) * 0.1f;
    inputState.mouseLook = 1;
    trace("match opened fighter=%d name=%s", chosenFighter, settingsCopy().playerName);
}

StandInMatch::~StandInMatch() {
    killGlWindow();
    trace("match closed");
}

void StandInMatch::update() {
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
