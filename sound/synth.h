// SYNTH: the show's soundtrack, synthesised sample by sample from note data.
// Renders 44100 Hz interleaved stereo signed 16-bit audio with integer and
// fixed-point arithmetic only, so the same song gives the same bytes on every
// compiler and machine. Seven voices: a pulse or saw lead, a filtered saw
// bass, a chord arpeggio, a chord pad and three noise-and-tone drums; the lead
// and arpeggio feed a ping-pong echo. Each section plays at its own level and
// a look-ahead limiter holds the mix's true peak under -1.5 dBFS, so the sound
// trails the song's clock by 70 samples. Time is counted in samples from
// SYNTHNew; one show frame (50 per second) is 882 samples, a beat 24 frames
// (125 bpm).
// Misuse is reported through SYNTHError and the operation then does nothing.
#pragma once

#include <cstdint>

// ---- Time -------------------------------------------------------------------
inline constexpr std::int32_t SYNTH_RATE = 44100;          // sample frames per second
inline constexpr std::int32_t SYNTH_FRAME = 882;           // samples per show frame
inline constexpr std::int32_t SYNTH_STEP = 6 * SYNTH_FRAME;   // a sixteenth note
inline constexpr std::int32_t SYNTH_BEAT = 4 * SYNTH_STEP;    // 21168 samples, 125 bpm
inline constexpr std::int32_t SYNTH_STEPS = 16;             // steps in a pattern: one 4/4 bar
inline constexpr std::int32_t SYNTH_CROSSFADE = 2048;       // samples an old section takes to fade out

// ---- Voices -----------------------------------------------------------------
enum SYNTHVOICE : std::int32_t {
    SYNTH_LEAD, SYNTH_BASS, SYNTH_ARP, SYNTH_PAD, SYNTH_KICK, SYNTH_SNARE, SYNTH_HAT, SYNTH_VOICES
};

// ---- Note data --------------------------------------------------------------
// Note numbers are MIDI's: 69 is A4 (440 Hz), 60 is C4. Pattern steps hold a
// note number, SYNTH_HOLD (the previous note rings on) or SYNTH_OFF (release).
inline constexpr std::int8_t SYNTH_HOLD = -1;
inline constexpr std::int8_t SYNTH_OFF = -2;

struct SYNTHPATTERN {
    std::int8_t steps[SYNTH_STEPS];
};
// Drum hits per step: 0 none, 1 hit, 2 accented hit (hats: 3 open).
struct SYNTHDRUMS {
    std::uint8_t kick[SYNTH_STEPS];
    std::uint8_t snare[SYNTH_STEPS];
    std::uint8_t hat[SYNTH_STEPS];
};
// A chord: its root as a move of the C-based patterns (-5 .. 6 semitones) and
// its four tones in semitones above the root (triads repeat the root an octave up).
struct SYNTHCHORD {
    std::int8_t transpose;
    std::int8_t tones[4];
};
// One bar of a section: the chord and a pattern per track; null is silence.
// The bass, arpeggio and pad patterns are written on C and moved to the chord.
struct SYNTHBAR {
    SYNTHCHORD chord;
    const SYNTHPATTERN* lead;
    const SYNTHPATTERN* bass;
    const SYNTHPATTERN* arp;
    const SYNTHPATTERN* pad;
    const SYNTHDRUMS* drums;
};
// A section plays its bars in order, then again from bar `loop`.
struct SYNTHSECTION {
    const SYNTHBAR* bars;
    std::int32_t count;
    std::int32_t loop;
    std::uint8_t sawLead;   // 1: saw lead, 0: pulse lead with a slowly swept width
    std::int32_t level;     // the section's loudness against the others, in tenths of a dB (0: as mixed)
};
inline constexpr std::int32_t SYNTH_SECTIONS = 3;
struct SYNTHSONG {
    SYNTHSECTION sections[SYNTH_SECTIONS];
};
extern const SYNTHSONG synthSong;  // the show's music: one section per part

// ---- The record -------------------------------------------------------------
struct SYNTHCORE;  // voices, sequencers and echo; owned, private to the module

struct SYNTH {
    const SYNTHSONG* song;
    std::int64_t position;             // samples rendered so far
    std::int32_t section;              // section playing (or last cued)
    std::int32_t cued;                 // section waiting for its beat, -1 for none
    std::int64_t cueAt;                // the sample where the cued section starts
    std::int64_t sectionStart;         // the sample where the playing section started
    std::uint8_t muted;                // 1: the output is exact silence; the song runs on (set by SYNTHMute)
    std::int32_t volume[SYNTH_VOICES]; // 0 .. 256
    std::int32_t pan[SYNTH_VOICES];    // 0 left .. 128 centre .. 256 right
    SYNTHCORE* core;
};

SYNTH* SYNTHNew();                                    // the show's song, section 0 from sample 0; null on failure
void SYNTHFree(SYNTH** synth);                        // release and clear the caller's pointer
void SYNTHRender(SYNTH* synth, std::int16_t* out, std::int32_t frames);  // frames stereo pairs, interleaved L, R
void SYNTHCue(SYNTH* synth, std::int32_t section);    // start a section on the next beat, fading the old one out
void SYNTHMute(SYNTH* synth, bool on);               // exact silence from the next sample on while on; the song runs on
void SYNTHFadeOut(SYNTH* synth, std::int32_t samples);  // fade everything to silence over samples, then stay silent
bool SYNTHFaded(const SYNTH* synth);                  // true once a fade-out has reached silence
void SYNTHTone(SYNTH* synth, std::int32_t voice, std::int32_t note);  // stop the song, hold one note on one voice
void SYNTHSetSong(SYNTH* synth, const SYNTHSONG* song);  // play another song from its section 0, now
void SYNTHError();                                    // prints "SYNTH error\n" while reporting is on
void SYNTHSetReportErrors(bool on);                   // test hook: the program never turns reporting on
