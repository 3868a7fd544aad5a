// The game's sounds: four synthesised effects (22050 Hz mono WAV) and three
// music loops (Ogg Vorbis) whose end runs seamlessly into their start.
#pragma once
#include <string>

bool writeEffects(const std::string& folder);
bool writeMusic(const std::string& folder);
