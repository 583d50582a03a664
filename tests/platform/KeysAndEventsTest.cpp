// The one key table and the quit rule of the message queue.
#include <SDL2/SDL_keycode.h>  // the table's input: SDL's key symbols
#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/Keys.h"

namespace {

using qv::SdlKeyFromVirtualKey;
using qv::VirtualKeyFromSdlKey;

TEST(Keys, SdlKeysBecomeWindowsVirtualKeyCodes) {
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_a), 65);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_z), 90);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_0), 48);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_9), 57);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_RETURN), 13);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_KP_ENTER), 13);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_ESCAPE), 27);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_SPACE), 32);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_LEFT), 37);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_UP), 38);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_RIGHT), 39);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_DOWN), 40);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_LCTRL), 17);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_RCTRL), 17);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_F1), 112);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_F2), 113);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_KP_0), 96);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_KP_9), 105);
  // Upper-case letters are no SDL key symbols: SDL names letter keys by the lower-case character,
  // whose codes (97..122) are the keypad's in Windows. They must not leak through.
  EXPECT_EQ(VirtualKeyFromSdlKey('A'), 0);
  EXPECT_EQ(VirtualKeyFromSdlKey(SDLK_VOLUMEUP), 0);
  EXPECT_EQ(VirtualKeyFromSdlKey(0), 0);
}

TEST(Keys, EveryCodeTheTableGivesLeadsBackToAKeyWithThatCode) {
  int codes = 0;
  for (int vk = 1; vk <= 254; ++vk) {
    const int sdl = SdlKeyFromVirtualKey(vk);
    if (!sdl) continue;
    ++codes;
    EXPECT_EQ(VirtualKeyFromSdlKey(sdl), vk) << vk;
  }
  EXPECT_GE(codes, 26 + 10 + 10 + 12 + 4);  // letters, digits, keypad, F keys, arrows at least
  // The mouse-button codes and codes no key has stay unmapped.
  EXPECT_EQ(SdlKeyFromVirtualKey(qv::kVkLeftButton), 0);
  EXPECT_EQ(SdlKeyFromVirtualKey(qv::kVkMiddleButton), 0);
  EXPECT_EQ(SdlKeyFromVirtualKey(0), 0);
  EXPECT_EQ(SdlKeyFromVirtualKey(255), 0);
}

TEST(Events, TheQuitMessageComesOnceAndCarriesItsCode) {
  qv::DiscardMessages();
  qv::TMessage message;
  EXPECT_FALSE(qv::PeekMessage(message));
  qv::PostQuitMessage(7);
  qv::PostQuitMessage(3);  // the last code posted wins, as one quit message is pending at most
  ASSERT_TRUE(qv::PeekMessage(message));
  EXPECT_EQ(message.kind, qv::TMessageKind::Quit);
  EXPECT_EQ(message.a, 3);
  EXPECT_FALSE(qv::PeekMessage(message));
  qv::PostQuitMessage(0);
  qv::WaitMessage();  // must not block with a quit message pending
  qv::DiscardMessages();
  EXPECT_FALSE(qv::PeekMessage(message));
  // Without a running video system a key cannot be injected; that is reported, not crashed on.
  EXPECT_FALSE(qv::PostKeyMessage(qv::TMessageKind::KeyDown, qv::kVkEscape));
}

TEST(Clock, ASourceReplacesTheCounterAndAnEmptyOneRestoresIt) {
  qv::SetClockSource({[] { return std::int64_t{42}; }, [] { return std::int64_t{0}; }});
  EXPECT_EQ(qv::PerformanceCounter(), 42);
  EXPECT_EQ(qv::PerformanceFrequency(), 0);
  qv::SetClockSource({});
  EXPECT_GT(qv::PerformanceFrequency(), 0);
  const std::int64_t first = qv::PerformanceCounter();
  EXPECT_GE(qv::PerformanceCounter(), first);
}

}  // namespace
