// The match as it plays without a server: the "hall" map, the player's own
// fighter walking, colliding and firing in it, the camera following, and the
// fps line. Owns its map and fighter; the window and font live as long as it.
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
