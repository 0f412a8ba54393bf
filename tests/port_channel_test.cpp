#include "input/port_channel.h"

#include <gtest/gtest.h>

#include "support/fake_message_boxes.h"
#include "support/fake_serial.h"

namespace pelorin {
namespace {

using testing::FakeMessageBoxes;
using testing::FakePortState;
using testing::FakeSerialPorts;

constexpr std::uint32_t kAllLines = kModemDcd | kModemDsr | kModemCts | kModemRing;
constexpr LineLevels kAllUp{};
constexpr LineLevels kAllDown{.dcd = true, .dsr = true, .cts = true, .ri = true};
constexpr WindowId kPropertiesWindow = 0x4711;

class PortChannelTest : public ::testing::Test {
 protected:
  PortChannelTest() {
    primary.SetOwner(kPropertiesWindow);
    secondary.SetOwner(kPropertiesWindow);
  }

  FakeSerialPorts ports;
  FakeMessageBoxes boxes;
  PortChannel primary{PortRole::Primary, ports, boxes};
  PortChannel secondary{PortRole::Secondary, ports, boxes};
};

TEST_F(PortChannelTest, OpenErrorTextIsExact) {
  EXPECT_EQ(OpenErrorText(ComPortNumber{3}),
            "Error opening COM3.\r\rMake sure the selected port\rexists and it is free.");
  EXPECT_EQ(OpenErrorText(ComPortNumber{16}),
            "Error opening COM16.\r\rMake sure the selected port\rexists and it is free.");
}

// A device path wins over the port number, even over none; a failed open
// names the device, and the box carries the system's reason.
TEST_F(PortChannelTest, DevicePathWinsAndItsFailureCarriesTheReason) {
  ports.opens_paths = true;
  ports.Port(1);
  EXPECT_FALSE(primary.Open(ComPortNumber{1}, "/dev/ttyUSB7"));
  EXPECT_FALSE(primary.IsOpen());
  EXPECT_FALSE(primary.Open(ComPortNumber{0}, "/dev/ttyUSB7"));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text,
            "Error opening /dev/ttyUSB7.\r\rMake sure the selected port\rexists and it is free.");
  EXPECT_EQ(boxes.shown[1].detail.rfind("/dev/ttyUSB7: ", 0), 0u) << boxes.shown[1].detail;
  primary.WatchForReturn(true);
  EXPECT_TRUE(primary.IsLost());
  EXPECT_TRUE(primary.Open(ComPortNumber{1}, ""));
  // A file from an edition with device paths, on a system without them:
  // the port number is opened and the path left alone.
  ports.opens_paths = false;
  EXPECT_TRUE(primary.Open(ComPortNumber{1}, "/dev/ttyUSB7"));
}

TEST_F(PortChannelTest, NoPortSelectedShowsInformationBoxAndLeavesChannelAsItWas) {
  ports.Port(2).status = kModemCts;
  ASSERT_TRUE(primary.Open(ComPortNumber{2}));
  for (int number : {0, -1, 256}) {
    EXPECT_FALSE(primary.Open(ComPortNumber{number}));
    EXPECT_TRUE(primary.IsOpen()) << "an open channel stays open, number " << number;
  }
  EXPECT_FALSE(secondary.Open(ComPortNumber{0}));
  EXPECT_EQ(ports.open_requests, std::vector<int>{2});
  EXPECT_EQ(ports.Port(2).opens, 1);
  EXPECT_TRUE(primary.ReadLines().cts);

  ASSERT_EQ(boxes.shown.size(), 4u);
  for (const MessageBoxRequest& box : boxes.shown) {
    EXPECT_EQ(box.caption, "Pelorin");
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.owner, kPropertiesWindow);
  }
  EXPECT_EQ(boxes.shown[0].text, "Select primary COM port.");
  EXPECT_EQ(boxes.shown[3].text, "Select secondary COM port.");
}

TEST_F(PortChannelTest, OpensEveryPortNumberUpTo255) {
  for (int number : {1, 9, 10, 16, 20, 255}) {
    ports.Port(number);
    EXPECT_TRUE(primary.Open(ComPortNumber{number}));
  }
  EXPECT_EQ(ports.open_requests, (std::vector<int>{1, 9, 10, 16, 20, 255}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PortChannelTest, MissingPortShowsErrorBoxAndStaysClosed) {
  EXPECT_FALSE(secondary.Open(ComPortNumber{7}));
  EXPECT_FALSE(secondary.IsOpen());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, OpenErrorText(ComPortNumber{7}));
  EXPECT_EQ(boxes.shown[0].caption, "Pelorin");
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Error);
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(boxes.shown[0].owner, kPropertiesWindow);
  EXPECT_EQ(secondary.ReadLines(), kAllUp);
}

TEST_F(PortChannelTest, OpenRaisesDtrAndLeavesRtsAlone) {
  FakePortState& port = ports.Port(4);
  ASSERT_TRUE(primary.Open(ComPortNumber{4}));
  EXPECT_TRUE(port.dtr);
  EXPECT_EQ(port.dtr_raises, 1);
  EXPECT_TRUE(port.rts_writes.empty());
}

TEST_F(PortChannelTest, ReopeningClosesFirstAndRaisesDtrAgain) {
  FakePortState& port = ports.Port(4);
  ASSERT_TRUE(primary.Open(ComPortNumber{4}));
  // The fake refuses a second open while the first device lives, so this
  // succeeds only if the channel released the port before opening again.
  ASSERT_TRUE(primary.Open(ComPortNumber{4}));
  EXPECT_EQ(port.opens, 2);
  EXPECT_EQ(port.dtr_raises, 2);
  EXPECT_TRUE(port.open);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PortChannelTest, FailedOpenAfterGoodOneLeavesChannelNotOpen) {
  FakePortState& good = ports.Port(1);
  good.status = kAllLines;
  ASSERT_TRUE(primary.Open(ComPortNumber{1}));
  EXPECT_EQ(primary.ReadLines(), kAllDown);

  EXPECT_FALSE(primary.Open(ComPortNumber{5}));  // COM5 does not exist
  EXPECT_FALSE(primary.IsOpen());
  EXPECT_FALSE(good.open) << "the old port was closed before the new one was tried";
  EXPECT_EQ(primary.Lines(), kAllUp) << "no stale levels";
  EXPECT_EQ(primary.ReadLines(), kAllUp);
  EXPECT_EQ(primary.Handle(), -1) << "the handle query reports the invalid handle";
}

TEST_F(PortChannelTest, SamePortOnBothChannelsFailsOnTheSecond) {
  ports.Port(3).status = kModemDsr;
  ASSERT_TRUE(primary.Open(ComPortNumber{3}));
  EXPECT_FALSE(secondary.Open(ComPortNumber{3}));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, OpenErrorText(ComPortNumber{3}));
  EXPECT_TRUE(primary.IsOpen());
  EXPECT_FALSE(secondary.IsOpen());
  EXPECT_TRUE(primary.ReadLines().dsr);
  EXPECT_EQ(secondary.ReadLines(), kAllUp);
}

TEST_F(PortChannelTest, ReadMapsEachStatusBitToItsLine) {
  FakePortState& port = ports.Port(1);
  ASSERT_TRUE(primary.Open(ComPortNumber{1}));
  const struct {
    std::uint32_t word;
    LineLevels lines;
  } cases[] = {
      {0, kAllUp},
      {kModemDcd, {.dcd = true}},
      {kModemDsr, {.dsr = true}},
      {kModemCts, {.cts = true}},
      {kModemRing, {.ri = true}},
      {kAllLines, kAllDown},
      // Bits outside the four lines (e.g. a driver's extra flags) are ignored.
      {0xFFFFFFFF, kAllDown},
      {0xFFFFFF0F, kAllUp},
  };
  for (const auto& c : cases) {
    port.status = c.word;
    EXPECT_EQ(primary.ReadLines(), c.lines) << "word 0x" << std::hex << c.word;
    EXPECT_EQ(primary.Lines(), c.lines);
  }
}

TEST_F(PortChannelTest, FailedStatusReadReadsAllLinesUpWithoutABox) {
  FakePortState& port = ports.Port(2);
  port.status = kAllLines;
  ASSERT_TRUE(primary.Open(ComPortNumber{2}));
  ASSERT_EQ(primary.ReadLines(), kAllDown);

  port.status_read_fails = true;
  EXPECT_EQ(primary.ReadLines(), kAllUp);
  port.status_read_fails = false;
  port.exists = false;  // the adapter was unplugged
  EXPECT_EQ(primary.ReadLines(), kAllUp);
  EXPECT_TRUE(primary.IsOpen());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PortChannelTest, CloseReleasesThePortAndForgetsTheLines) {
  FakePortState& port = ports.Port(1);
  port.status = kModemRing;
  ASSERT_TRUE(primary.Open(ComPortNumber{1}));
  ASSERT_TRUE(primary.ReadLines().ri);
  primary.Close();
  EXPECT_FALSE(primary.IsOpen());
  EXPECT_FALSE(port.open);
  EXPECT_EQ(primary.Lines(), kAllUp);
  EXPECT_EQ(primary.ReadLines(), kAllUp);
  primary.Close();  // closing a closed channel does nothing
  EXPECT_FALSE(primary.IsOpen());
}

TEST_F(PortChannelTest, RtsReachesAnOpenPortOnlyWhenItChangesAndHandleFollowsTheDevice) {
  FakePortState& port = ports.Port(9);
  primary.SetRts(true);  // not open: no effect, no failure
  EXPECT_EQ(primary.Handle(), 0);

  ASSERT_TRUE(primary.Open(ComPortNumber{9}));
  EXPECT_NE(primary.Handle(), 0);
  primary.SetRts(true);
  primary.SetRts(false);
  primary.SetRts(false);  // the level it has: no call into the driver
  primary.SetRts(true);
  EXPECT_EQ(port.rts_writes, (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(port.rts);

  port.rts_fails = true;  // a failed switch is tried again at the next step
  primary.SetRts(false);
  port.rts_fails = false;
  primary.SetRts(false);
  EXPECT_EQ(port.rts_writes, (std::vector<bool>{true, false, true, false, false}));
  EXPECT_FALSE(port.rts);

  primary.Close();
  EXPECT_EQ(primary.Handle(), -1) << "after a close the handle is the invalid handle";
  ASSERT_TRUE(primary.Open(ComPortNumber{9}));
  primary.SetRts(false);  // a newly opened device is switched whatever it had
  EXPECT_EQ(port.rts_writes.size(), 6U);
}

}  // namespace
}  // namespace pelorin
