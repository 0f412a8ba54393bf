// An adapter unplugged and plugged in again while the whole program runs:
// the port is given up quietly, watched for, and taken back without Apply.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::FakeWindowMessaging;
using testing::ProgramRig;

constexpr std::uintptr_t kNextTrack = 40048;      // button 3's press
constexpr std::uintptr_t kPreviousTrack = 40044;  // button 3's release

class ReconnectTest : public ::testing::TestWithParam<PortRole> {
 protected:
  ReconnectTest() {
    // Button 3 of either port: next track on the press, previous on the release.
    rig_.files.files[ProgramRig::kIni] =
        "[Primary]\r\nPort=1\r\n[Secondary]\r\nPort=2\r\n[Options]\r\nUsePort2=1\r\n"
        "[Port1Button3]\r\nMode=1\r\nFunc1=5\r\nFunc2=4\r\n"
        "[Port2Button3]\r\nMode=1\r\nFunc1=5\r\nFunc2=4\r\n";
    rig_.ports.Port(2);
  }
  int Sent(std::uintptr_t command) const {
    return static_cast<int>(
        std::count_if(rig_.messaging.messages.begin(), rig_.messaging.messages.end(),
                      [&](const FakeWindowMessaging::Message& m) { return m.wparam == command; }));
  }
  int Tries() const {
    return static_cast<int>(
        std::count(rig_.ports.open_requests.begin(), rig_.ports.open_requests.end(), Com()));
  }
  int Com() const { return ProgramRig::ComOf(GetParam()); }
  testing::FakePortState& Port() { return rig_.ports.Port(Com()); }
  std::string LostTip() const {
    return "Pelorin - COM" + std::to_string(Com()) + " lost, waiting for it";
  }

  ProgramRig rig_;
};

TEST_P(ReconnectTest, HeldButtonIsReleasedWhileLostAndPressedAgainAfterTheReturn) {
  rig_.Start();
  rig_.Hold(GetParam(), 3);
  rig_.RunFor(100);
  Port().exists = false;  // unplugged with the button held
  rig_.Tick();
  EXPECT_FALSE(Port().open) << "the device is released at once";
  EXPECT_EQ(Sent(kPreviousTrack), 1) << "the release during the loss is real";
  EXPECT_EQ(rig_.window.tray_tip, LostTip());

  const int tries_before = Tries();
  const std::size_t rts_writes = Port().rts_writes.size();
  for (int second = 0; second < 600; ++second) {
    rig_.RunFor(1000);
    rig_.program->OnTimer(WindowTimer::LedTimer);
  }
  EXPECT_NEAR(Tries() - tries_before, 600, 2) << "one try a second, for ten minutes";
  EXPECT_TRUE(rig_.boxes.shown.empty());
  EXPECT_FALSE(rig_.window.visible);
  EXPECT_EQ(Port().rts_writes.size(), rts_writes) << "a lost port's LED cannot be driven";

  Port().exists = true;                      // plugged in again, the button still held
  rig_.RunFor(1000 + ProgramRig::kCycleMs);  // the next try and the cycle after it
  EXPECT_TRUE(Port().open);
  EXPECT_TRUE(Port().dtr);
  EXPECT_EQ(rig_.window.tray_tip, "Pelorin");
  EXPECT_EQ(Sent(kNextTrack), 2) << "the held button is a new press after the return";
  EXPECT_EQ(Sent(kPreviousTrack), 1);
}

TEST_P(ReconnectTest, ArrivalOfAPortReopensAtTheNextCycle) {
  rig_.Start();
  Port().status_read_fails = true;
  rig_.RunFor(50);
  Port().status_read_fails = false;
  rig_.RunFor(250);
  ASSERT_FALSE(Port().open) << "the periodic try is still ahead";
  rig_.program->PortArrived();
  rig_.Tick();
  EXPECT_TRUE(Port().open);
  EXPECT_TRUE(rig_.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(BothPorts, ReconnectTest,
                         ::testing::Values(PortRole::Primary, PortRole::Secondary));

// A port missing at start-up says so once, as before, and is then taken
// when it is plugged in; Apply to another port, Cancel and the ends leave
// nothing waiting and show no box.
TEST(ReconnectStartTest, PortMissingAtStartIsReportedOnceThenTakenWhenPluggedIn) {
  ProgramRig rig;
  rig.ports.Port(1).exists = false;
  rig.Start();
  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_TRUE(rig.window.visible) << "the properties window is shown, as before";
  EXPECT_EQ(rig.window.tray_tip, "Pelorin - COM1 lost, waiting for it");
  rig.program->Properties().CancelClicked();
  rig.RunFor(5000);
  rig.ports.Port(1).exists = true;
  rig.RunFor(1000);
  EXPECT_TRUE(rig.ports.Port(1).open);
  EXPECT_EQ(rig.window.tray_tip, "Pelorin");

  rig.ports.Port(1).exists = false;
  rig.RunFor(100);
  rig.ports.Port(2);
  rig.program->OnUserMessage(kShowRequest, 0);
  rig.program->Properties().ComPorts().PortSelected(PortRole::Primary, 1);
  rig.program->Properties().ApplyClicked();
  rig.ports.open_requests.clear();
  rig.RunFor(3000);
  EXPECT_TRUE(rig.ports.Port(2).open);
  EXPECT_TRUE(rig.ports.open_requests.empty()) << "COM1 is no longer waited for";
  rig.ports.Port(2).exists = false;
  rig.RunFor(100);
  rig.window.visible = false;
  EXPECT_TRUE(rig.program->OnCloseRequest());
  EXPECT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.program->Primary().Handle(), -1);
}

}  // namespace
}  // namespace pelorin
