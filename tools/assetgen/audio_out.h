// Writing sound files: 16-bit PCM WAV, and Ogg Vorbis through libvorbisenc
// with a fixed stream serial so the same samples give the same bytes.
#pragma once
#include <string>
#include <vector>

constexpr int SAMPLE_RATE = 22050;

bool writeWav(const std::string& path, const std::vector<float>& mono);
// Interleaved stereo (left, right, left, ...), samples in -1..1.
bool writeOgg(const std::string& path, const std::vector<float>& stereo, float quality);
