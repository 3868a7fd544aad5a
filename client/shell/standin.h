// A placeholder match screen that keeps the program running end to end until
// the real match exists: it opens the match window, clears it every frame and
// goes back to the menu on Escape.
#pragma once
#include <cstdint>

class StandInMatch {
public:
    explicit StandInMatch(int32_t chosenFighter);
    ~StandInMatch();
    void update();
    void render();

    uint8_t quitProgram = 1;
};
