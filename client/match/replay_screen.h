// The viewer: one recording played in the match window, drawn as a match is
// (the map, every fighter, beams and deaths, event messages, the scoreboard
// on Tab), the camera following one player as the match camera follows ours,
// or free overhead. Space pauses, -/+ set the speed (0.25x to 8x), Left/Right
// seek 10 s, 1-9 or a click on a name pick whom to follow, F frees the
// camera (movement keys pan, Page Up/Down zoom), a click on the timeline
// jumps there, F12 takes a screenshot, Escape goes back to the Replays page.
// The screen owns its map, its playback and its window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "client/assets/sound.h"
#include "client/match/replay_playback.h"

class Map;

// The timeline along the bottom of the window, in window pixels counted up
// from the bottom edge; its x range maps onto the recording's length.
struct TimelineBox {
    int x0, x1, y0, y1;
};
TimelineBox timelineBox(int width, int height);
// The recording time under window x on the timeline.
uint32_t timelineTimeAt(const TimelineBox& box, int x, uint32_t lengthMs);

class ReplayScreen {
public:
    explicit ReplayScreen(const char* path);
    ~ReplayScreen();
    ReplayScreen(const ReplayScreen&) = delete;
    ReplayScreen& operator=(const ReplayScreen&) = delete;

    void update();
    void render();

    uint8_t quitProgram = 1;  // 0 once the player leaves with Escape
    ReplayPlayback playback;
    Map* map = nullptr;
    bool hasVideo = false;
    int following = -1;  // the player number followed; -1: free camera
    float freeX = 0, freeY = 0, freeHeight = 30.0f;
    std::vector<uint32_t> killMarks;  // times of the kills, for the timeline

private:
    void takeKeys();
    void takeClick();
    void follow(int player);
    void seekTo(uint32_t ms);
    void placeViewCamera();
    void queueHud();
    void drawTimeline();
    uint32_t tracedAt = 0;
    uint32_t boardUntil = 0;
    bool firstFrame = true;
    Sound shotSound = nullptr, squishSound = nullptr;  // playback ms: the scoreboard stands after a round's end
    std::vector<PlaybackEvent> events;
};
