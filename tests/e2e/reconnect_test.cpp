// An adapter unplugged and plugged in again under the unchanged pelorin.exe:
// the serial stand-in's COM5 goes away while a button is held and returns.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "probe_support.h"
#include "stand_in_player_client.h"
#include "standin_state.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/unplug.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

using pelorin::testing::StandinLines;
using pelorin::testing::StandInPlayer;

constexpr char kNextTrack[] = "player posted 273 40048 0";      // button 3 pressed
constexpr char kPreviousTrack[] = "player posted 273 40044 0";  // button 3 released

// Wine answers no handle count or memory figures for another process, so
// both come from the host: the descriptors the Wine process holds (a device
// handle keeps one) and its own anonymous memory.
struct Footprint {
  int descriptors = 0;
  double anon_kib = 0;
};

Footprint FootprintOf(const std::string& pid) {
  Footprint f;
  WIN32_FIND_DATAA entry;
  HANDLE listing = FindFirstFileA(("Z:\\proc\\" + pid + "\\fd\\*").c_str(), &entry);
  if (listing != INVALID_HANDLE_VALUE) {
    do {
      if (entry.cFileName[0] != '.') ++f.descriptors;
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
  }
  if (auto usage = measure::LinuxUsageOf(pid)) f.anon_kib = usage->anon_kib;
  return f;
}

TEST(ReconnectE2eTest, UnpluggedPortReleasesTheButtonStaysQuietAndReturnsTenTimes) {
  auto com5 = StandinLines::ForPort(5);
  UnpluggablePort port(5);
  ASSERT_TRUE(com5 && port.Usable()) << "run under the serial stand-in (port 5) in a session";
  ASSERT_TRUE(com5->SetInputs(0));
  StandInPlayer player({});
  ASSERT_TRUE(player.Started());
  Scenario scenario("reconnect");
  auto program = scenario.StartWithConfig(
      "[Primary]\r\nPort=5\r\n[Options]\r\nWarn=0\r\nAutoStartup=0\r\n"
      "[Port1Button3]\r\nMode=1\r\nFunc1=5\r\nFunc2=4\r\n");
  auto count = [&](const char* line) {
    player.Sync();
    const auto log = player.Log();
    return std::count(log.begin(), log.end(), line);
  };
  auto dtr_up = [&] {
    auto lines = com5->Read();
    return lines && (*lines & STANDIN_DTR) != 0;
  };
  ASSERT_TRUE(WaitUntil(dtr_up));
  const std::string pid = measure::LinuxPidOf("pelorin.exe");
  ASSERT_FALSE(pid.empty());

  Footprint settled;
  for (int round = 1; round <= 10; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(com5->SetInputs(STANDIN_CTS));
    // Each round presses twice and releases twice: before the loss and after.
    const long before = 2L * (round - 1);
    ASSERT_TRUE(WaitUntil([&] { return count(kNextTrack) == before + 1; }));
    ASSERT_TRUE(port.Unplug());
    EXPECT_TRUE(WaitUntil([&] { return count(kPreviousTrack) == before + 1; }))
        << "the release during the loss reaches the player";
    HANDLE gone = CreateFileA("\\\\.\\COM5", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(gone, INVALID_HANDLE_VALUE) << "an unplugged port does not open";
    if (gone != INVALID_HANDLE_VALUE) CloseHandle(gone);
    // Quiet for 30 s the first time, for the length of a few tries after.
    Sleep(round == 1 ? 30000 : 2500);
    EXPECT_TRUE(MessageBoxesShown().empty());
    EXPECT_FALSE(IsWindowVisible(FindPropertiesWindow()));

    ASSERT_TRUE(port.Plug(STANDIN_CTS));  // back with the button still held
    EXPECT_TRUE(WaitUntil(dtr_up, 2000)) << "DTR is up again within 2 s";
    EXPECT_TRUE(WaitUntil([&] { return count(kNextTrack) == before + 2; }, 2000))
        << "the held button is a new press after the return";
    ASSERT_TRUE(com5->SetInputs(0));
    ASSERT_TRUE(WaitUntil([&] { return count(kPreviousTrack) == before + 2; }));
    // The count after a round done, then that one again with each later round.
    const Footprint now = FootprintOf(pid);
    if (round == 2) {
      settled = now;
      ASSERT_GT(settled.descriptors, 0);
      ASSERT_GT(settled.anon_kib, 0);
    }
    if (round > 2) {
      EXPECT_LE(now.descriptors, settled.descriptors + 1);
      EXPECT_LE(now.anon_kib, settled.anon_kib + 512);
    }
  }
  ASSERT_TRUE(com5->SetInputs(0));
  Scenario::EndRunningCopy();
}

}  // namespace
}  // namespace pelorin::e2e
