// How another player's walk looks on our screen. A sender walks at 8 units a
// second, straight for 6 s and then turning at 60 degrees a second, and sends
// its state every 20 ms; a simulated network delivers the states (no fault,
// 5 % loss, 50 +- 20 ms jitter, 25 % reordered) to frames running at 60, 144
// and 250 a second. Each frame takes the newest arrival, as the game's frame
// does, and is drawn two ways side by side: "mirror" shows the newest state
// (the old drawing), "smooth" the RemoteMotion. Per row: the coefficient of
// variation of the per-frame displacement, the frames that step backwards,
// the error against the sender's true position (median, p95, units) and how
// far behind the true walk the drawing is (median, ms; the network's own
// latency included, which is 1 ms without faults).
// Usage: motion_bench [seconds per row]   (default 12)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "client/match/remote_motion.h"

namespace {

constexpr double SPEED = 0.008;       // units per ms
constexpr double TURN_RATE = 0.06;    // degrees per ms, after the straight part
constexpr double STRAIGHT_MS = 6000;
constexpr double SEND_MS = 20;
constexpr double WARM_UP_MS = 500;

struct Point {
    double x, y, yaw;
};

// The sender's true place at time t (heading 0 faces +y, turning left).
Point truth(double t) {
    if (t <= STRAIGHT_MS) return {0.0, SPEED * t, 0.0};
    double radius = SPEED / (TURN_RATE * M_PI / 180.0);
    double angle = (t - STRAIGHT_MS) * TURN_RATE * M_PI / 180.0;
    double y0 = SPEED * STRAIGHT_MS;
    return {-radius * (1 - std::cos(angle)), y0 + radius * std::sin(angle),
            std::fmod((t - STRAIGHT_MS) * TURN_RATE, 360.0)};
}

enum class Fault { None, Loss, Jitter, Reorder };
const char* faultName(Fault f) {
    switch (f) {
    case Fault::None: return "no fault";
    case Fault::Loss: return "loss 5%";
    case Fault::Jitter: return "jitter 50+-20";
    case Fault::Reorder: return "reorder 25%";
    }
    return "";
}

struct Delivery {
    double arrive;
    Point p;
};

std::vector<Delivery> deliver(Fault fault, double untilMs, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Delivery> out;
    for (double sent = 0; sent < untilMs; sent += SEND_MS) {
        double latency = 1.0;
        if (fault == Fault::Loss && unit(rng) < 0.05) continue;
        if (fault == Fault::Jitter) latency = 30.0 + 40.0 * unit(rng);
        // Held back long enough for the next state to overtake it.
        if (fault == Fault::Reorder && unit(rng) < 0.25) latency += 1.5 * SEND_MS;
        out.push_back({sent + latency, truth(sent)});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Delivery& a, const Delivery& b) { return a.arrive < b.arrive; });
    return out;
}

struct Figures {
    double cv = 0;
    int backward = 0;
    double errorMedian = 0, error95 = 0, delayMedian = 0;
};

double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[size_t(q * double(v.size() - 1))];
}

// How long ago the true walk passed nearest the shown point.
double behindMs(double t, const Point& shown) {
    double best = 0, bestDistance = 1e9;
    for (double back = 0; back <= 400; back += 0.25) {
        Point p = truth(std::max(0.0, t - back));
        double d = std::hypot(p.x - shown.x, p.y - shown.y);
        if (d < bestDistance) {
            bestDistance = d;
            best = back;
        }
    }
    return best;
}

Figures measure(const std::vector<double>& times, const std::vector<Point>& shown) {
    Figures f;
    std::vector<double> steps, errors, delays;
    for (size_t i = 1; i < shown.size(); ++i) {
        if (times[i] < WARM_UP_MS) continue;
        double dx = shown[i].x - shown[i - 1].x, dy = shown[i].y - shown[i - 1].y;
        steps.push_back(std::hypot(dx, dy));
        // Backwards: against the way the sender walked a little earlier.
        Point a = truth(times[i] - 60), b = truth(times[i] - 59);
        if (dx * (b.x - a.x) + dy * (b.y - a.y) < -1e-9) f.backward += 1;
        Point p = truth(times[i]);
        errors.push_back(std::hypot(p.x - shown[i].x, p.y - shown[i].y));
        if (i % 4 == 0) delays.push_back(behindMs(times[i], shown[i]));
    }
    double mean = 0, var = 0;
    for (double s : steps) mean += s;
    mean /= double(steps.size());
    for (double s : steps) var += (s - mean) * (s - mean);
    f.cv = std::sqrt(var / double(steps.size())) / mean;
    f.errorMedian = quantile(errors, 0.5);
    f.error95 = quantile(errors, 0.95);
    f.delayMedian = quantile(delays, 0.5);
    return f;
}

void row(Fault fault, double fps, double untilMs) {
    std::vector<Delivery> arrivals = deliver(fault, untilMs, 24u + uint32_t(fault));
    RemoteMotion motion;
    std::vector<double> times;
    std::vector<Point> mirrored, smoothed;
    Point newest{0, 0, 0};
    bool any = false;
    size_t next = 0;
    double frameMs = 1000.0 / fps;
    for (double t = 0; t < untilMs; t += frameMs) {
        // The frame sees only the newest arrival since the last frame.
        bool arrived = false;
        double arrivedAt = 0;
        while (next < arrivals.size() && arrivals[next].arrive <= t) {
            newest = arrivals[next].p;
            arrivedAt = arrivals[next].arrive;
            arrived = any = true;
            ++next;
        }
        if (!any) continue;
        if (arrived) motion.received(float(newest.x), float(newest.y), float(newest.yaw), arrivedAt);
        ShownPose pose;
        motion.shownAt(t, &pose);
        times.push_back(t);
        mirrored.push_back(newest);
        smoothed.push_back({pose.x, pose.y, pose.yaw});
    }
    Figures m = measure(times, mirrored), s = measure(times, smoothed);
    std::printf("%-14s %4.0f | %5.2f %5d %6.3f %6.3f %6.1f | %5.3f %5d %6.3f %6.3f %6.1f %6.1f\n",
                faultName(fault), fps, m.cv, m.backward, m.errorMedian, m.error95, m.delayMedian,
                s.cv, s.backward, s.errorMedian, s.error95, s.delayMedian, motion.delayMs());
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 12.0;
    if (seconds < 2) seconds = 2;
    std::printf("remote motion, sender at 8 units/s, states every 20 ms, %.0f s a row\n", seconds);
    std::printf("%-14s %4s | %-36s | %s\n", "", "", "mirror (newest state)",
                "smooth (RemoteMotion)");
    std::printf("%-14s %4s | %5s %5s %6s %6s %6s | %5s %5s %6s %6s %6s %6s\n", "network", "fps",
                "cv", "back", "err50", "err95", "ms", "cv", "back", "err50", "err95", "ms",
                "aim");
    for (Fault f : {Fault::None, Fault::Loss, Fault::Jitter, Fault::Reorder})
        for (double fps : {60.0, 144.0, 250.0}) row(f, fps, seconds * 1000.0);
    std::printf("ms: median time the drawing is behind the sender's true walk; aim: the\n"
                "smoothed drawing's delay behind the newest state at the end of the row.\n");
    return 0;
}
