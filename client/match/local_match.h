// The match as it plays without a server: the player's fighter in "hall", the
// camera following, the fps line. Owns its map and fighter, window and font.
#pragma once
#include <cstdint>

class Map;
class LocalFighter;

class LocalMatch {
public:
    explicit LocalMatch(int32_t chosenFighter);
    ~LocalMatch();
    LocalMatch(const LocalMatch&) = delete;
    LocalMatch& operator=(const LocalMatch&) = delete;

    void update();
    void render();

    uint8_t quitProgram = 1;  // 0 once the player leaves with Escape

private:
    Map* map = nullptr;
    LocalFighter* localFighter = nullptr;
};

// Camera 15 above a point 5.5 ahead of the fighter, turned with its heading
// so that the fighter always faces up the screen.
void placeCamera(const LocalFighter& fighter);
