// SYNTH: voices, sequencer, echo and mix of the soundtrack. Everything runs on
// integers: oscillator phases are 32-bit turns, signals Q16 inside a voice and
// Q15 out of it, envelope levels Q24, gains Q16. Products that could leave 32
// bits are taken in 64; the mix saturates to 16 bits, so no sample ever wraps.
#include "sound/synth.h"

#include "sound/limiter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

struct IDENT {
    const char* name;
    const char* date;
    const char* author;
    const char* language;
    const char* kind;
};
[[maybe_unused]] const IDENT ident = {"SYNTH   ", "20261208", "Tordeval", "C++     ", "CODE    "};

std::uint8_t reportErrors = 0;  // SYNTHError prints while this is not 0; the program never sets it

// ---- Constants --------------------------------------------------------------

constexpr std::int32_t fullLevel = 1 << 24;   // envelope level 1.0
constexpr std::int32_t fullGain = 1 << 16;    // gain 1.0
constexpr std::int32_t echoLength = 3 * SYNTH_STEP;  // a dotted eighth
constexpr std::uint32_t vibratoStep = 535654;       // 5.5 Hz in 32-bit turns per sample
constexpr std::uint32_t sweepStep = 38956;          // 0.4 Hz: the lead's pulse-width sweep

// Phase steps of C8 .. B8 at 44100 Hz: round(f * 2^32 / 44100). Lower octaves
// halve them; the truncation costs far less than a cent.
constexpr std::uint32_t topOctave[12] = {407681904, 431923931, 457607465, 484818220,
                                         513647012, 544190053, 576549277, 610832681,
                                         647154683, 685636503, 726406571, 769600953};

// Phase step of a MIDI note (0 .. 119; others clamp).
std::uint32_t noteStep(std::int32_t note) {
    if (note < 0) note = 0;
    if (note > 119) note = 119;
    return topOctave[note % 12] >> (9 - note / 12);
}

// Per-sample multiplier of an exponential fall with a time constant of ms milliseconds.
constexpr std::uint32_t fall(std::int32_t ms) {
    return static_cast<std::uint32_t>(4294967296ull - 4294967296ull / (static_cast<std::uint64_t>(ms) * 441 / 10));
}

// ---- Envelopes --------------------------------------------------------------

struct EnvShape {
    std::int32_t attack;      // level added per sample while rising
    std::uint32_t decay;      // fall multiplier towards the sustain level
    std::int32_t sustain;     // Q24
    std::uint32_t release;    // fall multiplier towards 0 after the note ends
};
constexpr EnvShape envShape(std::int32_t attackMs, std::int32_t decayMs, std::int32_t sustainPercent,
                            std::int32_t releaseMs) {
    return {attackMs == 0 ? fullLevel : fullLevel / (attackMs * 441 / 10), fall(decayMs),
            fullLevel / 100 * sustainPercent, fall(releaseMs)};
}
constexpr EnvShape leadShape = envShape(4, 300, 60, 120);
constexpr EnvShape bassShape = envShape(2, 220, 50, 45);
constexpr EnvShape arpShape = envShape(2, 110, 22, 70);
constexpr EnvShape padShape = envShape(350, 1200, 75, 700);
constexpr EnvShape kickShape = envShape(0, 190, 0, 30);
constexpr EnvShape snareShape = envShape(0, 110, 0, 30);
constexpr EnvShape snareToneShape = envShape(0, 40, 0, 20);
constexpr EnvShape hatShape = envShape(0, 26, 0, 20);
constexpr EnvShape openHatShape = envShape(0, 170, 0, 40);

enum Stage : std::uint8_t { stageIdle, stageAttack, stageDecay, stageRelease };
struct Env {
    std::int32_t level;  // Q24
    std::uint8_t stage;
};

// Advances the envelope one sample; returns its gain, Q16.
std::int32_t envNext(Env& e, const EnvShape& s) {
    switch (e.stage) {
    case stageAttack:
        e.level += s.attack;
        if (e.level >= fullLevel) {
            e.level = fullLevel;
            e.stage = stageDecay;
        }
        break;
    case stageDecay:
        e.level = s.sustain + static_cast<std::int32_t>((std::int64_t{e.level - s.sustain} * s.decay) >> 32);
        break;
    case stageRelease:
        e.level = static_cast<std::int32_t>((std::int64_t{e.level} * s.release) >> 32);
        if (e.level < 256) {
            e.level = 0;
            e.stage = stageIdle;
        }
        break;
    default:
        break;
    }
    return e.level >> 8;
}

void envOn(Env& e) { e.stage = stageAttack; }  // rises from where it is: no click on a retrigger
void envOff(Env& e) {
    if (e.stage != stageIdle) e.stage = stageRelease;
}

// ---- Waveforms --------------------------------------------------------------

// Polynomial band-limiting residual of a unit step at phase 0, Q16: what a
// naive edge must be corrected by so that it does not alias.
std::int32_t blep(std::uint32_t p, std::uint32_t d) {
    if (p < d) {
        const std::int64_t x = (std::int64_t{p} << 16) / d;
        return static_cast<std::int32_t>(2 * x - ((x * x) >> 16) - 65536);
    }
    const std::uint32_t q = 0u - p;
    if (q < d) {
        const std::int64_t x = -((std::int64_t{q} << 16) / d);
        return static_cast<std::int32_t>(((x * x) >> 16) + 2 * x + 65536);
    }
    return 0;
}

// Band-limited rising saw, Q16.
std::int32_t saw(std::uint32_t p, std::uint32_t d) {
    return static_cast<std::int32_t>(p >> 15) - 65536 - blep(p, d);
}

// Band-limited pulse high for the first `width` of each turn, without its DC, Q16.
std::int32_t pulse(std::uint32_t p, std::uint32_t d, std::uint32_t width) {
    const std::int32_t naive = p < width ? 65536 : -65536;
    const std::int32_t dc = static_cast<std::int32_t>(width >> 15) - 65536;
    return naive + blep(p, d) - blep(p - width, d) - dc;
}

// Sine of a 32-bit turn by parabolas, Q15 (peak error about 6 %, all harmonics odd and soft).
std::int32_t sine(std::uint32_t p) {
    const std::int32_t x = static_cast<std::int32_t>(p >> 16) - 32768;  // -pi .. pi
    const std::int32_t ax = x < 0 ? -x : x;
    const std::int32_t y = -((x * (32768 - ax)) >> 13);
    return y > 32767 ? 32767 : y;
}

// ---- Voices -----------------------------------------------------------------

constexpr std::int32_t padOscillators = 8;  // four chord notes, two detuned saws each

struct Tone {
    std::uint32_t phase[padOscillators];
    std::uint32_t step[padOscillators];
    Env env;
    std::int32_t age;      // samples since the note began
    std::int32_t cutoff;   // bass filter coefficient, Q16
    std::int32_t low, band;  // bass filter state; the pad's smoothing in low
};

struct Drum {
    std::uint32_t phase;
    std::int32_t sweep;    // kick pitch envelope, Q16
    std::int32_t last;     // previous noise sample (the hat's high pass)
    std::int32_t accent;   // Q16 gain of this hit
    Env env, tone;
};

struct Player {
    const SYNTHSECTION* section;  // null: no sequencing (a held test tone)
    std::int32_t bar, step, stepSample, arpCount;
    std::uint8_t sawLead;
    std::int32_t gain;      // Q16; falls to 0 while fading out
    std::int32_t level;     // Q16: the section's level
    std::uint8_t active;
    Tone lead, bass, arp, pad;
    Drum kick, snare, hat;
    std::uint32_t vibrato, sweep, noise;
    std::int32_t bassNote;
};

constexpr std::uint32_t stepWithin(std::uint32_t step, std::int32_t shift, bool up) {
    return up ? step + (step >> shift) : step - (step >> shift);
}

void leadOn(Player& p, std::int32_t note) {
    const std::uint32_t s = noteStep(note);
    p.lead.step[0] = s;
    p.lead.step[1] = p.sawLead ? stepWithin(s, 10, true) : 0;
    p.lead.age = 0;
    envOn(p.lead.env);
}

void bassOn(Player& p, std::int32_t note) {
    p.bass.step[0] = noteStep(note);
    p.bass.age = 0;
    p.bass.cutoff = 24000;  // about 2.5 kHz, falling
    envOn(p.bass.env);
}

void arpOn(Player& p, std::int32_t note) {
    p.arp.step[0] = noteStep(note);
    envOn(p.arp.env);
}

// The pad holds the chord's four tones from note upwards, two saws a tone.
void padOn(Player& p, std::int32_t note, const SYNTHCHORD& chord, std::int32_t tones) {
    for (std::int32_t i = 0; i < padOscillators / 2; ++i) {
        const std::uint32_t s = i < tones ? noteStep(note + chord.tones[i]) : 0;
        p.pad.step[2 * i] = stepWithin(s, 9, false);
        p.pad.step[2 * i + 1] = stepWithin(s, 9, true);
    }
    envOn(p.pad.env);
}

void drumOn(Drum& d, std::uint8_t hit) {
    d.accent = hit == 2 ? fullGain : fullGain * 3 / 4;
    d.phase = 0;
    d.sweep = fullGain;
    d.env.level = 0;
    d.tone.level = 0;
    envOn(d.env);
    envOn(d.tone);
}

std::uint32_t nextNoise(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// Lead: a pulse with a slowly swept width, or two slightly detuned saws;
// vibrato fades in after the first 150 ms of a note.
std::int32_t leadNext(Player& p) {
    Tone& t = p.lead;
    const std::int32_t g = envNext(t.env, leadShape);
    if (t.env.stage == stageIdle) return 0;
    ++t.age;
    std::int32_t depth = (t.age - 6615) / 64;
    depth = depth < 0 ? 0 : depth > 256 ? 256 : depth;
    const std::int64_t wobble = std::int64_t{sine(p.vibrato)} * depth;
    std::int32_t s;
    if (p.sawLead) {
        const std::uint32_t d0 = t.step[0] + static_cast<std::uint32_t>((t.step[0] * wobble) >> 31);
        const std::uint32_t d1 = t.step[1] + static_cast<std::uint32_t>((t.step[1] * wobble) >> 31);
        t.phase[0] += d0;
        t.phase[1] += d1;
        s = ((saw(t.phase[0], d0) + saw(t.phase[1], d1)) * 3) >> 3;
    } else {
        const std::uint32_t d0 = t.step[0] + static_cast<std::uint32_t>((t.step[0] * wobble) >> 31);
        t.phase[0] += d0;
        const std::uint32_t width =
            0x50000000u + static_cast<std::uint32_t>((std::int64_t{sine(p.sweep)} * 0x18000000) >> 15);
        s = pulse(t.phase[0], d0, width) >> 1;
    }
    return static_cast<std::int32_t>((std::int64_t{s} * g) >> 16);
}

// Bass: a saw through a two-pole low pass whose cutoff falls after each note.
std::int32_t bassNext(Tone& t) {
    const std::int32_t g = envNext(t.env, bassShape);
    if (t.env.stage == stageIdle) {
        t.low = t.band = 0;
        return 0;
    }
    t.phase[0] += t.step[0];
    const std::int32_t in = saw(t.phase[0], t.step[0]);
    t.cutoff = 2400 + static_cast<std::int32_t>((std::int64_t{t.cutoff - 2400} * fall(90)) >> 32);
    t.low += static_cast<std::int32_t>((std::int64_t{t.cutoff} * t.band) >> 16);
    const std::int32_t high = in - t.low - static_cast<std::int32_t>((std::int64_t{40000} * t.band) >> 16);
    t.band += static_cast<std::int32_t>((std::int64_t{t.cutoff} * high) >> 16);
    return static_cast<std::int32_t>((std::int64_t{t.low >> 1} * g) >> 16);
}

// Arpeggio: a quarter-width pulse.
std::int32_t arpNext(Tone& t) {
    const std::int32_t g = envNext(t.env, arpShape);
    if (t.env.stage == stageIdle) return 0;
    t.phase[0] += t.step[0];
    const std::int32_t s = pulse(t.phase[0], t.step[0], 0x40000000u) >> 1;
    return static_cast<std::int32_t>((std::int64_t{s} * g) >> 16);
}

// Pad: up to eight saws, smoothed by a one-pole low pass near 1.8 kHz.
std::int32_t padNext(Tone& t) {
    const std::int32_t g = envNext(t.env, padShape);
    if (t.env.stage == stageIdle) {
        t.low = 0;
        return 0;
    }
    std::int32_t sum = 0;
    for (std::int32_t i = 0; i < padOscillators; ++i) {
        if (t.step[i] == 0) continue;
        t.phase[i] += t.step[i];
        sum += saw(t.phase[i], t.step[i]);
    }
    t.low += static_cast<std::int32_t>((std::int64_t{(sum >> 2) - t.low} * 16800) >> 16);
    return static_cast<std::int32_t>((std::int64_t{t.low} * g) >> 16);
}

// Kick: a sine falling from 160 Hz to 45 Hz.
std::int32_t kickNext(Drum& d) {
    const std::int32_t g = envNext(d.env, kickShape);
    if (d.env.stage == stageIdle) return 0;
    d.sweep = static_cast<std::int32_t>((std::int64_t{d.sweep} * fall(32)) >> 32);
    constexpr std::int64_t low = 4382623, high = 15582411;  // 45 Hz and 160 Hz
    d.phase += static_cast<std::uint32_t>(low + (((high - low) * d.sweep) >> 16));
    const std::int64_t s = (std::int64_t{sine(d.phase)} * g) >> 16;
    return static_cast<std::int32_t>((s * d.accent) >> 16);
}

// Snare: the noise sample n with a short 185 Hz body.
std::int32_t snareNext(Drum& d, std::int32_t n) {
    const std::int32_t g = envNext(d.env, snareShape);
    const std::int32_t gt = envNext(d.tone, snareToneShape);
    if (d.env.stage == stageIdle) return 0;
    d.phase += 18016364;  // 185 Hz
    const std::int64_t s = ((std::int64_t{n} * g) >> 16) + ((std::int64_t{sine(d.phase)} * gt) >> 17);
    return static_cast<std::int32_t>((s * d.accent) >> 16);
}

// Hat: the snare's noise, differenced so that only its top remains. The
// difference needs the previous sample, so it is kept even while silent.
std::int32_t hatNext(Drum& h, std::int32_t n) {
    const std::int32_t g = envNext(h.env, h.phase != 0 ? openHatShape : hatShape);
    const std::int32_t last = h.last;
    h.last = n;
    if (h.env.stage == stageIdle) return 0;
    const std::int64_t s = (std::int64_t{n - last} * g) >> 16;
    return static_cast<std::int32_t>((s * h.accent) >> 16);
}

// One sample of each voice, Q15-ish (pulses may peak somewhat higher). The
// snare and hat share one noise sample, drawn every sample.
void voicesNext(Player& p, std::int32_t* v) {
    p.vibrato += vibratoStep;
    p.sweep += sweepStep;
    v[SYNTH_LEAD] = leadNext(p);
    v[SYNTH_BASS] = bassNext(p.bass);
    v[SYNTH_ARP] = arpNext(p.arp);
    v[SYNTH_PAD] = padNext(p.pad);
    v[SYNTH_KICK] = kickNext(p.kick);
    const std::int32_t n = static_cast<std::int32_t>(nextNoise(p.noise) >> 17) - 16384;
    v[SYNTH_SNARE] = snareNext(p.snare, n);
    v[SYNTH_HAT] = hatNext(p.hat, n);
}

// Starts step p.step of the current bar: notes, releases and drum hits.
void stepStart(Player& p) {
    if (p.section == nullptr || p.section->bars == nullptr || p.section->count <= 0) return;
    const SYNTHBAR& bar = p.section->bars[p.bar];
    const std::int32_t shift = bar.chord.transpose;
    if (p.step == 0) p.arpCount = 0;
    auto play = [&](const SYNTHPATTERN* pattern, auto on, Tone& t) {
        const std::int8_t e = pattern ? pattern->steps[p.step] : (p.step == 0 ? SYNTH_OFF : SYNTH_HOLD);
        if (e == SYNTH_OFF) envOff(t.env);
        else if (e >= 0) on(e);
    };
    play(bar.lead, [&](std::int32_t n) { leadOn(p, n); }, p.lead);
    play(bar.bass, [&](std::int32_t n) { bassOn(p, n + shift); }, p.bass);
    play(bar.arp, [&](std::int32_t n) { arpOn(p, n + shift + bar.chord.tones[p.arpCount++ & 3]); }, p.arp);
    play(bar.pad, [&](std::int32_t n) { padOn(p, n + shift, bar.chord, 4); }, p.pad);
    if (bar.drums) {
        if (bar.drums->kick[p.step]) drumOn(p.kick, bar.drums->kick[p.step]);
        if (bar.drums->snare[p.step]) drumOn(p.snare, bar.drums->snare[p.step]);
        if (const std::uint8_t h = bar.drums->hat[p.step]) {
            drumOn(p.hat, h == 3 ? 2 : h);
            p.hat.phase = h == 3 ? 1 : 0;  // marks an open hat
        }
    }
}

// Advances the sequencer one sample; a new step starts when the last ends.
void sequencerNext(Player& p) {
    if (p.section == nullptr) return;
    if (p.stepSample == 0) stepStart(p);
    if (++p.stepSample < SYNTH_STEP) return;
    p.stepSample = 0;
    if (++p.step < SYNTH_STEPS) return;
    p.step = 0;
    if (++p.bar >= p.section->count) p.bar = p.section->loop >= 0 && p.section->loop < p.section->count ? p.section->loop : 0;
}

// Q16 gain of a level in tenths of a decibel (held within +-24 dB), by
// steps of 0.1 dB in Q30 so that every compiler gives the same gain.
std::int32_t levelGain(std::int32_t tenths) {
    constexpr std::int64_t up = 1086175168, down = 1061450803;  // 10^(+-1/200), Q30
    const std::int64_t step = tenths < 0 ? down : up;
    const std::int32_t count = tenths < 0 ? (tenths < -240 ? 240 : -tenths) : (tenths > 240 ? 240 : tenths);
    std::int64_t g = std::int64_t{1} << 30;
    for (std::int32_t i = 0; i < count; ++i) g = (g * step + (std::int64_t{1} << 29)) >> 30;
    return static_cast<std::int32_t>((g + (1 << 13)) >> 14);
}

void playerStart(Player& p, const SYNTHSECTION* section) {
    const std::uint32_t noise = p.noise;
    std::memset(&p, 0, sizeof p);
    p.section = section;
    p.sawLead = section ? section->sawLead : 0;
    p.gain = fullGain;
    p.level = section ? levelGain(section->level) : fullGain;
    p.active = 1;
    p.noise = noise != 0 ? noise : 0x9E3779B9u;
}

}  // namespace

// ---- Core -------------------------------------------------------------------

struct SYNTHCORE {
    Player playing;     // the section now playing
    Player leaving;     // the previous section while it fades out
    std::int32_t* echoLeft;
    std::int32_t* echoRight;
    std::int32_t echoIndex;
    std::int32_t echoDampLeft, echoDampRight;
    std::int64_t fadeTotal;   // 0: no fade-out asked
    std::int64_t fadeLeft;
    PeakLimiter limiter;
};

namespace {

std::int16_t saturate(std::int32_t x) {
    return static_cast<std::int16_t>(x > 32767 ? 32767 : x < -32768 ? -32768 : x);
}

std::int32_t clampEcho(std::int32_t x) {
    constexpr std::int32_t limit = 1 << 20;
    return x > limit ? limit : x < -limit ? -limit : x;
}

constexpr std::int32_t echoSend[SYNTH_VOICES] = {70, 0, 96, 0, 0, 0, 0};  // of 256
constexpr std::int32_t echoFeedback = 112;                                 // of 256
constexpr std::int32_t masterVolume = 224;  // of 256: the mix before each section's level and the limiter

// Adds one player's voices to the stereo sum and the echo send.
void mixPlayer(SYNTH* synth, Player& p, std::int32_t& left, std::int32_t& right, std::int32_t& send) {
    std::int32_t v[SYNTH_VOICES];
    sequencerNext(p);
    voicesNext(p, v);
    const std::int64_t gain = (std::int64_t{p.gain} * p.level) >> 16;
    for (std::int32_t i = 0; i < SYNTH_VOICES; ++i) {
        const std::int32_t s = static_cast<std::int32_t>((v[i] * gain) >> 16);
        const std::int32_t vol = synth->volume[i];
        const std::int32_t pan = synth->pan[i];
        left += static_cast<std::int32_t>((std::int64_t{s} * vol * (256 - pan)) >> 16);
        right += static_cast<std::int32_t>((std::int64_t{s} * vol * pan) >> 16);
        send += static_cast<std::int32_t>((std::int64_t{s} * vol * echoSend[i]) >> 16);
    }
}

// One stereo sample of the whole synth, before muting.
void nextSample(SYNTH* synth, std::int32_t& left, std::int32_t& right) {
    SYNTHCORE* c = synth->core;
    if (synth->cued >= 0 && synth->position >= synth->cueAt) {
        c->leaving = c->playing;
        playerStart(c->playing, &synth->song->sections[synth->cued]);
        c->playing.noise = c->leaving.noise ^ 0x5BD1E995u;
        synth->section = synth->cued;
        synth->sectionStart = synth->position;
        synth->cued = -1;
    }
    left = right = 0;
    std::int32_t send = 0;
    if (c->playing.active) mixPlayer(synth, c->playing, left, right, send);
    if (c->leaving.active) {
        mixPlayer(synth, c->leaving, left, right, send);
        c->leaving.gain -= fullGain / SYNTH_CROSSFADE;
        if (c->leaving.gain <= 0) c->leaving.active = 0;
    }

    // Ping-pong echo: the send goes into the left line, each line's output
    // into the other, damped, so the repeats alternate sides as they die away.
    const std::int32_t el = c->echoLeft[c->echoIndex];
    const std::int32_t er = c->echoRight[c->echoIndex];
    c->echoDampLeft += (el - c->echoDampLeft) >> 1;
    c->echoDampRight += (er - c->echoDampRight) >> 1;
    c->echoLeft[c->echoIndex] = clampEcho(send + ((c->echoDampRight * echoFeedback) >> 8));
    c->echoRight[c->echoIndex] = clampEcho((c->echoDampLeft * echoFeedback) >> 8);
    if (++c->echoIndex == echoLength) c->echoIndex = 0;
    left += el;
    right += er;

    left = (left * masterVolume) >> 8;
    right = (right * masterVolume) >> 8;
    peakLimiterNext(c->limiter, left, right);
    if (c->fadeTotal > 0) {
        const std::int64_t g = c->fadeLeft * 65536 / c->fadeTotal;
        left = static_cast<std::int32_t>((left * g) >> 16);
        right = static_cast<std::int32_t>((right * g) >> 16);
        if (c->fadeLeft > 0) --c->fadeLeft;
    }
}

constexpr std::int32_t defaultVolume[SYNTH_VOICES] = {78, 100, 46, 44, 150, 150, 56};
constexpr std::int32_t defaultPan[SYNTH_VOICES] = {128, 128, 84, 168, 128, 140, 180};

}  // namespace

// ---- Record -----------------------------------------------------------------

// New synth playing the show's song from section 0; null when memory is exhausted.
SYNTH* SYNTHNew() {
    auto* synth = static_cast<SYNTH*>(std::calloc(1, sizeof(SYNTH)));
    if (synth == nullptr) return nullptr;
    synth->core = static_cast<SYNTHCORE*>(std::calloc(1, sizeof(SYNTHCORE)));
    if (synth->core != nullptr) {
        synth->core->echoLeft = static_cast<std::int32_t*>(std::calloc(echoLength, sizeof(std::int32_t)));
        synth->core->echoRight = static_cast<std::int32_t*>(std::calloc(echoLength, sizeof(std::int32_t)));
    }
    if (synth->core == nullptr || synth->core->echoLeft == nullptr || synth->core->echoRight == nullptr) {
        SYNTHFree(&synth);
        return nullptr;
    }
    peakLimiterReset(synth->core->limiter);
    for (std::int32_t i = 0; i < SYNTH_VOICES; ++i) {
        synth->volume[i] = defaultVolume[i];
        synth->pan[i] = defaultPan[i];
    }
    SYNTHSetSong(synth, &synthSong);
    return synth;
}

// Release the synth and what it owns, clear the caller's pointer.
void SYNTHFree(SYNTH** synth) {
    if (synth == nullptr || *synth == nullptr) return;
    if ((*synth)->core != nullptr) {
        std::free((*synth)->core->echoLeft);
        std::free((*synth)->core->echoRight);
        std::free((*synth)->core);
    }
    std::free(*synth);
    *synth = nullptr;
}

// Plays another song from its first section at once; the echo keeps ringing.
void SYNTHSetSong(SYNTH* synth, const SYNTHSONG* song) {
    if (synth == nullptr || synth->core == nullptr || song == nullptr) {
        SYNTHError();
        return;
    }
    synth->song = song;
    synth->section = 0;
    synth->cued = -1;
    synth->sectionStart = synth->position;
    playerStart(synth->core->playing, &song->sections[0]);
    synth->core->leaving.active = 0;
}

// ---- Playing ----------------------------------------------------------------

// Renders frames stereo sample pairs into out, interleaved left, right.
void SYNTHRender(SYNTH* synth, std::int16_t* out, std::int32_t frames) {
    if (synth == nullptr || synth->core == nullptr || out == nullptr || frames < 0) {
        SYNTHError();
        return;
    }
    SYNTHCORE* c = synth->core;
    for (std::int32_t i = 0; i < frames; ++i) {
        std::int32_t left = 0, right = 0;
        if (c->fadeTotal == 0 || c->fadeLeft > 0) nextSample(synth, left, right);
        ++synth->position;
        if (synth->muted) left = right = 0;
        out[2 * i] = saturate(left);
        out[2 * i + 1] = saturate(right);
    }
}

// Starts a section on the next beat of the synth's clock (at once when the
// clock is on a beat); the section playing fades out over SYNTH_CROSSFADE samples.
void SYNTHCue(SYNTH* synth, std::int32_t section) {
    if (synth == nullptr || synth->core == nullptr || synth->song == nullptr || section < 0 || section >= SYNTH_SECTIONS) {
        SYNTHError();
        return;
    }
    synth->cued = section;
    synth->cueAt = (synth->position + SYNTH_BEAT - 1) / SYNTH_BEAT * SYNTH_BEAT;
}

// Silences the output exactly while on; the song, its cues and fades run on
// underneath, so unmuting resumes where the music has got to.
void SYNTHMute(SYNTH* synth, bool on) {
    if (synth == nullptr) {
        SYNTHError();
        return;
    }
    synth->muted = on ? 1 : 0;
}

// Fades all sound out linearly over samples (at least 1); silence afterwards.
void SYNTHFadeOut(SYNTH* synth, std::int32_t samples) {
    if (synth == nullptr || synth->core == nullptr || samples <= 0) {
        SYNTHError();
        return;
    }
    if (synth->core->fadeTotal > 0) return;  // already fading: the first fade stands
    synth->core->fadeTotal = samples;
    synth->core->fadeLeft = samples;
}

bool SYNTHFaded(const SYNTH* synth) {
    if (synth == nullptr || synth->core == nullptr) {
        SYNTHError();
        return false;
    }
    return synth->core->fadeTotal > 0 && synth->core->fadeLeft == 0;
}

// Stops the song and holds one note on one voice (drums ignore the note and
// strike once): for listening to a voice alone and for measuring its pitch.
void SYNTHTone(SYNTH* synth, std::int32_t voice, std::int32_t note) {
    if (synth == nullptr || synth->core == nullptr || voice < 0 || voice >= SYNTH_VOICES) {
        SYNTHError();
        return;
    }
    Player& p = synth->core->playing;
    playerStart(p, nullptr);
    synth->core->leaving.active = 0;
    synth->cued = -1;
    switch (voice) {
    case SYNTH_LEAD: leadOn(p, note); break;
    case SYNTH_BASS: bassOn(p, note); break;
    case SYNTH_ARP: arpOn(p, note); break;
    case SYNTH_PAD: padOn(p, note, SYNTHCHORD{0, {0, 0, 0, 0}}, 1); break;
    case SYNTH_KICK: drumOn(p.kick, 2); break;
    case SYNTH_SNARE: drumOn(p.snare, 2); break;
    default: drumOn(p.hat, 2); break;
    }
}

// ---- Reporter ---------------------------------------------------------------

void SYNTHError() {
    if (reportErrors) std::printf("SYNTH error\n");
}

void SYNTHSetReportErrors(bool on) {
    reportErrors = on ? 1 : 0;
}
