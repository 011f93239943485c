// The synthesiser: the same bytes on every build, pitches in tune, exact
// silence when muted or faded, sections starting on the beat, no wrapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound/synth.h"

namespace {

using Samples = std::vector<std::int16_t>;

Samples Render(SYNTH* synth, std::int32_t frames) {
    Samples out(2 * static_cast<std::size_t>(frames));
    SYNTHRender(synth, out.data(), frames);
    return out;
}

std::uint64_t Fingerprint(const Samples& samples) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a over the little-endian bytes
    for (const std::int16_t s : samples) {
        const auto u = static_cast<std::uint16_t>(s);
        h = (h ^ (u & 0xFF)) * 1099511628211ull;
        h = (h ^ (u >> 8)) * 1099511628211ull;
    }
    return h;
}

// Index of the first stereo frame where a and b differ, or -1.
std::int64_t FirstDifference(const Samples& a, const Samples& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) return static_cast<std::int64_t>(i / 2);
    }
    return -1;
}

// Strength of frequency f (Hz) in the mono sum, Hann-windowed (Goertzel).
double Strength(const Samples& s, double f) {
    const std::size_t n = s.size() / 2;
    const double w = 2 * M_PI * f / SYNTH_RATE;
    const double k = 2 * std::cos(w);
    double a = 0, b = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / static_cast<double>(n));
        const double x = (s[2 * i] + s[2 * i + 1]) * hann;
        const double c = x + k * a - b;
        b = a;
        a = c;
    }
    return a * a + b * b - k * a * b;
}

// The strongest frequency within 50 cents of f, in cents from f.
double PeakCents(const Samples& s, double f) {
    double best = -50, bestStrength = -1;
    for (double c = -50; c <= 50; c += 1) {
        const double v = Strength(s, f * std::pow(2.0, c / 1200));
        if (v > bestStrength) bestStrength = v, best = c;
    }
    for (double c = best - 1; c <= best + 1; c += 0.05) {
        const double v = Strength(s, f * std::pow(2.0, c / 1200));
        if (v > bestStrength) bestStrength = v, best = c;
    }
    return best;
}

// The highest magnitude either channel reaches between its samples, found at
// quarter steps by a Hann-windowed sinc over 16 neighbours.
double TruePeak(const Samples& s) {
    constexpr int reach = 8;
    double taps[3][2 * reach];
    for (int q = 1; q <= 3; ++q) {
        for (int k = -reach + 1; k <= reach; ++k) {
            const double t = k - q / 4.0;
            taps[q - 1][k + reach - 1] = std::sin(M_PI * t) / (M_PI * t) * (0.5 + 0.5 * std::cos(M_PI * t / (reach + 1)));
        }
    }
    double peak = 0;
    const std::size_t n = s.size() / 2;
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::size_t i = reach; i + reach < n; ++i) {
            peak = std::max(peak, std::fabs(static_cast<double>(s[2 * i + c])));
            for (const auto& row : taps) {
                double v = 0;
                for (int k = 0; k < 2 * reach; ++k) v += row[k] * s[2 * (i - reach + 1 + static_cast<std::size_t>(k)) + c];
                peak = std::max(peak, std::fabs(v));
            }
        }
    }
    return peak;
}

struct SynthTest : ::testing::Test {
    SYNTH* synth = SYNTHNew();
    void TearDown() override { SYNTHFree(&synth); }
};

}  // namespace

// Ten seconds of section one, then sections two and three cued: the bytes
// are fixed, whichever compiler built the synth.
TEST_F(SynthTest, SongRendersToFixedFingerprint) {
    ASSERT_NE(synth, nullptr);
    Samples all = Render(synth, 10 * SYNTH_RATE);
    for (const std::int32_t section : {1, 2}) {
        SYNTHCue(synth, section);
        const Samples more = Render(synth, 10 * SYNTH_RATE);
        all.insert(all.end(), more.begin(), more.end());
    }
    if (std::getenv("VELM_PRINT_CHECKSUMS")) std::printf("song fingerprint 0x%016llx\n", static_cast<unsigned long long>(Fingerprint(all)));
    EXPECT_EQ(Fingerprint(all), 0xd90217385d1757b9ull);
}

// A held note through each pitched voice sounds within 5 cents of the note,
// from the bass register up to the lead's.
TEST_F(SynthTest, EachVoiceIsInTune) {
    struct Case { std::int32_t voice, note; };
    for (const Case c : {Case{SYNTH_LEAD, 69}, Case{SYNTH_LEAD, 84}, Case{SYNTH_BASS, 33}, Case{SYNTH_BASS, 45},
                         Case{SYNTH_ARP, 64}, Case{SYNTH_ARP, 79}, Case{SYNTH_PAD, 57}, Case{SYNTH_PAD, 64}}) {
        SYNTHTone(synth, c.voice, c.note);
        const Samples tone = Render(synth, 3 * SYNTH_RATE);
        const double f = 440 * std::pow(2.0, (c.note - 69) / 12.0);
        EXPECT_LT(std::fabs(PeakCents(tone, f)), 5.0) << "voice " << c.voice << " note " << c.note;
    }
}

// Muting gives exact zeros from the next render on while the song runs on:
// after unmuting the output is what it would have been without the mute.
TEST_F(SynthTest, MuteIsExactSilenceAndKeepsTime) {
    SYNTH* reference = SYNTHNew();
    const Samples expected = Render(reference, 3 * SYNTH_RATE);
    SYNTHFree(&reference);

    Samples got = Render(synth, SYNTH_RATE);
    SYNTHMute(synth, true);
    const Samples silent = Render(synth, SYNTH_FRAME);
    EXPECT_EQ(silent, Samples(silent.size(), 0));
    const Samples silentToo = Render(synth, SYNTH_RATE - SYNTH_FRAME);
    EXPECT_EQ(silentToo, Samples(silentToo.size(), 0));
    SYNTHMute(synth, false);
    const Samples back = Render(synth, SYNTH_RATE);
    EXPECT_EQ(back, Samples(expected.begin() + 4 * SYNTH_RATE, expected.end()));
    EXPECT_NE(back, Samples(back.size(), 0));
}

// A section cued during a frame starts on the next beat: the output is
// untouched up to that sample and changes right there, not a frame later.
TEST_F(SynthTest, CuedSectionStartsOnTheNextBeat) {
    for (const std::int32_t frame : {100, 1001, 1008}) {  // mid-beat, mid-beat, exactly on beat 42
        SYNTH* reference = SYNTHNew();
        SYNTH* cued = SYNTHNew();
        const std::int32_t before = frame * SYNTH_FRAME;
        const std::int64_t beat = (before + SYNTH_BEAT - 1) / SYNTH_BEAT * SYNTH_BEAT;
        Samples a = Render(reference, before);
        Samples b = Render(cued, before);
        SYNTHCue(cued, 1);
        EXPECT_EQ(cued->cueAt, beat);
        const Samples a2 = Render(reference, SYNTH_BEAT + SYNTH_FRAME);
        const Samples b2 = Render(cued, SYNTH_BEAT + SYNTH_FRAME);
        a.insert(a.end(), a2.begin(), a2.end());
        b.insert(b.end(), b2.begin(), b2.end());
        const std::int64_t changed = FirstDifference(a, b);
        EXPECT_GE(changed, beat) << "frame " << frame;
        EXPECT_LT(changed, beat + SYNTH_FRAME) << "frame " << frame;
        EXPECT_EQ(cued->section, 1);
        EXPECT_EQ(cued->sectionStart, beat);
        EXPECT_EQ(cued->cued, -1);
        SYNTHFree(&reference);
        SYNTHFree(&cued);
    }
}

// The fade-out falls steadily to exact silence at its end and stays there.
TEST_F(SynthTest, FadeOutEndsInSilence) {
    Render(synth, 2 * SYNTH_RATE);
    SYNTHFadeOut(synth, 32 * SYNTH_FRAME);
    const Samples fade = Render(synth, 32 * SYNTH_FRAME);
    EXPECT_TRUE(SYNTHFaded(synth));
    auto peak = [&](std::int32_t frame) {
        std::int32_t p = 0;
        for (std::int32_t i = 2 * frame * SYNTH_FRAME; i < 2 * (frame + 1) * SYNTH_FRAME; ++i) p = std::max(p, std::abs(fade[i]));
        return p;
    };
    EXPECT_GT(peak(0), 1000);
    EXPECT_LT(peak(31), peak(0) / 16);
    const Samples after = Render(synth, SYNTH_RATE);
    EXPECT_EQ(after, Samples(after.size(), 0));
}

// Every voice at full volume drives the mix far past full scale; the limiter
// holds it just under its ceiling, between samples too, and nothing wraps
// (with the voices whose edges jump legitimately left out for that count).
TEST_F(SynthTest, LoudMixIsLimitedWithoutWrapping) {
    for (std::int32_t& v : synth->volume) v = 256;
    for (const std::int32_t section : {0, 1, 2, 3, 4, 5}) {
        if (section == 3) {
            for (const std::int32_t sharp : {SYNTH_LEAD, SYNTH_ARP, SYNTH_SNARE, SYNTH_HAT}) synth->volume[sharp] = 0;
        }
        SYNTHSetSong(synth, &synthSong);
        if (section % 3 > 0) SYNTHCue(synth, section % 3);
        const Samples s = Render(synth, 10 * SYNTH_RATE);
        std::int32_t top = 0, wraps = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            top = std::max(top, std::abs(std::int32_t{s[i]}));
            if (section >= 3 && i >= 2 && std::abs(s[i] - s[i - 2]) > 40000) ++wraps;
        }
        EXPECT_LE(top, 27571) << "section " << section;  // -1.5 dBFS
        EXPECT_GT(top, 26000) << "section " << section;
        EXPECT_LT(TruePeak(s), 29205.0) << "section " << section;  // -1 dBFS
        EXPECT_EQ(wraps, 0) << "section " << section;
    }
}

// Misuse is reported once per call and changes nothing.
TEST_F(SynthTest, MisuseIsReportedAndHarmless) {
    SYNTHSetReportErrors(true);
    std::int16_t out[2] = {7, 7};
    testing::internal::CaptureStdout();
    SYNTHRender(nullptr, out, 1);
    SYNTHRender(synth, nullptr, 1);
    SYNTHCue(synth, 3);
    SYNTHCue(synth, -1);
    SYNTHTone(synth, SYNTH_VOICES, 60);
    SYNTHFadeOut(synth, 0);
    SYNTHMute(nullptr, true);
    SYNTHFree(nullptr);
    const std::string printed = testing::internal::GetCapturedStdout();
    SYNTHSetReportErrors(false);
    std::string expected;
    for (int i = 0; i < 7; ++i) expected += "SYNTH error\n";
    EXPECT_EQ(printed, expected);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(synth->cued, -1);
    EXPECT_FALSE(SYNTHFaded(synth));
}
