// Another player as drawn: a walker at 8 units a second sending every 20 ms,
// its states arriving in order, out of order, not at all or as nonsense, and
// frames at the rates players run. What is shown must glide evenly, never step
// back, turn the short way, jump at once on a respawn and never be nonsense.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "client/match/remote_motion.h"

namespace {

constexpr double SPEED = 0.008;  // units per ms

struct Shown {
    double t;
    ShownPose pose;
};

// The walker along +x from the origin, each state sent at 20 k ms and
// delivered `late` ms after; frames every `frameMs` until `untilMs`.
std::vector<Shown> watch(RemoteMotion& m, const std::vector<std::pair<int, double>>& deliveries,
                         double frameMs, double untilMs) {
    std::vector<Shown> shown;
    size_t next = 0;
    for (double t = 0; t < untilMs; t += frameMs) {
        while (next < deliveries.size() && deliveries[next].second <= t) {
            int k = deliveries[next].first;
            m.received(float(SPEED * 20 * k), 0.0f, 270.0f, deliveries[next].second);
            ++next;
        }
        ShownPose p;
        if (m.shownAt(t, &p)) shown.push_back({t, p});
    }
    return shown;
}

// Coefficient of variation of the per-frame steps, and the backward steps,
// from `fromMs` on.
std::pair<double, int> evenness(const std::vector<Shown>& shown, double fromMs) {
    std::vector<double> steps;
    int backward = 0;
    for (size_t i = 1; i < shown.size(); ++i) {
        if (shown[i].t < fromMs) continue;
        double step = shown[i].pose.x - shown[i - 1].pose.x;
        if (step < -1e-6) ++backward;
        steps.push_back(step);
    }
    double mean = 0, var = 0;
    for (double s : steps) mean += s;
    mean /= double(steps.size());
    for (double s : steps) var += (s - mean) * (s - mean);
    return {std::sqrt(var / double(steps.size())) / mean, backward};
}

TEST(RemoteMotion, AWalkerGlidesEvenlyAtEveryFrameRateCloseBehind) {
    for (double frameMs : {1000.0 / 60, 1000.0 / 144, 4.0}) {
        RemoteMotion m;
        std::vector<std::pair<int, double>> d;
        for (int k = 0; k < 150; ++k) d.push_back({k, 20.0 * k + 1});
        std::vector<Shown> shown = watch(m, d, frameMs, 3000);
        auto [cv, backward] = evenness(shown, 1000);
        SCOPED_TRACE(frameMs);
        EXPECT_LT(cv, 0.1);
        EXPECT_EQ(backward, 0);
        // Close behind the truth: the kill radius is 0.56.
        double truth = SPEED * (shown.back().t);
        EXPECT_LT(truth - shown.back().pose.x, 0.3);
        EXPECT_GT(truth - shown.back().pose.x, 0.0);
    }
}

TEST(RemoteMotion, LateAndSwappedStatesNeverPullItBack) {
    RemoteMotion m;
    std::vector<std::pair<int, double>> d;
    for (int k = 0; k < 150; ++k) {
        // Every fourth pair swapped, the later one 15 ms behind; some bunched.
        double at = 20.0 * k + 30 + (k % 4 == 1 ? 15.0 : 0.0) + (k % 7 == 0 ? 12.0 : 0.0);
        d.push_back({k, at});
    }
    std::sort(d.begin(), d.end(), [](auto& a, auto& b) { return a.second < b.second; });
    std::vector<Shown> shown = watch(m, d, 1000.0 / 144, 3000);
    auto [cv, backward] = evenness(shown, 500);
    EXPECT_EQ(backward, 0);
    EXPECT_LT(cv, 0.2);
}

TEST(RemoteMotion, HeadingTurnsTheShortWayRoundThroughNorth) {
    RemoteMotion m;
    ShownPose p;
    for (int k = 0; k <= 20; ++k) {
        // Turning on the spot from 350 to 10 degrees, written as 350..370.
        m.received(1.0f, 1.0f, 350.0f + float(k), 20.0 * k);
        for (int f = 0; f < 5; ++f) {
            ASSERT_TRUE(m.shownAt(20.0 * k + 4 * f, &p));
            EXPECT_TRUE(p.yaw >= 349.0f || p.yaw <= 11.0f) << p.yaw;
        }
    }
    for (int f = 0; f < 50; ++f) m.shownAt(420.0 + 4 * f, &p);
    EXPECT_NEAR(p.yaw, 10.0f, 0.5f);
}

TEST(RemoteMotion, ARespawnIsShownAtOnceAndNonsenseNever) {
    RemoteMotion m;
    ShownPose p;
    float nan = std::numeric_limits<float>::quiet_NaN();
    float inf = std::numeric_limits<float>::infinity();
    m.received(nan, 0.0f, 0.0f, 0);
    m.received(1e30f, 0.0f, 0.0f, 1);
    EXPECT_FALSE(m.shownAt(2, &p)) << "nothing sane arrived: nothing drawn";

    for (int k = 0; k < 20; ++k) m.received(float(SPEED * 20 * k), 0.0f, 90.0f, 20.0 * k);
    for (double t = 380; t < 400; t += 4) m.shownAt(t, &p);
    float before = p.x;
    // Nonsense beside sane fields: none of it may pull the walker off its line.
    m.received(inf, 0.5f, 90.0f, 400);
    m.received(3.2f, nan, 90.0f, 401);
    m.received(3.2f, 0.5f, 1e9f, 402);
    m.received(3.2f, 0.5f, -inf, 403);
    ASSERT_TRUE(m.shownAt(404, &p));
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.yaw));
    EXPECT_GE(p.x, before);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_NEAR(p.yaw, 90.0f, 0.01f);

    m.received(-30.0f, 12.0f, 180.0f, 420);  // a respawn point across the map
    ASSERT_TRUE(m.shownAt(421, &p));
    EXPECT_FLOAT_EQ(p.x, -30.0f);
    EXPECT_FLOAT_EQ(p.y, 12.0f);
    EXPECT_FLOAT_EQ(p.yaw, 180.0f);
}

TEST(RemoteMotion, AWalkerWhoStopsComesToRestWhereHeStoppedAndSilenceIsBrief) {
    // Stops at state 50; the server goes on relaying that state every 20 ms.
    RemoteMotion m;
    ShownPose p;
    double stopX = SPEED * 20 * 50;
    float furthest = 0;
    for (int f = 0; f < 600; ++f) {
        double t = 4.0 * f;
        if (f % 5 == 0) {
            int k = std::min(f / 5, 50);
            m.received(float(SPEED * 20 * k), 0.0f, 270.0f, t);
        }
        m.shownAt(t, &p);
        furthest = std::max(furthest, p.x);
    }
    EXPECT_LE(furthest, stopX + 1e-4);
    EXPECT_NEAR(p.x, stopX, 1e-4);

    // States stop altogether mid-walk: it goes on only a little, then stands.
    RemoteMotion s;
    for (int k = 0; k < 50; ++k) s.received(float(SPEED * 20 * k), 0.0f, 270.0f, 20.0 * k);
    for (double t = 980; t < 2000; t += 4) s.shownAt(t, &p);
    EXPECT_LT(p.x, SPEED * 20 * 49 + SPEED * 80);
    ShownPose later;
    s.shownAt(2100, &later);
    EXPECT_FLOAT_EQ(later.x, p.x);
}

}  // namespace
