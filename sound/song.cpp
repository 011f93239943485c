// The show's music: three sections, one per part, in A minor at 125 bpm.
//
// How to edit it. A pattern is one bar of one voice: 16 steps (sixteenth
// notes), one token per step, tokens separated by spaces:
//   "A-4" a note (letter, '-' or '#', octave; C-4 is middle C, A-4 440 Hz),
//   "..." the note before rings on, "===" it is released.
// Drum patterns are three strings of 16 characters, kick, snare and hat:
//   '.' nothing, 'x' a hit, 'X' an accented hit, 'o' an open hat.
// Bass, arpeggio and pad patterns are written on a C chord; each bar's chord
// ("Am", "F", "E7", "Fmaj7", "Dm7", "Esus4" ...) moves them to its root, so
// write their lines with C and G only. Each arpeggio note plays the chord's
// next tone (root, third, fifth, octave or seventh) from the written octave;
// a pad note holds the whole chord from there. The lead is written as heard.
// A section lists its bars in order (chord, then lead, bass, arpeggio, pad and
// drum patterns, null for silence) and loops back to the bar named by `loop`;
// its level evens out its loudness with the other sections'.
// The note data is checked while compiling: a malformed token stops the build.
#include "sound/synth.h"

#include <cstddef>

namespace {

void badNoteData() {}  // not constexpr: reaching it while compiling stops the build

// Semitone of a note letter above C, or -1.
consteval int letterSemitone(char c) {
    switch (c) {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    case 'B': return 11;
    default: return -1;
    }
}

consteval SYNTHPATTERN notes(const char* text) {
    SYNTHPATTERN p{};
    int n = 0;
    for (const char* s = text; *s != 0;) {
        if (*s == ' ') {
            ++s;
            continue;
        }
        if (n >= SYNTH_STEPS || s[1] == 0 || s[2] == 0) badNoteData();
        if (s[0] == '.' && s[1] == '.' && s[2] == '.') {
            p.steps[n] = SYNTH_HOLD;
        } else if (s[0] == '=' && s[1] == '=' && s[2] == '=') {
            p.steps[n] = SYNTH_OFF;
        } else {
            int semitone = letterSemitone(s[0]);
            if (semitone < 0 || (s[1] != '-' && s[1] != '#') || s[2] < '0' || s[2] > '8') badNoteData();
            if (s[1] == '#') ++semitone;
            p.steps[n] = static_cast<std::int8_t>((s[2] - '0' + 1) * 12 + semitone);
        }
        s += 3;
        ++n;
    }
    if (n != SYNTH_STEPS) badNoteData();
    return p;
}

consteval void hits(const char* text, std::uint8_t* out, bool hat) {
    int n = 0;
    for (; text[n] != 0; ++n) {
        if (n >= SYNTH_STEPS) badNoteData();
        switch (text[n]) {
        case '.': out[n] = 0; break;
        case 'x': out[n] = 1; break;
        case 'X': out[n] = 2; break;
        case 'o':
            if (!hat) badNoteData();
            out[n] = 3;
            break;
        default: badNoteData();
        }
    }
    if (n != SYNTH_STEPS) badNoteData();
}

consteval SYNTHDRUMS drums(const char* kick, const char* snare, const char* hat) {
    SYNTHDRUMS d{};
    hits(kick, d.kick, false);
    hits(snare, d.snare, false);
    hits(hat, d.hat, true);
    return d;
}

consteval bool same(const char* a, const char* b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

consteval SYNTHCHORD chord(const char* name) {
    int root = letterSemitone(name[0]);
    if (root < 0) badNoteData();
    const char* q = name + 1;
    if (*q == '#') {
        ++root;
        ++q;
    } else if (*q == 'b') {
        --root;
        ++q;
    }
    root = (root + 12) % 12;
    SYNTHCHORD c{static_cast<std::int8_t>(root > 6 ? root - 12 : root), {0, 4, 7, 12}};
    if (same(q, "m")) c.tones[1] = 3;
    else if (same(q, "7")) c.tones[3] = 10;
    else if (same(q, "m7")) c.tones[1] = 3, c.tones[3] = 10;
    else if (same(q, "maj7")) c.tones[3] = 11;
    else if (same(q, "sus4")) c.tones[1] = 5;
    else if (same(q, "sus2")) c.tones[1] = 2;
    else if (same(q, "add9")) c.tones[3] = 14;
    else if (!same(q, "")) badNoteData();
    return c;
}

// ---- Bass, arpeggio and pad (on C) ------------------------------------------
constexpr SYNTHPATTERN bassLong  = notes("C-2 ... ... ... ... ... ... ... C-2 ... ... ... G-2 ... C-3 ...");
constexpr SYNTHPATTERN bassDrive = notes("C-2 === C-3 C-2 === C-2 C-3 === C-2 === C-3 C-2 === G-2 C-3 ===");
constexpr SYNTHPATTERN bassRoll  = notes("C-2 ... C-3 ... C-2 C-2 C-3 ... C-2 ... C-3 ... C-2 C-2 G-2 C-3");
constexpr SYNTHPATTERN bassHalf  = notes("C-2 ... ... ... ... ... ... ... ... ... C-2 ... G-2 ... ... ...");

constexpr SYNTHPATTERN arpRun    = notes("C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4 C-4");
constexpr SYNTHPATTERN arpHigh   = notes("C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5 C-5");
constexpr SYNTHPATTERN arpEights = notes("C-5 ... C-5 ... C-5 ... C-5 ... C-5 ... C-5 ... C-5 ... C-5 ...");

constexpr SYNTHPATTERN padHold   = notes("C-4 ... ... ... ... ... ... ... ... ... ... ... ... ... ... ...");

// ---- Drums --------------------------------------------------------------------
constexpr SYNTHDRUMS hatsOnly = drums("................", "................", "..x...x...x...x.");
constexpr SYNTHDRUMS hatsBuild = drums("x.......x.......", "............x.xx", "..x...x...x.x.xx");
constexpr SYNTHDRUMS beatFour = drums("X...x...X...x...", "....X.......X...", "..x...x...x...xo");
constexpr SYNTHDRUMS beatFourB = drums("X...x...X...x.x.", "....X.......X..x", "x.x.x.x.x.x.x.xo");
constexpr SYNTHDRUMS fillFour = drums("X...x...X...x...", "....X...x.x.XxXX", "..x...x.........");
constexpr SYNTHDRUMS beatBreak = drums("X.....x...X.....", "....X.......X...", "x.x.x.x.x.x.x.xo");
constexpr SYNTHDRUMS beatBreakB = drums("X.....x...X...x.", "....X.......X.xx", "x.xxx.x.x.xxx.x.");
constexpr SYNTHDRUMS fillBreak = drums("X.....x...X.....", "....X...x.x.XxXX", "x.x.x.x.........");
constexpr SYNTHDRUMS beatHalf = drums("X.........x.....", "........X.......", "x.x.x.x.x.x.x.xo");
constexpr SYNTHDRUMS fillHalf = drums("X.........x.....", "........X...x.xX", "x.x.x.x.x.x.....");

// ---- Section one: raster bars. i - VI - III - VII, a driving octave bass --------
constexpr SYNTHPATTERN one1 = notes("A-4 ... ... C-5 ... ... E-5 ... A-5 ... ... ... G-5 ... E-5 ...");
constexpr SYNTHPATTERN one2 = notes("F-5 ... ... E-5 ... ... C-5 ... A-4 ... ... ... C-5 ... ... ...");
constexpr SYNTHPATTERN one3 = notes("G-5 ... ... E-5 ... ... C-5 ... E-5 ... ... ... G-5 ... A-5 ...");
constexpr SYNTHPATTERN one4 = notes("B-5 ... ... A-5 ... ... G-5 ... D-5 ... ... ... === ... ... ...");
constexpr SYNTHPATTERN one5 = notes("A-4 ... ... C-5 ... ... E-5 ... A-5 ... ... ... B-5 ... C-6 ...");
constexpr SYNTHPATTERN one6 = notes("C-6 ... ... ... A-5 ... ... ... F-5 ... ... ... A-5 ... ... ...");
constexpr SYNTHPATTERN one7 = notes("G-5 ... ... ... E-5 ... ... ... C-5 ... ... ... E-5 ... G-5 ...");
constexpr SYNTHPATTERN one8 = notes("D-5 ... ... ... ... ... ... ... === ... ... ... B-4 ... D-5 ...");

constexpr SYNTHBAR sectionOne[] = {
    // chord         lead   bass        arpeggio  pad       drums
    {chord("Am"),    nullptr, &bassLong,  &arpRun,  nullptr,  &hatsOnly},
    {chord("F"),     nullptr, &bassLong,  &arpRun,  nullptr,  &hatsOnly},
    {chord("C"),     nullptr, &bassLong,  &arpRun,  nullptr,  &hatsOnly},
    {chord("G"),     nullptr, &bassLong,  &arpRun,  nullptr,  &hatsBuild},
    {chord("Am"),    &one1,   &bassDrive, &arpRun,  nullptr,  &beatFour},   // loop
    {chord("F"),     &one2,   &bassDrive, &arpRun,  nullptr,  &beatFour},
    {chord("C"),     &one3,   &bassDrive, &arpRun,  nullptr,  &beatFour},
    {chord("G"),     &one4,   &bassDrive, &arpRun,  nullptr,  &fillFour},
    {chord("Am"),    &one5,   &bassDrive, &arpRun,  nullptr,  &beatFour},
    {chord("F"),     &one6,   &bassDrive, &arpRun,  nullptr,  &beatFour},
    {chord("C"),     &one7,   &bassDrive, &arpRun,  nullptr,  &beatFour},
    {chord("G"),     &one8,   &bassDrive, &arpRun,  nullptr,  &fillFour},
    {chord("Am"),    &one1,   &bassDrive, &arpHigh, &padHold, &beatFourB},
    {chord("F"),     &one2,   &bassDrive, &arpHigh, &padHold, &beatFourB},
    {chord("C"),     &one3,   &bassDrive, &arpHigh, &padHold, &beatFourB},
    {chord("Gsus4"), &one8,   &bassDrive, &arpHigh, &padHold, &fillFour},
};

// ---- Section two: the starfield. A descending cadence, a brighter middle ------
constexpr SYNTHPATTERN two1 = notes("E-5 ... ... ... A-5 ... ... ... C-6 ... B-5 ... A-5 ... E-5 ...");
constexpr SYNTHPATTERN two2 = notes("D-5 ... ... ... G-5 ... ... ... B-5 ... A-5 ... G-5 ... D-5 ...");
constexpr SYNTHPATTERN two3 = notes("C-5 ... ... ... F-5 ... ... ... A-5 ... G-5 ... F-5 ... C-5 ...");
constexpr SYNTHPATTERN two4 = notes("B-4 ... ... ... E-5 ... ... ... G#5 ... ... ... B-5 ... ... ...");
constexpr SYNTHPATTERN two5 = notes("A-5 ... ... ... ... ... E-5 ... C-6 ... ... ... B-5 ... A-5 ...");
constexpr SYNTHPATTERN two6 = notes("B-5 ... ... ... ... ... G-5 ... D-6 ... ... ... C-6 ... B-5 ...");
constexpr SYNTHPATTERN two7 = notes("A-5 ... ... ... ... ... F-5 ... C-6 ... ... ... A-5 ... F-5 ...");
constexpr SYNTHPATTERN two8 = notes("G#5 ... ... ... ... ... ... ... E-5 ... ... ... === ... ... ...");
constexpr SYNTHPATTERN two9 = notes("C-6 ... ... ... ... ... A-5 ... ... ... C-6 ... D-6 ... C-6 ...");
constexpr SYNTHPATTERN twoA = notes("D-6 ... ... ... ... ... B-5 ... ... ... G-5 ... A-5 ... B-5 ...");
constexpr SYNTHPATTERN twoB = notes("E-6 ... ... ... ... ... C-6 ... ... ... G-5 ... A-5 ... B-5 ...");
constexpr SYNTHPATTERN twoC = notes("A-5 ... ... ... ... ... E-5 ... ... ... C-5 ... D-5 ... E-5 ...");
constexpr SYNTHPATTERN twoD = notes("F-5 ... ... ... ... ... A-5 ... ... ... D-6 ... C-6 ... A-5 ...");
constexpr SYNTHPATTERN twoE = notes("C-6 ... ... ... ... ... A-5 ... ... ... F-5 ... A-5 ... C-6 ...");
constexpr SYNTHPATTERN twoF = notes("G#5 ... ... ... B-5 ... ... ... E-6 ... ... ... D-6 ... ... ...");
constexpr SYNTHPATTERN twoG = notes("B-5 ... ... ... ... ... ... ... ... ... ... ... === ... ... ...");

constexpr SYNTHBAR sectionTwo[] = {
    // chord       lead   bass        arpeggio  pad       drums
    {chord("Am"),  &two1, &bassRoll,  &arpRun,  nullptr,  &beatBreak},
    {chord("G"),   &two2, &bassRoll,  &arpRun,  nullptr,  &beatBreak},
    {chord("F"),   &two3, &bassRoll,  &arpRun,  nullptr,  &beatBreak},
    {chord("E"),   &two4, &bassRoll,  &arpRun,  nullptr,  &beatBreakB},
    {chord("Am"),  &two5, &bassRoll,  &arpRun,  nullptr,  &beatBreak},
    {chord("G"),   &two6, &bassRoll,  &arpRun,  nullptr,  &beatBreak},
    {chord("F"),   &two7, &bassRoll,  &arpRun,  nullptr,  &beatBreak},
    {chord("E7"),  &two8, &bassRoll,  &arpRun,  nullptr,  &fillBreak},
    {chord("F"),   &two9, &bassDrive, &arpHigh, &padHold, &beatFour},
    {chord("G"),   &twoA, &bassDrive, &arpHigh, &padHold, &beatFour},
    {chord("C"),   &twoB, &bassDrive, &arpHigh, &padHold, &beatFour},
    {chord("Am"),  &twoC, &bassDrive, &arpHigh, &padHold, &beatFourB},
    {chord("Dm"),  &twoD, &bassDrive, &arpHigh, &padHold, &beatFour},
    {chord("F"),   &twoE, &bassDrive, &arpHigh, &padHold, &beatFour},
    {chord("E"),   &twoF, &bassDrive, &arpHigh, &padHold, &beatFour},
    {chord("E7"),  &twoG, &bassDrive, &arpHigh, &padHold, &fillFour},
    {chord("Am"),  &two5, &bassRoll,  &arpRun,  &padHold, &beatBreakB},
    {chord("G"),   &two6, &bassRoll,  &arpRun,  &padHold, &beatBreakB},
    {chord("F"),   &two7, &bassRoll,  &arpRun,  &padHold, &beatBreakB},
    {chord("E"),   &two8, &bassRoll,  &arpRun,  &padHold, &beatBreakB},
    {chord("Am"),  &two1, &bassRoll,  &arpRun,  &padHold, &beatBreakB},
    {chord("G"),   &two2, &bassRoll,  &arpRun,  &padHold, &beatBreakB},
    {chord("F"),   &two3, &bassRoll,  &arpRun,  &padHold, &beatBreakB},
    {chord("E7"),  &two4, &bassRoll,  &arpRun,  &padHold, &fillBreak},
};

// ---- Section three: the plasma. Falling seventh chords, half-time, a saw lead --
constexpr SYNTHPATTERN three1 = notes("A-5 ... ... ... ... ... ... ... ... ... ... ... G-5 ... E-5 ...");
constexpr SYNTHPATTERN three2 = notes("G-5 ... ... ... ... ... ... ... ... ... ... ... D-5 ... E-5 ...");
constexpr SYNTHPATTERN three3 = notes("F-5 ... ... ... ... ... ... ... ... ... ... ... E-5 ... C-5 ...");
constexpr SYNTHPATTERN three4 = notes("E-5 ... ... ... ... ... ... ... D-5 ... ... ... === ... ... ...");
constexpr SYNTHPATTERN three5 = notes("C-6 ... ... ... ... ... ... ... A-5 ... ... ... E-6 ... ... ...");
constexpr SYNTHPATTERN three6 = notes("B-5 ... ... ... ... ... ... ... G-5 ... ... ... D-6 ... ... ...");
constexpr SYNTHPATTERN three7 = notes("A-5 ... ... ... ... ... ... ... F-5 ... ... ... D-5 ... ... ...");
constexpr SYNTHPATTERN three8 = notes("G#5 ... ... ... ... ... ... ... B-5 ... ... ... === ... ... ...");

constexpr SYNTHBAR sectionThree[] = {
    // chord         lead     bass       arpeggio    pad       drums
    {chord("Fmaj7"), nullptr, &bassHalf, &arpEights, &padHold, &hatsOnly},
    {chord("Em7"),   nullptr, &bassHalf, &arpEights, &padHold, &hatsOnly},
    {chord("Dm7"),   nullptr, &bassHalf, &arpEights, &padHold, &hatsOnly},
    {chord("Cmaj7"), nullptr, &bassHalf, &arpEights, &padHold, &hatsBuild},
    {chord("Fmaj7"), &three1, &bassHalf, &arpEights, &padHold, &beatHalf},   // loop
    {chord("Em7"),   &three2, &bassHalf, &arpEights, &padHold, &beatHalf},
    {chord("Dm7"),   &three3, &bassHalf, &arpEights, &padHold, &beatHalf},
    {chord("Cmaj7"), &three4, &bassHalf, &arpEights, &padHold, &fillHalf},
    {chord("Fmaj7"), &three5, &bassHalf, &arpEights, &padHold, &beatHalf},
    {chord("Em7"),   &three6, &bassHalf, &arpEights, &padHold, &beatHalf},
    {chord("Dm7"),   &three7, &bassHalf, &arpEights, &padHold, &beatHalf},
    {chord("E7"),    &three8, &bassHalf, &arpEights, &padHold, &fillHalf},
    {chord("Fmaj7"), &three1, &bassHalf, &arpRun,    &padHold, &beatHalf},
    {chord("Em7"),   &three2, &bassHalf, &arpRun,    &padHold, &beatHalf},
    {chord("Dm7"),   &three3, &bassHalf, &arpRun,    &padHold, &beatHalf},
    {chord("Esus4"), &three4, &bassHalf, &arpRun,    &padHold, &fillHalf},
};

template <std::size_t N>
constexpr SYNTHSECTION Section(const SYNTHBAR (&bars)[N], std::int32_t loop, std::uint8_t sawLead, std::int32_t level) {
    return {bars, static_cast<std::int32_t>(N), loop, sawLead, level};
}

}  // namespace

// The levels (tenths of a dB) bring the three sections to the same loudness.
const SYNTHSONG synthSong = {{
    //      bars          loop saw level
    Section(sectionOne,   4,   0,  6),
    Section(sectionTwo,   0,   0,  -13),
    Section(sectionThree, 4,   1,  17),
}};
