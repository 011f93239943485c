// The sound device: what the show publishes reaches the callback's next
// buffer, the device opens on SDL's dummy driver, and no device is no error.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/sdlsnd.h"

namespace {

// One callback's buffer of `frames` stereo frames, filled as SDL would ask.
std::vector<std::int16_t> Fill(SDLSND* sound, int frames) {
    std::vector<std::int16_t> out(2 * static_cast<std::size_t>(frames), 12345);
    SDLSNDFill(sound, reinterpret_cast<std::uint8_t*>(out.data()), frames * 4);
    return out;
}

bool Silent(const std::vector<std::int16_t>& s) {
    for (const std::int16_t v : s) {
        if (v != 0) return false;
    }
    return true;
}

// A record whose device cannot open: the callback's work is driven by hand.
struct SilentDevice : ::testing::Test {
    SDLSND* sound = nullptr;
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
        sound = SDLSNDNew();
        ASSERT_NE(sound, nullptr);
    }
    void TearDown() override {
        SDLSNDFree(&sound);
        SDL_Quit();
    }
};

}  // namespace

TEST_F(SilentDevice, NoDeviceIsReportedAndEveryOperationIsHarmless) {
    EXPECT_EQ(sound->playing, 0);
    ASSERT_NE(SDLSNDProblem(), nullptr);
    EXPECT_STRNE(SDLSNDProblem(), "");
    EXPECT_EQ(SDLSNDNew(), sound);  // one record per process
    SDLSNDCue(sound, 2);
    SDLSNDToggleMute(sound);
    SDLSNDFadeOut(sound);
    SDLSNDWaitFaded(sound);  // returns at once: nothing plays
}

// Mute acts on the very next buffer and lets the song run on underneath.
TEST_F(SilentDevice, MuteSilencesTheNextBuffer) {
    EXPECT_FALSE(Silent(Fill(sound, SYNTH_RATE / 2)));
    SDLSNDToggleMute(sound);
    EXPECT_TRUE(Silent(Fill(sound, 1024)));
    EXPECT_TRUE(Silent(Fill(sound, 1024)));
    SDLSNDToggleMute(sound);
    EXPECT_FALSE(Silent(Fill(sound, 1024)));
    EXPECT_EQ(sound->rendered.load(), SYNTH_RATE / 2 + 3 * 1024);
}

// Each cue acts once, in the buffer after it, on the beat after that buffer starts.
TEST_F(SilentDevice, CueStartsItsSectionOnTheNextBeatOnce) {
    Fill(sound, 1000);
    SDLSNDCue(sound, 2);
    Fill(sound, 1000);
    EXPECT_EQ(sound->synth->cueAt, SYNTH_BEAT);
    Fill(sound, SYNTH_BEAT);
    EXPECT_EQ(sound->synth->section, 2);
    EXPECT_EQ(sound->synth->sectionStart, SYNTH_BEAT);
    Fill(sound, SYNTH_BEAT);
    EXPECT_EQ(sound->synth->sectionStart, SYNTH_BEAT);  // not cued again
    SDLSNDCue(sound, 0);
    SDLSNDCue(sound, 1);  // the latest request wins
    Fill(sound, 2 * SYNTH_BEAT);
    EXPECT_EQ(sound->synth->section, 1);
    EXPECT_EQ(sound->synth->sectionStart, 3 * SYNTH_BEAT);
}

// The closing fade lasts 32 show frames from the buffer after it is asked for.
TEST_F(SilentDevice, FadeReachesSilenceAfterThirtyTwoFrames) {
    Fill(sound, SYNTH_RATE);
    SDLSNDFadeOut(sound);
    EXPECT_FALSE(Silent(Fill(sound, 31 * SYNTH_FRAME)));
    EXPECT_EQ(sound->faded.load(), 0);
    Fill(sound, SYNTH_FRAME);
    EXPECT_EQ(sound->faded.load(), 0);  // silent from here, but no whole buffer of silence played yet
    EXPECT_TRUE(Silent(Fill(sound, 4096)));
    EXPECT_EQ(sound->faded.load(), 1);
}

// Kept closed for a program that fills the buffers itself: no device, no problem.
TEST(SoundDevice, KeptClosedOpensNothingAndReportsNothing) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
    SDLSNDKeepClosed(true);
    SDLSND* sound = SDLSNDNew();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->playing, 0);
    EXPECT_EQ(SDLSNDProblem(), nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    EXPECT_FALSE(Silent(Fill(sound, 4096)));
    // Opened later (a page's first click): a part cued meanwhile is taken up.
    SDLSNDCue(sound, 2);
    ASSERT_TRUE(SDLSNDStart(sound));
    EXPECT_EQ(SDLSNDProblem(), nullptr);
    for (int i = 0; i < 500 && sound->rendered.load() < 8192; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    SDL_LockAudio();  // the callback's synth, read between two buffers
    EXPECT_TRUE(sound->synth->section == 2 || sound->synth->cued == 2);  // taken up by the first buffer
    EXPECT_EQ(sound->synth->cued == 2 ? sound->synth->cueAt : sound->synth->sectionStart, SYNTH_BEAT);
    SDL_UnlockAudio();
    SDLSNDFree(&sound);
    SDLSNDKeepClosed(false);
    SDL_Quit();
}

// On SDL's dummy driver the device opens and SDL's thread renders on its own.
TEST(SoundDevice, OpensOnTheDummyDriverAndPlays) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
    SDLSND* sound = SDLSNDNew();
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->playing, 1);
    EXPECT_EQ(SDLSNDProblem(), nullptr);
    for (int i = 0; i < 500 && sound->rendered.load() < 4096; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(sound->rendered.load(), 4096);
    SDLSNDFree(&sound);
    EXPECT_EQ(sound, nullptr);
    EXPECT_NE(SDLSNDProblem(), nullptr);
    SDL_Quit();
}

// Quitting waits for the fade only while the device goes on pulling buffers:
// once played it returns at once; a device that has stopped (as a page's
// suspended audio does) holds it 250 ms, not 3 s. The virtual clock counts
// the waits' milliseconds.
TEST_F(SilentDevice, WaitForTheFadeEndsOnceFadedOrWhenTheDeviceStops) {
    sound->playing = 1;  // as if a device played what is filled here
    SDLSNDFadeOut(sound);
    Fill(sound, 33 * SYNTH_FRAME);
    Fill(sound, 1024);
    ASSERT_EQ(sound->faded.load(), 1);
    Uint32 start = SDL_GetTicks();
    SDLSNDWaitFaded(sound);
    EXPECT_EQ(SDL_GetTicks() - start, 0u);

    sound->faded.store(0);
    start = SDL_GetTicks();
    SDLSNDWaitFaded(sound);
    EXPECT_EQ(SDL_GetTicks() - start, 250u);
    sound->playing = 0;
}
