#include "client/match/remote_motion.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "client/match/fighter.h"
#include "client/net/net_client.h"
#include "platform/clock.h"
#include "platform/text.h"

namespace {
constexpr double SEND_MS = protocol::SEND_INTERVAL_MS;
// The walk is read as a straight line through the path length the states of
// this long show against their arrival times: one late or early arrival moves
// it little.
constexpr double FIT_WINDOW_MS = 250.0;
// The delay behind that line: the longest recent wait between two states (a
// state is due one interval after the last, later after a loss or on a jittery
// network) plus a margin; it shrinks back slowly once the waits are short.
constexpr double DELAY_MARGIN_MS = 5.0;
constexpr double MIN_DELAY_MS = SEND_MS + DELAY_MARGIN_MS;
constexpr double MAX_DELAY_MS = 150.0;
constexpr double DELAY_EASE_PER_MS = 0.01;
// How gently the shown point is steered to its aim, and how its speed is smoothed.
constexpr double STEER_MS = 150.0;
constexpr double SPEED_SMOOTH_MS = 60.0;
constexpr double YAW_SMOOTH_MS = 20.0;
// Heard, but the same state for this long: the player stands.
constexpr double STOPPED_AFTER_MS = 2.5 * SEND_MS;
// Not heard for this long: go on along the last direction, at most this far.
constexpr double SILENT_AFTER_MS = 2.0 * SEND_MS;
constexpr double EXTRAPOLATE_MS = 60.0;
// Heard standing this long: an overshoot from going on is put right.
constexpr double SETTLE_AFTER_MS = 500.0;
// A state from where the player jumped from, this soon after, is a late one.
constexpr double LATE_AFTER_JUMP_MS = 400.0;
// Further behind than this and the shown point jumps to where it should be.
constexpr double MAX_LAG_UNITS = 2.0;
// A walk covers at most this (the fastest skin, with room for a push), and
// a jump further than the slack plus that walk is a respawn: shown at once.
constexpr double MAX_WALK_PER_MS = 0.012;
constexpr double TELEPORT_SLACK = 1.0;
constexpr double TELEPORT_GAP_CAP_MS = 1000.0;
// A state this near the path already walked, and not ahead, is a late one.
constexpr double LATE_TOLERANCE = 0.1;
constexpr int LATE_SEGMENTS = 12;
// States arrive up to about this late (a jittery network, the server
// relaying what it last had): one on the path walked no further back than
// the walk covers in that time is a late one. Further back, the player has
// really turned round.
constexpr double LATE_MS = 150.0;
constexpr double MIN_LATE_DISTANCE = 0.3;
// Beyond these a position or heading is nonsense.
constexpr float MAX_COORDINATE = 1.0e5f;
constexpr float MAX_HEADING = 1.0e6f;

bool sane(float x, float y, float yaw) {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(yaw) &&
           std::fabs(x) <= MAX_COORDINATE && std::fabs(y) <= MAX_COORDINATE &&
           std::fabs(yaw) <= MAX_HEADING;
}

double wrapDegrees(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// The turn from a to b the short way round, in (-180, 180].
double turnBetween(double a, double b) {
    double d = wrapDegrees(b - a);
    return d > 180.0 ? d - 360.0 : d;
}

double blend(double smoothingMs, double dt) { return 1.0 - std::exp(-dt / smoothingMs); }

double distanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax, dy = by - ay;
    double len2 = dx * dx + dy * dy;
    double u = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(px - (ax + u * dx), py - (ay + u * dy));
}
}  // namespace

const RemoteMotion::Sample& RemoteMotion::sample(int back) const {
    return samples[(newest - back + HISTORY) % HISTORY];
}

void RemoteMotion::reset() {
    count = 0;
    newest = -1;
    clientId[0] = '\0';
    arrivalsSeen = 0;
    framed = false;
    jumped = false;
}

double RemoteMotion::delayMs() const {
    return std::clamp(longestWait + DELAY_MARGIN_MS, MIN_DELAY_MS, MAX_DELAY_MS);
}

void RemoteMotion::fitWalk() {
    // Least squares of path length against arrival time, times from the newest.
    const Sample& n = sample(0);
    int used = 0;
    double st = 0, sa = 0, stt = 0, sta = 0;
    for (int k = 0; k < count; ++k) {
        const Sample& s = sample(k);
        if (used >= 3 && n.t - s.t > FIT_WINDOW_MS) break;
        double t = s.t - n.t, a = s.arc - n.arc;
        st += t;
        sa += a;
        stt += t * t;
        sta += t * a;
        ++used;
    }
    double det = double(used) * stt - st * st;
    if (used < 2 || det <= 1e-9) {
        speed = 0;
        lineAtNewest = n.arc;
        return;
    }
    speed = std::max(0.0, (double(used) * sta - st * sa) / det);
    lineAtNewest = n.arc + (sa - speed * st) / double(used);
}

void RemoteMotion::restartAt(float x, float y, float yaw, double t) {
    count = 1;
    newest = 0;
    samples[0] = Sample{t, 0.0, x, y, yaw};
    heardAt = t;
    speed = 0;
    lineAtNewest = 0;
    shownArc = 0;
    shownSpeed = 0;
    shownYaw = yaw;
    framed = false;
    // The unevenness seen so far still holds for the network after a respawn.
}

bool RemoteMotion::liesOnWalkedPath(float x, float y) const {
    const Sample& n = sample(0);
    int k = 1;
    while (k < count && sample(k).arc >= n.arc - 1e-4) ++k;
    if (k >= count) return false;  // no walk yet, only turns on the spot
    const Sample& m = sample(k);
    double dx = n.x - m.x, dy = n.y - m.y;
    double along = ((x - m.x) * dx + (y - m.y) * dy) / (dx * dx + dy * dy);
    if (along >= 1.0 - 1e-3) return false;  // ahead of the newest: news
    // Behind even the oldest state held, on the line walked.
    if (std::fabs((x - m.x) * dy - (y - m.y) * dx) / std::hypot(dx, dy) <= LATE_TOLERANCE)
        return true;
    for (int i = 0; i + 1 < count && i < LATE_SEGMENTS; ++i) {
        const Sample& b = sample(i);
        const Sample& a = sample(i + 1);
        if (distanceToSegment(x, y, a.x, a.y, b.x, b.y) <= LATE_TOLERANCE) return true;
    }
    return false;
}

void RemoteMotion::received(float x, float y, float yawIn, double t) {
    if (!sane(x, y, yawIn)) return;
    float yaw = float(wrapDegrees(yawIn));
    if (count == 0) {
        restartAt(x, y, yaw, t);
        return;
    }
    Sample& n = samples[newest];
    if (x == n.x && y == n.y && yaw == n.yaw) {
        heardAt = std::max(heardAt, t);
        return;
    }
    double gap = std::max(0.0, t - n.t);
    double step = std::hypot(double(x) - n.x, double(y) - n.y);
    if (step > TELEPORT_SLACK + MAX_WALK_PER_MS * std::min(gap, TELEPORT_GAP_CAP_MS)) {
        // Just after a jump, a state from near where it jumped from is a late one.
        double fromLeft = std::hypot(double(x) - left.x, double(y) - left.y);
        if (jumped && t - left.t <= LATE_AFTER_JUMP_MS &&
            fromLeft <= TELEPORT_SLACK + MAX_WALK_PER_MS * LATE_AFTER_JUMP_MS)
            return;
        left = n;
        left.t = t;
        jumped = true;
        restartAt(x, y, yaw, t);
        return;
    }
    if (liesOnWalkedPath(x, y)) {
        heardAt = std::max(heardAt, t);
        if (step <= std::max(MIN_LATE_DISTANCE, speed * LATE_MS)) return;
    }
    Sample* last = &n;
    // Two states out of order as the first ones, or one late state between
    // two: the path would double back through a spike. The spike goes.
    if (count >= 2) {
        const Sample& m = sample(1);
        double dx = n.x - m.x, dy = n.y - m.y;
        double len = std::hypot(dx, dy);
        if (len > 1e-4 && (x - m.x) * dx + (y - m.y) * dy < 0 &&
            std::fabs((x - m.x) * dy - (y - m.y) * dx) / len <= LATE_TOLERANCE) {
            shownArc = std::min(shownArc, m.arc);
            newest = (newest - 1 + HISTORY) % HISTORY;
            count -= 1;
            last = &samples[newest];
            step = std::hypot(double(x) - last->x, double(y) - last->y);
        }
    }
    // A player who stood still was there until the last repeat we heard.
    if (heardAt - last->t > STOPPED_AFTER_MS) last->t = heardAt;
    double wait = t - last->t;
    longestWait = std::max(wait, longestWait - DELAY_EASE_PER_MS * std::max(0.0, wait));

    Sample s{std::max(t, last->t), last->arc + step, x, y, yaw};
    newest = (newest + 1) % HISTORY;
    samples[newest] = s;
    count = std::min(count + 1, HISTORY);
    heardAt = std::max(heardAt, t);
    fitWalk();
}

void RemoteMotion::pointAtArc(double a, float* x, float* y, float* yaw) const {
    const Sample& n = sample(0);
    if (a >= n.arc) {
        // Beyond the newest: on along the last direction walked.
        double dx = 0, dy = 0;
        for (int k = 1; k < count; ++k) {
            const Sample& m = sample(k);
            double len = n.arc - m.arc;
            if (len > 1e-4) {
                dx = (n.x - m.x) / len;
                dy = (n.y - m.y) / len;
                break;
            }
        }
        *x = float(n.x + dx * (a - n.arc));
        *y = float(n.y + dy * (a - n.arc));
        *yaw = n.yaw;
        return;
    }
    for (int k = 0; k + 1 < count; ++k) {
        const Sample& b = sample(k);
        const Sample& p = sample(k + 1);
        if (a < p.arc) continue;
        double len = b.arc - p.arc;
        double f = len > 1e-9 ? (a - p.arc) / len : 1.0;
        *x = float(p.x + (b.x - p.x) * f);
        *y = float(p.y + (b.y - p.y) * f);
        *yaw = float(wrapDegrees(p.yaw + turnBetween(p.yaw, b.yaw) * f));
        return;
    }
    const Sample& oldest = sample(count - 1);
    *x = oldest.x;
    *y = oldest.y;
    *yaw = oldest.yaw;
}

bool RemoteMotion::shownAt(double now, ShownPose* out) {
    if (count == 0) return false;
    const Sample& n = sample(0);
    double dt = framed ? std::max(0.0, now - lastFrame) : 0.0;
    // Two states tell no direction (the first may be the later one): it
    // starts moving with the third, or once heard standing.
    lastFrame = now;
    bool firstFrame = !framed;
    framed = true;

    bool stopped = heardAt - n.t > STOPPED_AFTER_MS;
    bool silent = now - heardAt > SILENT_AFTER_MS;
    if (count < 3 && !stopped) dt = 0;
    double v = stopped ? 0.0 : speed;
    // Aim: where the walk's line was the delay ago.
    double aim = stopped ? n.arc : lineAtNewest + v * (now - n.t - delayMs());
    double limit = n.arc + (silent && !stopped ? v * EXTRAPOLATE_MS : 0.0);
    double before = shownArc;
    if (aim - shownArc > MAX_LAG_UNITS) {
        shownArc = std::max(before, std::min(aim, limit));
        shownSpeed = v;
    }
    // Step at the speed so far, then steer the speed by how far from the aim that left it.
    shownArc += shownSpeed * dt;
    double wanted = std::max(0.0, v + (aim - shownArc) / STEER_MS);
    shownSpeed += (wanted - shownSpeed) * blend(SPEED_SMOOTH_MS, dt);
    // At the end of what is known it waits, never steps back: after going on
    // through a silence it stands until the path catches up, unless the
    // player has stood still for a good while, when it takes its place.
    if (shownArc > limit) {
        shownArc = std::max(before, limit);
        shownSpeed = std::min(shownSpeed, v);
    }
    if (heardAt - n.t > SETTLE_AFTER_MS && shownArc > n.arc) shownArc = n.arc;
    float x, y, yaw;
    pointAtArc(shownArc, &x, &y, &yaw);
    if (firstFrame) shownYaw = yaw;
    else shownYaw = wrapDegrees(shownYaw + turnBetween(shownYaw, yaw) * blend(YAW_SMOOTH_MS, dt));
    out->x = x;
    out->y = y;
    out->yaw = float(shownYaw);
    return true;
}

void placeShownRemotes(NetClient& net, Fighter* const fighters[protocol::SLOT_COUNT],
                       RemoteMotion motions[protocol::SLOT_COUNT], uint32_t now,
                       bool shown[protocol::SLOT_COUNT]) {
    for (int i = 0; i < protocol::SLOT_COUNT; ++i) {
        RemoteMotion& motion = motions[i];
        Fighter* f = fighters[i];
        shown[i] = false;
        if (!f) {
            motion.reset();
            continue;
        }
        SlotArrival arrival;
        protocol::RemoteState s = net.remoteState(i, &arrival);
        if (std::strcmp(motion.clientId, s.clientId) != 0) {
            motion.reset();
            platform::copyText(motion.clientId, s.clientId);
        }
        if (arrival.count != motion.arrivalsSeen) {
            motion.arrivalsSeen = arrival.count;
            double arrived = double(now) - double(platform::elapsedMs(now, arrival.atMs));
            motion.received(s.x, s.y, s.yaw, arrived);
        }
        ShownPose pose;
        if (!motion.shownAt(double(now), &pose)) continue;
        shown[i] = true;
        f->body.setPosition(pose.x, pose.y, 0.0f);
        f->body.setRotation(0.0f, 0.0f, pose.yaw);
    }
}
