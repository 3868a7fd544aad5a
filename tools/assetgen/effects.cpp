#include <cmath>
#include <vector>

#include "audio_out.h"
#include "rng.h"
#include "sounds.h"

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float DT = 1.0f / SAMPLE_RATE;

// A short fade-in so a restarted sound never clicks, a fade-out to silence,
// then the peak at -1 dBFS.
void finish(std::vector<float>& s) {
    size_t in = SAMPLE_RATE / 1000, out = SAMPLE_RATE / 200;
    for (size_t i = 0; i < s.size(); ++i) {
        if (i < in) s[i] *= float(i) / in;
        if (i + out > s.size()) s[i] *= float(s.size() - i) / out;
    }
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    if (peak > 0)
        for (float& v : s) v *= 0.89f / peak;
}

struct OnePole {  // low-pass
    float y = 0;
    float run(float x, float hz) {
        float a = 1 - std::exp(-2 * PI * hz * DT);
        return y += a * (x - y);
    }
};

std::vector<float> click() {
    std::vector<float> s(size_t(0.045f * SAMPLE_RATE));
    Rng rng(3);
    for (size_t i = 0; i < s.size(); ++i) {
        float t = i * DT;
        s[i] = (0.6f * std::sin(2 * PI * 1750 * t) + 0.3f * std::sin(2 * PI * 2900 * t)) * std::exp(-t / 0.007f) +
               0.35f * rng.signedUnit() * std::exp(-t / 0.0015f);
    }
    return s;
}

std::vector<float> step() {
    // A boot on hard floor: a short low thud with a gritty scuff on top.
    std::vector<float> s(size_t(0.14f * SAMPLE_RATE));
    Rng rng(5);
    OnePole grit, body;
    float phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = i * DT;
        phase += 2 * PI * (55 + 95 * std::exp(-t / 0.012f)) * DT;
        float thud = std::sin(phase) * std::exp(-t / 0.035f);
        float noise = rng.signedUnit();
        float scuff = (grit.run(noise, 2400) - body.run(noise, 400)) * std::exp(-t / 0.018f);
        s[i] = 0.8f * thud + 1.6f * scuff;
    }
    return s;
}

std::vector<float> shot() {
    // The beam: a bright falling zap with a crackle at the muzzle.
    std::vector<float> s(size_t(0.33f * SAMPLE_RATE));
    Rng rng(7);
    OnePole tone;
    float p1 = 0, p2 = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = i * DT;
        float f = 1500 * std::exp(-t / 0.06f) + 190;
        p1 += 2 * PI * f * DT;
        p2 += 2 * PI * f * 1.503f * DT;
        float zap = std::tanh(3 * std::sin(p1)) * 0.6f + 0.35f * std::sin(p2);
        float env = std::min(1.0f, t / 0.002f) * std::exp(-t / 0.11f);
        float crackle = rng.signedUnit() * std::exp(-t / 0.012f);
        s[i] = tone.run(zap * env, 5000) + 0.4f * crackle;
    }
    return s;
}

std::vector<float> squish() {
    // Wet and heavy: resonant noise sweeping down, a low thump, some bubbles.
    std::vector<float> s(size_t(0.5f * SAMPLE_RATE));
    Rng rng(11);
    float low = 0, band = 0, phase = 0, bubble = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        float t = i * DT;
        float cutoff = 250 + 2200 * std::exp(-t / 0.07f);
        float fc = 2 * std::sin(PI * cutoff * DT), q = 0.25f;
        float noise = rng.signedUnit();
        low += fc * band;
        float high = noise - low - q * band;
        band += fc * high;
        if (rng.unit() < 0.0009f) bubble = 1;
        bubble *= 0.9992f;
        phase += 2 * PI * (48 + 70 * std::exp(-t / 0.03f)) * DT;
        float thump = std::sin(phase) * std::exp(-t / 0.07f);
        float env = std::exp(-t / 0.16f);
        s[i] = band * 0.5f * env * (0.6f + 0.8f * bubble) + 0.9f * thump;
    }
    return s;
}

}  // namespace

bool writeEffects(const std::string& folder) {
    struct Effect {
        const char* name;
        std::vector<float> (*make)();
    };
    const Effect effects[] = {{"click", click}, {"step", step}, {"shot", shot}, {"squish", squish}};
    bool ok = true;
    for (const Effect& e : effects) {
        std::vector<float> s = e.make();
        finish(s);
        ok &= writeWav(folder + "/" + e.name + ".wav", s);
    }
    return ok;
}
