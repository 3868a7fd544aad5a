// Turning and walking the local fighter from the keys held: no velocity, no
// gravity; each frame's displacement comes straight from keys, speed and time.
#pragma once

class LocalFighter;
struct FighterInput;

constexpr float TURN_KEY_RATE = 30.0f;  // degrees of heading per unit of step

// Turns by keys (Z left, X right) and by the input's mouse turn, then moves by
// step units along the held directions (forward beats back, right beats left;
// diagonals are no faster). Leaves sphere.previous/current around the move.
void steerAndMove(LocalFighter& fighter, const FighterInput& in, float step);
