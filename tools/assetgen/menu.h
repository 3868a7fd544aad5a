// The menu's full-window pictures (640 x 480, 24-bit): splash, main page,
// fighter choice and credits, with their text painted in from DejaVu fonts
// and every button drawn exactly over the rectangle the menu reacts to.
#pragma once
#include <string>

bool writeMenuPictures(const std::string& folder, const std::string& fontFolder);

// The fighter-choice page as a PNG: what a software catalogue shows of the game.
bool writeMenuScreenshot(const std::string& path, const std::string& fontFolder);
