#include "indicators/tray_clicks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin {
namespace {

class RecordingTrayHost final : public TrayHost {
 public:
  void StartClickTimer() override { running = true, log.push_back("start"); }
  void StopClickTimer() override { running = false, log.push_back("stop"); }
  bool ClickTimerRunning() const override { return running; }
  void ShowProperties() override { log.push_back("properties"); }
  void OpenMenuAtCursor() override { log.push_back("menu"); }
  void RunClickAction(TrayClickAction action) override {
    log.push_back("action " + std::to_string(static_cast<int>(action)));
  }
  bool running = false;
  std::vector<std::string> log;
};

class TrayClicksTest : public ::testing::Test {
 protected:
  RecordingTrayHost host;
  TrayClicks clicks{host};
};

TEST_F(TrayClicksTest, DoubleClickOpensPropertiesWithoutTheSingleClickAction) {
  clicks.TrayMessage(kMouseLeftDown);
  clicks.TrayMessage(0x0202);  // release: nothing
  clicks.TrayMessage(kMouseLeftDoubleClick);
  EXPECT_EQ(host.log, (std::vector<std::string>{"start", "properties", "stop"}));
}

TEST_F(TrayClicksTest, SingleClickRunsTheChosenActionFromTheTimer) {
  clicks.TrayMessage(kMouseLeftDown);
  EXPECT_EQ(host.log, std::vector<std::string>{"start"});  // nothing from the click itself
  clicks.OnTrayClickTick(TrayClickAction::OpenSimpleVolumeControl);
  EXPECT_EQ(host.log, (std::vector<std::string>{"start", "stop", "action 2"}));
}

TEST_F(TrayClicksTest, ClicksFurtherApartThanTheTimerAreTwoSingleClicks) {
  for (int i = 0; i < 2; ++i) {
    // Windows may report the second as a double-click; the timer decides.
    clicks.TrayMessage(i == 0 ? kMouseLeftDown : kMouseLeftDoubleClick);
    clicks.OnTrayClickTick(TrayClickAction::OpenVolumeControl);
  }
  EXPECT_EQ(host.log,
            (std::vector<std::string>{"start", "stop", "action 1", "start", "stop", "action 1"}));
}

TEST_F(TrayClicksTest, DoNothingStillLetsADoubleClickOpenTheWindow) {
  clicks.TrayMessage(kMouseLeftDown);
  clicks.OnTrayClickTick(TrayClickAction::Nothing);
  clicks.TrayMessage(kMouseLeftDown);
  clicks.TrayMessage(kMouseLeftDown);
  EXPECT_EQ(host.log, (std::vector<std::string>{"start", "stop", "start", "properties", "stop"}));
}

TEST_F(TrayClicksTest, OpenThisWindowAndOutOfListIndexes) {
  for (int index : {4, -1, 6}) {
    host.running = true;  // a first click came
    clicks.OnTrayClickTick(ChoiceAt<TrayClickAction>(index));
  }
  EXPECT_EQ(host.log, (std::vector<std::string>{"stop", "properties", "stop", "stop"}));
}

// A timer message can arrive with no click behind it: posted by another
// program, or queued just before a double-click stopped the timer.
TEST_F(TrayClicksTest, TickWithoutAPendingClickDoesNothing) {
  clicks.OnTrayClickTick(TrayClickAction::OpenSimpleVolumeControl);
  clicks.TrayMessage(kMouseLeftDown);
  clicks.TrayMessage(kMouseLeftDown);
  clicks.OnTrayClickTick(TrayClickAction::OpenSimpleVolumeControl);
  EXPECT_EQ(host.log, (std::vector<std::string>{"start", "properties", "stop"}));
}

TEST_F(TrayClicksTest, RightPressOpensTheMenuOtherMessagesNothing) {
  for (std::uint32_t m : {0x0200u, 0x0202u, 0x0205u, 0x0207u, 0xFFFFFFFFu}) clicks.TrayMessage(m);
  clicks.TrayMessage(kMouseRightDown);
  EXPECT_EQ(host.log, std::vector<std::string>{"menu"});
}

}  // namespace
}  // namespace pelorin
