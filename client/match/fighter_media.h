// The seam between fighter logic and the machine (textures, sounds, drawing):
// silent defaults run without a window; useGlFighterMedia() plugs in GL and audio.
#pragma once
#include <cstdint>

#include "client/assets/sound.h"

struct Fighter;
class LocalFighter;

struct FighterMedia {
    uint32_t (*loadTexture)(const char* path);  // 0: none
    void (*deleteTexture)(uint32_t texture);
    Sound (*loadSound)(const char* path);
    void (*playSound)(Sound sound, int channel);
    void (*freeSound)(Sound sound);
    void (*drawFighter)(const Fighter& fighter);
    void (*drawLocalFighter)(const LocalFighter& fighter);
};

// Process lifetime; set before the first fighter is made and left alone while
// any exists (a texture must be deleted by the loader that made it).
extern FighterMedia fighterMedia;

// The silent defaults, for tests that replaced single entries.
FighterMedia silentFighterMedia();
// Real textures, sounds and GL drawing (the drawing library); needs a window.
void useGlFighterMedia();
