// mapc's picture writers: uncompressed true-colour Targa and baseline JPEG.
#pragma once
#include <string>

#include "painters.h"

bool writeTga(const std::string& path, const Picture& picture);
bool writeJpeg(const std::string& path, const Picture& picture, int quality);
