// The music tracks play looped for a whole match: each must be long enough,
// never clip, and run from its last sample into its first without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <vorbis/vorbisfile.h>

namespace {

struct Track {
    std::vector<int> left, right;
    long rate = 0;
};

bool decode(const char* path, Track& t) {
    OggVorbis_File vf;
    if (ov_fopen(path, &vf) != 0) return false;
    vorbis_info* info = ov_info(&vf, -1);
    t.rate = info->rate;
    if (info->channels != 2) {
        ov_clear(&vf);
        return false;
    }
    char buffer[8192];
    int section = 0;
    long got;
    while ((got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
        const int16_t* s = reinterpret_cast<const int16_t*>(buffer);
        for (long i = 0; i + 1 < got / 2; i += 2) {
            t.left.push_back(s[i]);
            t.right.push_back(s[i + 1]);
        }
    }
    ov_clear(&vf);
    return got == 0;
}

// The largest jump between neighbouring samples that 99.9 % of the track stays under.
int typicalLargeStep(const std::vector<int>& s) {
    std::vector<int> steps(s.size() - 1);
    for (size_t i = 0; i + 1 < s.size(); ++i) steps[i] = std::abs(s[i + 1] - s[i]);
    size_t k = steps.size() * 999 / 1000;
    std::nth_element(steps.begin(), steps.begin() + long(k), steps.end());
    return steps[k];
}

TEST(Music, LongLoopsWithoutClippingOrSeam) {
    for (const char* path : {"../data/music/0.ogg", "../data/music/1.ogg", "../data/music/2.ogg"}) {
        Track t;
        ASSERT_TRUE(decode(path, t)) << path;
        EXPECT_GE(double(t.left.size()) / double(t.rate), 30.0) << path;
        for (const std::vector<int>* ch : {&t.left, &t.right}) {
            int clipped = int(std::count_if(ch->begin(), ch->end(), [](int v) { return v >= 32767 || v <= -32768; }));
            EXPECT_EQ(clipped, 0) << path;
            EXPECT_LT(std::abs(ch->front() - ch->back()), typicalLargeStep(*ch)) << path << ": click at the loop seam";
        }
    }
}

}  // namespace
