// "Send media keys (any player)" through the unchanged pelorin.exe: the
// press of button 3 ("Next track") with no player window reaches the focused
// window as the next-track key; once the stand-in player runs, the player
// gets its message and no key goes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "stand_in_player_client.h"
#include "standin_state.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

std::vector<WPARAM> keys_down;  // what the focused test window received

LRESULT CALLBACK RecordKeys(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_KEYDOWN) keys_down.push_back(wparam);
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Handles this thread's messages until `done` holds or `timeout_ms` passes.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms = 10000) {
  return WaitUntil(
      [&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return done();
      },
      timeout_ms);
}

TEST(MediaKeysTest, NextTrackIsTheKeyWithoutAPlayerAndTheMessageWithOne) {
  auto com5 = testing::StandinLines::ForPort(5);
  ASSERT_TRUE(com5.has_value()) << "run under the serial stand-in (port 5)";
  Scenario scenario("media-keys");
  auto program = scenario.StartConfigured("IfInactive=4\r\n");
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordKeys;
  wc.lpszClassName = "PelorinKeyTarget";
  RegisterClassA(&wc);
  HWND target = CreateWindowExA(0, wc.lpszClassName, "keys", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(target);
  SetFocus(target);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == target; }));

  com5->SetInputs(STANDIN_CTS);  // button 3: "Next track" on the press
  EXPECT_TRUE(PumpUntil([] { return !keys_down.empty(); }));
  com5->SetInputs(0);
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(keys_down, std::vector<WPARAM>{VK_MEDIA_NEXT_TRACK});
  EXPECT_EQ(FindMessageBox("Winamp is not running"), nullptr);

  testing::StandInPlayer player({});
  ASSERT_TRUE(player.Started());
  keys_down.clear();
  com5->SetInputs(STANDIN_CTS);
  EXPECT_TRUE(PumpUntil([&] {
    const std::vector<std::string> log = player.Sync() ? player.Log() : std::vector<std::string>{};
    return std::count(log.begin(), log.end(), "player posted 273 40048 0") == 1;
  }));
  com5->SetInputs(0);
  PumpUntil([] { return false; }, 300);
  EXPECT_TRUE(keys_down.empty());
  DestroyWindow(target);
}

}  // namespace
}  // namespace pelorin::e2e
