// "Send media keys (any player)" through the unchanged pelorin.exe: without a
// player window the press of the button mapped to "Next track" reaches the
// focused window as the next-track key; with the stand-in player running it
// reaches the player as its message, and no key goes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "stand_in_player_client.h"
#include "standin_state.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

using pelorin::testing::StandinLines;
using pelorin::testing::StandInPlayer;

constexpr char kNextTrack[] = "player posted 273 40048 0";
constexpr char kTargetClass[] = "PelorinMediaKeyTarget";

// A focused top-level window of this test that records the virtual-key codes
// of the key-down messages it receives.
class KeyTarget {
 public:
  KeyTarget() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &KeyTarget::Procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTargetClass;
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, kTargetClass, "Media key target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              10, 10, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    keys_down().clear();
  }
  ~KeyTarget() {
    if (window_) DestroyWindow(window_);
    UnregisterClassA(kTargetClass, GetModuleHandleA(nullptr));
  }
  KeyTarget(const KeyTarget&) = delete;
  KeyTarget& operator=(const KeyTarget&) = delete;

  // Brings the window to the front with the keyboard focus; true when it has
  // both.
  bool TakeFocus() {
    SetForegroundWindow(window_);
    SetFocus(window_);
    Pump();
    return GetForegroundWindow() == window_ && GetFocus() == window_;
  }
  // Handles every message waiting for this thread.
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  static long CountDown(int virtual_key) {
    return static_cast<long>(std::count(keys_down().begin(), keys_down().end(), virtual_key));
  }
  static const std::vector<int>& KeysDown() { return keys_down(); }

 private:
  static std::vector<int>& keys_down() {
    static std::vector<int> keys;
    return keys;
  }
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
      keys_down().push_back(static_cast<int>(wparam));
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }

  HWND window_ = nullptr;
};

class MediaKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com5.has_value()) << "run under the serial stand-in (port 5)";
    com5->SetInputs(0);
  }
  void TearDown() override {
    if (com5) com5->SetInputs(0);
  }
  // Waits `ms` milliseconds, handling the test window's messages meanwhile.
  static void PumpFor(DWORD ms) {
    WaitUntil(
        [] {
          KeyTarget::Pump();
          return false;
        },
        ms);
  }

  std::optional<StandinLines> com5 = StandinLines::ForPort(5);
};

TEST_F(MediaKeysTest, WithoutAPlayerNextTrackIsTheNextTrackKey) {
  Scenario scenario("media-keys-no-player");
  auto program = scenario.StartConfigured("IfInactive=4\r\n");
  KeyTarget target;
  ASSERT_TRUE(target.TakeFocus());

  com5->SetInputs(STANDIN_CTS);  // button 3: "Next track" on the press
  EXPECT_TRUE(WaitUntil([] {
    KeyTarget::Pump();
    return KeyTarget::CountDown(VK_MEDIA_NEXT_TRACK) == 1;
  }));
  com5->SetInputs(0);
  PumpFor(200);
  EXPECT_EQ(KeyTarget::KeysDown(), std::vector<int>{VK_MEDIA_NEXT_TRACK})
      << "one key, and the release sends \"Nothing\"";
  EXPECT_EQ(FindMessageBox("Winamp is not running"), nullptr);
}

TEST_F(MediaKeysTest, WithThePlayerRunningNextTrackIsItsMessageAndNoKey) {
  StandInPlayer player({});
  ASSERT_TRUE(player.Started());
  Scenario scenario("media-keys-player");
  auto program = scenario.StartConfigured("IfInactive=4\r\n");
  KeyTarget target;
  ASSERT_TRUE(target.TakeFocus());

  com5->SetInputs(STANDIN_CTS);
  EXPECT_TRUE(WaitUntil([&] {
    KeyTarget::Pump();
    if (!player.Sync()) return false;
    const std::vector<std::string> log = player.Log();
    return std::count(log.begin(), log.end(), kNextTrack) == 1;
  }));
  com5->SetInputs(0);
  PumpFor(200);
  EXPECT_TRUE(KeyTarget::KeysDown().empty());
}

}  // namespace
}  // namespace pelorin::e2e
