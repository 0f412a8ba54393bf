#include "app/apply_settings.h"

#include <gtest/gtest.h>

#include "support/fake_message_boxes.h"
#include "support/fake_serial.h"

namespace pelorin {
namespace {

class CountingWindow final : public PropertiesWindowOpener {
 public:
  void ShowPropertiesWindow() override { ++shows; }
  int shows = 0;
};

class ApplySettingsTest : public ::testing::Test {
 protected:
  bool Apply() { return ApplySettings(settings_, primary_, secondary_, window_); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_.shown) texts.push_back(box.text);
    return texts;
  }

  testing::FakeSerialPorts ports_;
  testing::FakeMessageBoxes boxes_;
  PortChannel primary_{PortRole::Primary, ports_, boxes_};
  PortChannel secondary_{PortRole::Secondary, ports_, boxes_};
  CountingWindow window_;
  Settings settings_;
};

TEST_F(ApplySettingsTest, NoStoredPortAsksForOneAndOpensTheWindow) {
  EXPECT_FALSE(Apply());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Select primary COM port."});
  EXPECT_EQ(window_.shows, 1);
  EXPECT_TRUE(ports_.open_requests.empty());
}

TEST_F(ApplySettingsTest, SecondaryPortIsIgnoredUnlessUsed) {
  ports_.Port(3);
  settings_.Primary.Port = 3;
  settings_.Secondary.Port = 0;
  EXPECT_TRUE(Apply());
  EXPECT_EQ(ports_.open_requests, std::vector<int>{3});
  EXPECT_TRUE(ports_.Port(3).dtr);
  EXPECT_EQ(window_.shows, 0);
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(ApplySettingsTest, UsedSecondaryPortWithoutNumberFails) {
  ports_.Port(3);
  settings_.Primary.Port = 3;
  settings_.Options.UsePort2 = true;
  EXPECT_FALSE(Apply());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Select secondary COM port."});
  EXPECT_EQ(window_.shows, 1);
  EXPECT_TRUE(primary_.IsOpen());
}

TEST_F(ApplySettingsTest, BothPortsOpen) {
  ports_.Port(1);
  ports_.Port(16);
  settings_.Primary.Port = 16;
  settings_.Secondary.Port = 1;
  settings_.Options.UsePort2 = true;
  EXPECT_TRUE(Apply());
  EXPECT_TRUE(primary_.IsOpen());
  EXPECT_TRUE(secondary_.IsOpen());
  EXPECT_EQ(ports_.open_requests, (std::vector<int>{16, 1}));
}

TEST_F(ApplySettingsTest, MissingPrimaryPortStopsBeforeTheSecondary) {
  settings_.Primary.Port = 9;  // never created: the open fails
  settings_.Secondary.Port = 2;
  settings_.Options.UsePort2 = true;
  EXPECT_FALSE(Apply());
  EXPECT_EQ(ports_.open_requests, std::vector<int>{9});
  EXPECT_EQ(Texts(), std::vector<std::string>{OpenErrorText(ComPortNumber{9})});
  EXPECT_EQ(window_.shows, 1);
}

}  // namespace
}  // namespace pelorin
