#include "client/match/movement.h"

#include <cmath>

#include "client/match/local_fighter.h"
#include "client/core/records.h"

void steerAndMove(LocalFighter& f, const FighterInput& in, float step) {
    auto held = [&in](uint32_t key) { return in.keys[key] != 0; };
    float h = f.body.rotation[2];
    if (held(KEY_Z)) h = h + step * TURN_KEY_RATE;
    h = h + in.turnDegrees;
    if (held(KEY_X)) h = h - step * TURN_KEY_RATE;

    double theta = headingRadians(h);
    f.forward = {float(std::cos(theta)), float(std::sin(theta)), f.forward.z};
    f.right = {float(std::sin(theta)), float(-std::cos(theta)), f.forward.z};

    f.moved = 0;
    Vec3 m;
    if (held(VK_UP) || held(KEY_W)) {
        m = f.forward;
        f.moved = 1;
    } else if (held(VK_DOWN) || held(KEY_S)) {
        m = -f.forward;
        f.moved = 1;
    }
    if (held(VK_RIGHT) || held(KEY_D)) {
        m = m + f.right;
        f.moved = 1;
    } else if (held(VK_LEFT) || held(KEY_A)) {
        m = m - f.right;
        f.moved = 1;
    }

    Vec3 target = f.body.position;
    // Forward with back held cannot cancel (forward wins), so m is never zero
    // here; a non-finite step (a broken clock) must not reach the position.
    if (f.moved && length(m) > 0.0f && std::isfinite(step)) target = target + normalize(m) * step;

    f.sphere.previous = f.body.position;
    f.body.setRotation(f.body.rotation[0], f.body.rotation[1], h);
    f.body.setPosition(target);
    f.sphere.current = f.body.position;
}
