// The keyboard with events injected into SDL's queue: one key code per drain,
// the last key event winning; keys beyond the character range, the close
// request and the mouse never act.
#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"

namespace {

void Push(Uint8 type, SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 0);
}

// Press and let go in separate drains, as a held key arrives frame by frame.
char Tap(SDLKBD* k, SDLKey sym, SDLMod mod = KMOD_NONE) {
    Push(SDL_KEYDOWN, sym, mod);
    SDLKBDGetKey(k);
    const char code = k->buffer[0];
    Push(SDL_KEYUP, sym, mod);
    SDLKBDGetKey(k);
    return code;
}

bool QueueEmpty() {
    SDL_Event e;
    return SDL_PollEvent(&e) == 0;
}

class Keyboard : public testing::Test {
protected:
    SDLKBD* k = nullptr;
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0) << SDL_GetError();
        ASSERT_NE(SDLDPYNew(), nullptr);  // starts video, and with it the event queue
        k = SDLKBDNew();
        ASSERT_NE(k, nullptr);
        SDLKBDGetKey(k);  // whatever SDL queued on opening the window
        k->buffer[0] = 0;
    }
    void TearDown() override {
        SDLKBDFree(&k);
        SDLDPY* d = SDLDPYCurrent();
        if (d != nullptr) SDLDPYFree(&d);
        SDL_Quit();
    }
};

}  // namespace

TEST(KeyboardWithoutDisplay, RefusesToExist) {
    ASSERT_EQ(SDL_Init(SDL_INIT_NOPARACHUTE), 0);
    EXPECT_EQ(SDLKBDNew(), nullptr);
    SDLKBDGetKey(nullptr);
    SDL_Quit();
}

TEST_F(Keyboard, OneRecordWithItsGenericOperations) {
    EXPECT_EQ(k->buffer[0], 0);
    EXPECT_EQ(SDLKBDNew(), k);
    EXPECT_EQ(SDLKBDEqual(k, k), 1);
    SDLKBD other{};
    EXPECT_EQ(SDLKBDEqual(k, &other), 0);
    EXPECT_EQ(SDLKBDEqual(k, nullptr), 0);
    EXPECT_EQ(SDLKBDEqual(nullptr, nullptr), 0);
    EXPECT_STREQ(SDLKBDToASCII(k), "");
    EXPECT_EQ(SDLKBDToASCII(nullptr), nullptr);
    EXPECT_EQ(SDLKBDFromASCII(""), nullptr);
    EXPECT_EQ(SDLKBDFromASCII(nullptr), nullptr);
    EXPECT_EQ(SDLKBDCopy(k), nullptr);

    k->buffer[0] = 'x';
    SDLKBDFree(nullptr);
    SDLKBDFree(&k);
    EXPECT_EQ(k, nullptr);
    SDLKBDFree(&k);  // already null: nothing happens
    k = SDLKBDNew();  // a fresh record starts at 0
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->buffer[0], 0);
}

TEST_F(Keyboard, CharacterKeysStoreTheirCodes) {
    EXPECT_EQ(Tap(k, SDLK_ESCAPE), 27);
    EXPECT_EQ(Tap(k, SDLK_q, KMOD_LSHIFT), 113);  // Shift does not change the code
    EXPECT_EQ(Tap(k, SDLK_SPACE), 32);
    EXPECT_EQ(Tap(k, SDLK_f), 'f');
    EXPECT_EQ(Tap(k, SDLK_0), '0');
    EXPECT_EQ(k->buffer[0], 0);  // each release cleared it
}

TEST_F(Keyboard, OnlyTheLastKeyEventOfADrainCounts) {
    Push(SDL_KEYDOWN, SDLK_a);
    Push(SDL_KEYUP, SDLK_a);
    SDLKBDGetKey(k);
    EXPECT_EQ(k->buffer[0], 0);  // press and release together cancel

    Push(SDL_KEYDOWN, SDLK_a);
    Push(SDL_KEYDOWN, SDLK_b);
    SDLKBDGetKey(k);
    EXPECT_EQ(k->buffer[0], 'b');

    Push(SDL_KEYUP, SDLK_z);  // any release clears
    SDLKBDGetKey(k);
    EXPECT_EQ(k->buffer[0], 0);
    EXPECT_TRUE(QueueEmpty());
}

TEST_F(Keyboard, KeysBeyondTheCharacterRangeNeverPassForCharacters) {
    // Left Shift (304) and F7 (288) would otherwise read as '0' and Space.
    for (SDLKey wide : {SDLK_LSHIFT, SDLK_F7, SDLK_KP0, SDLK_UP, SDLK_RCTRL}) {
        Push(SDL_KEYDOWN, SDLK_a);
        Push(SDL_KEYDOWN, wide);
        SDLKBDGetKey(k);
        EXPECT_EQ(k->buffer[0], 'a') << "key " << wide;
        Push(SDL_KEYUP, wide);  // its release still clears
        SDLKBDGetKey(k);
        EXPECT_EQ(k->buffer[0], 0) << "key " << wide;
    }
}

TEST_F(Keyboard, CloseRequestAndOtherEventsAreDiscarded) {
    k->buffer[0] = 'v';
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 0);
    for (Uint8 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, SDL_MOUSEBUTTONDOWN}) {
        SDL_Event mouse{};   // a double-click of the left button among them
        mouse.type = type;
        mouse.button.type = type;
        mouse.button.button = SDL_BUTTON_LEFT;
        ASSERT_EQ(SDL_PushEvent(&mouse), 0);
    }
    SDLKBDGetKey(k);
    EXPECT_EQ(k->buffer[0], 'v');
    EXPECT_TRUE(QueueEmpty());  // drained, not left waiting
}

TEST_F(Keyboard, NoPollingWithoutRecordOrDisplay) {
    Push(SDL_KEYDOWN, SDLK_a);
    SDLKBDGetKey(nullptr);
    SDL_Event e;
    ASSERT_EQ(SDL_PollEvent(&e), 1);  // still queued
    EXPECT_EQ(e.type, SDL_KEYDOWN);

    SDLDPY* d = SDLDPYCurrent();
    SDLDPYFree(&d);
    Push(SDL_KEYDOWN, SDLK_a);
    SDLKBDGetKey(k);
    EXPECT_EQ(k->buffer[0], 0);
    EXPECT_EQ(SDLKBDNew(), nullptr);  // existing record is not handed out without a display
}
