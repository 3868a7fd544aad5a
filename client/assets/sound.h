// Effects and music over SDL_mixer, on fixed channels. Every operation does
// nothing while audio is unavailable or when given no sound, so the rest of
// the game never has to care whether sound works. A Sound is owned by whoever
// loaded it and released with freeSound.
#pragma once
#include <cstdint>

struct Mix_Chunk;
using Sound = Mix_Chunk*;  // nullptr: none

// Fixed channels: 0 music (loops), 1 footstep and menu click, 2 shot, 3 squish.
enum : int {
    CHANNEL_MUSIC = 0,
    CHANNEL_STEP = 1,
    CHANNEL_SHOT = 2,
    CHANNEL_SQUISH = 3,
};

// 1 until audio start-up fails; process lifetime.
extern uint8_t audioAvailable;

void initAudio();
// Loads a WAV or Ogg file whole, at the effects volume (volume setting x 12).
void loadSound(Sound& destination, const char* path);
void playSound(Sound sound, int channel);  // channel 0 loops for ever, others play once
void haltChannel(int channel);
void setSoundVolume(Sound sound, int volume);
void freeSound(Sound sound);
