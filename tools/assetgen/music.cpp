#include <cmath>
#include <string>
#include <vector>

#include "audio_out.h"
#include "rng.h"
#include "sounds.h"

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float DT = 1.0f / SAMPLE_RATE;

// A stereo loop rendered on a circle: whatever rings past the end continues
// at the start, so the file's last sample runs straight into its first.
struct Loop {
    std::vector<float> left, right;
    explicit Loop(size_t n) : left(n, 0), right(n, 0) {}
    size_t size() const { return left.size(); }
    void add(size_t at, float v, float pan) {  // pan -1 left .. 1 right
        size_t i = at % size();
        left[i] += v * std::sqrt(0.5f * (1 - pan));
        right[i] += v * std::sqrt(0.5f * (1 + pan));
    }
};

float midiHz(int note) { return 440.0f * std::pow(2.0f, (note - 69) / 12.0f); }

// Band-limited saw and square (polyBLEP), so high notes don't alias.
float blep(float t, float dt) {
    if (t < dt) { t /= dt; return t + t - t * t - 1; }
    if (t > 1 - dt) { t = (t - 1) / dt; return t * t + t + t + 1; }
    return 0;
}
float saw(float ph, float dt) { return 2 * ph - 1 - blep(ph, dt); }
float square(float ph, float dt) {
    float s = ph < 0.5f ? 1.0f : -1.0f;
    s += blep(ph, dt);
    float h = ph + 0.5f;
    if (h >= 1) h -= 1;
    return s - blep(h, dt);
}

struct Lowpass {
    float a = 0, b = 0;
    float run(float x, float hz) {
        float k = 1 - std::exp(-2 * PI * std::min(hz, 9000.0f) * DT);
        a += k * (x - a);
        b += k * (a - b);
        return b;
    }
};

enum class Voice { Bass, Pad, Pluck, Lead };

void note(Loop& out, size_t at, size_t length, int midi, Voice v, float gain, float pan) {
    float hz = midiHz(midi), dt = hz * DT;
    float release = v == Voice::Pad ? 0.35f : 0.03f;
    size_t total = length + size_t(release * SAMPLE_RATE);
    float ph[3] = {0, 0.33f, 0.66f};
    const float detune[3] = {1.0f, 1.006f, 0.994f};
    Lowpass lp;
    for (size_t i = 0; i < total; ++i) {
        float t = i * DT, held = length * DT;
        float env;
        float attack = v == Voice::Pad ? 0.25f : (v == Voice::Lead ? 0.012f : 0.004f);
        env = std::min(1.0f, t / attack);
        if (t > held) env *= std::max(0.0f, 1 - (t - held) / release);
        float s = 0, cutoff = 2000;
        switch (v) {
        case Voice::Bass:
            s = saw(ph[0], dt);
            cutoff = 180 + 1400 * std::exp(-t / 0.09f);
            break;
        case Voice::Pad:
            for (int k = 0; k < 3; ++k) s += saw(ph[k], dt * detune[k]) / 3;
            cutoff = 900 + 300 * std::sin(2 * PI * 0.25f * t);
            break;
        case Voice::Pluck:
            s = square(ph[0], dt);
            env *= std::exp(-t / 0.16f);
            cutoff = 900 + 3500 * std::exp(-t / 0.05f);
            break;
        case Voice::Lead: {
            float vib = t > 0.15f ? 0.004f * std::sin(2 * PI * 5.5f * t) : 0;
            s = 0.6f * square(ph[0], dt * (1 + vib)) + 0.4f * saw(ph[1], dt * 1.003f);
            cutoff = 2600;
            break;
        }
        }
        for (int k = 0; k < 3; ++k) {
            ph[k] += dt * detune[k];
            if (ph[k] >= 1) ph[k] -= 1;
        }
        out.add(at + i, lp.run(s, cutoff) * env * gain, pan);
    }
}

enum class Drum { Kick, Snare, Hat, OpenHat };

void drum(Loop& out, size_t at, Drum d, float gain, Rng& rng) {
    float length = d == Drum::Kick ? 0.4f : (d == Drum::Snare ? 0.25f : (d == Drum::Hat ? 0.06f : 0.3f));
    float ph = 0, hp = 0;
    for (size_t i = 0; i < size_t(length * SAMPLE_RATE); ++i) {
        float t = i * DT, s = 0;
        float noise = rng.signedUnit();
        float bright = noise - hp;  // high-passed noise
        hp += 0.35f * (noise - hp);
        switch (d) {
        case Drum::Kick:
            ph += 2 * PI * (45 + 110 * std::exp(-t / 0.03f)) * DT;
            s = std::sin(ph) * std::exp(-t / 0.16f) + 0.2f * noise * std::exp(-t / 0.002f);
            break;
        case Drum::Snare:
            ph += 2 * PI * 185 * DT;
            s = 0.5f * std::sin(ph) * std::exp(-t / 0.04f) + 0.6f * bright * std::exp(-t / 0.09f);
            break;
        case Drum::Hat: s = 0.5f * bright * std::exp(-t / 0.018f); break;
        case Drum::OpenHat: s = 0.4f * bright * std::exp(-t / 0.1f); break;
        }
        float pan = d == Drum::Hat || d == Drum::OpenHat ? 0.3f : 0.0f;
        out.add(at + i, s * gain * std::min(1.0f, t / 0.0005f + 0.2f), pan);
    }
}

// Echo on the circle: two turns, so the tails of the end wrap into the start.
void echo(Loop& bus, size_t delay, float feedback) {
    Loop wet(bus.size());
    std::vector<float> lineL(delay, 0), lineR(delay, 0);
    for (int turn = 0; turn < 2; ++turn)
        for (size_t i = 0; i < bus.size(); ++i) {
            size_t k = i % delay;
            float dl = lineL[k], dr = lineR[k];
            lineL[k] = bus.left[i] + dr * feedback;  // ping-pong
            lineR[k] = bus.right[i] + dl * feedback;
            if (turn == 1) {
                wet.left[i] = bus.left[i] + 0.5f * dl;
                wet.right[i] = bus.right[i] + 0.5f * dr;
            }
        }
    bus = wet;
}

struct Chord {
    int root;               // semitones above the key note
    std::vector<int> tones; // intervals above the root
};

struct Track {
    int bpm, bars, key;
    std::vector<Chord> chords;  // one per bar, repeating
    const char *kick, *snare, *hat, *openHat;  // 16 steps each, 'x' hits
    const char* bass;  // 'r' root, 'o' octave up, 'f' fifth, '.' rest
    const char* arp;   // 'x' plays the next chord tone
    int leadFrom;      // first bar with a melody
    uint64_t seed;
};

const std::vector<int> MINOR = {0, 3, 7}, MAJOR = {0, 4, 7}, MIN7 = {0, 3, 7, 10}, MAJ7 = {0, 4, 7, 11},
                       SUS = {0, 5, 7};

const Track TRACKS[3] = {
    // Driving A minor at 120: the arena theme.
    {120, 16, 57, {{0, MINOR}, {-4, MAJOR}, {3, MAJOR}, {-2, MAJOR}},
     "x...x...x...x...", "....x.......x...", "x.x.x.x.x.x.x.x.", "..............x.",
     "r.r.o.r.r.r.o.rf", "xxxxxxxxxxxxxxxx", 8, 101},
    // A cooler D dorian patrol at 100, half-time drums and a wide pad.
    {100, 16, 50, {{0, MIN7}, {0, MIN7}, {3, MAJ7}, {5, MAJOR}, {0, MIN7}, {0, MIN7}, {-2, MAJ7}, {-5, SUS}},
     "x......x..x.....", "........x.......", "x.x.x.x.x.x.x.x.", "......x.......x.",
     "r..r..o...r.f...", "x..x..x.x..x..x.", 4, 202},
    // Fast and hard E minor at 140 for the showdown.
    {140, 20, 52, {{0, MINOR}, {-4, MAJOR}, {-2, MAJOR}, {-1, MAJOR}},
     "x..x..x.x..x..x.", "....x.......x..x", "xxxxxxxxxxxxxxxx", "..x...x...x...x.",
     "rrrorrrfrrrorrro", "x.xxx.xxx.xxx.xx", 4, 303},
};

// The melody: chord tones and passing notes on a two-bar rhythm, varied on repeat.
void melody(Loop& lead, const Track& tr, size_t stepLen, size_t barLen, Rng& rng) {
    static const char* rhythms[] = {"x..x..x.x...x...", "x.x...x..x.x....", "x...x.x.x..x..x.", "x..x.x...x..x.x."};
    const int scaleMinor[] = {0, 2, 3, 5, 7, 8, 10};
    for (int bar = tr.leadFrom; bar < tr.bars; bar += 2) {
        const char* rhythm = rhythms[rng.next() % 4];
        for (int half = 0; half < 2 && bar + half < tr.bars; ++half) {
            const Chord& ch = tr.chords[size_t(bar + half) % tr.chords.size()];
            int degree = 0;
            for (int st = 0; st < 16; ++st) {
                if (rhythm[st] != 'x') continue;
                int len = 1;
                while (st + len < 16 && rhythm[st + len] != 'x') ++len;
                int pitch;
                if (st == 0 || rng.unit() < 0.6f) {
                    pitch = ch.root + ch.tones[rng.next() % ch.tones.size()];
                } else {
                    degree = (degree + (rng.unit() < 0.5f ? 1 : 6)) % 7;
                    pitch = scaleMinor[degree];
                }
                while (pitch < 0) pitch += 12;
                size_t at = size_t(bar + half) * barLen + size_t(st) * stepLen;
                note(lead, at, size_t(len) * stepLen * 9 / 10, tr.key + 12 + pitch, Voice::Lead, 0.16f, -0.15f);
            }
        }
    }
}

std::vector<float> render(const Track& tr) {
    size_t beat = size_t(SAMPLE_RATE) * 60 / size_t(tr.bpm);
    size_t barLen = beat * 4, stepLen = beat / 4;
    Loop mix(barLen * size_t(tr.bars)), bus(barLen * size_t(tr.bars));
    Rng rng(tr.seed);
    for (int bar = 0; bar < tr.bars; ++bar) {
        const Chord& ch = tr.chords[size_t(bar) % tr.chords.size()];
        size_t barAt = size_t(bar) * barLen;
        for (size_t k = 0; k < ch.tones.size(); ++k)
            note(mix, barAt, barLen - stepLen, tr.key + ch.root + ch.tones[k], Voice::Pad, 0.07f, k % 2 ? 0.5f : -0.5f);
        int arpIndex = 0;
        bool fill = bar % 4 == 3;
        for (int st = 0; st < 16; ++st) {
            size_t at = barAt + size_t(st) * stepLen;
            float accent = st % 4 == 0 ? 1.0f : 0.7f;
            if (tr.kick[st] == 'x') drum(mix, at, Drum::Kick, 0.9f, rng);
            if (tr.snare[st] == 'x' || (fill && st >= 13 && rng.unit() < 0.5f))
                drum(mix, at, Drum::Snare, tr.snare[st] == 'x' ? 0.55f : 0.3f, rng);
            if (tr.hat[st] == 'x') drum(mix, at, Drum::Hat, 0.22f * accent, rng);
            if (tr.openHat[st] == 'x') drum(mix, at, Drum::OpenHat, 0.2f, rng);
            char b = tr.bass[st];
            if (b != '.') {
                int len = 1;
                while (st + len < 16 && tr.bass[st + len] == '.') ++len;
                int offset = b == 'o' ? 12 : (b == 'f' ? 7 : 0);
                note(mix, at, size_t(len) * stepLen * 8 / 10, tr.key - 12 + ch.root + offset, Voice::Bass, 0.32f * accent, 0);
            }
            if (tr.arp[st] == 'x') {
                size_t n = ch.tones.size();
                int tone = ch.tones[size_t(arpIndex) % n] + 12 * int((size_t(arpIndex) / n) % 2);
                ++arpIndex;
                note(bus, at, stepLen, tr.key + 12 + ch.root + tone, Voice::Pluck, 0.11f, 0.35f);
            }
        }
    }
    melody(bus, tr, stepLen, barLen, rng);
    echo(bus, beat * 3 / 4, 0.38f);
    std::vector<float> out(mix.size() * 2);
    float peak = 0;
    for (size_t i = 0; i < mix.size(); ++i) {
        out[2 * i] = mix.left[i] + bus.left[i];
        out[2 * i + 1] = mix.right[i] + bus.right[i];
        peak = std::max(peak, std::max(std::fabs(out[2 * i]), std::fabs(out[2 * i + 1])));
    }
    // Headroom for the encoder: peaks at -4 dBFS before coding.
    for (float& v : out) v *= 0.63f / peak;
    return out;
}

}  // namespace

bool writeMusic(const std::string& folder) {
    bool ok = true;
    for (int i = 0; i < 3; ++i) ok &= writeOgg(folder + "/" + std::to_string(i) + ".ogg", render(TRACKS[i]), 0.1f);
    return ok;
}
