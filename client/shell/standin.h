// Placeholder screens that keep the program running end to end until the real
// menu and match exist: each opens its window, clears it every frame and
// answers the keys a player would try.
#pragma once
#include <cstdint>

class StandInMenu {
public:
    explicit StandInMenu(bool firstRun);
    ~StandInMenu();
    void update();
    void render();

    uint8_t quitProgram = 1;
    int32_t chosenFighter = 0;

private:
    bool firstFrame = true;
    int heldKeys = 0;
};

class StandInMatch {
public:
    explicit StandInMatch(int32_t chosenFighter);
    ~StandInMatch();
    void update();
    void render();

    uint8_t quitProgram = 1;

private:
    bool firstFrame = true;
    int heldKeys = 0;
};
