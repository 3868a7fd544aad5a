// mapc's texture painters: tileable procedural pictures (floor tiles, bricks,
// metal crates, tread plate, gravel, hedge), all drawn here from noise.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    int width = 256, height = 256;
    std::vector<uint8_t> rgb;  // rows top first, 3 bytes a pixel
};

// False when no painter has that name.
bool paintTexture(const std::string& painter, Picture& out);
