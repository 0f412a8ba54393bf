// The trace a user turns on to learn why something failed: off by default,
// to the platform's debug output or to a file, and fed with the cause when a
// port will not open while the box keeps its own text.
#include "platform/trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "input/port_channel.h"
#include "support/fake_message_boxes.h"
#include "support/fake_serial.h"

namespace pelorin {
namespace {

class RecordingSink final : public TraceSink {
 public:
  void WriteLine(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

TEST(TraceTest, SettingChoosesOffDebugOutputOrAFile) {
  const std::string file = ::testing::TempDir() + "pelorin-trace-test.log";
  std::remove(file.c_str());
  const struct {
    const char* setting;
    std::size_t debug_lines;
    const char* file_text;
  } cases[] = {
      {nullptr, 0, ""},
      {"", 0, ""},
      {"0", 0, ""},
      {"1", 1, ""},
      {file.c_str(), 0, "Pelorin: one\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting == nullptr ? "unset" : c.setting);
    RecordingSink debug_output;
    {
      TraceSession session(debug_output, c.setting);
      Trace("one");
    }
    Trace("after the session");
    EXPECT_EQ(debug_output.lines.size(), c.debug_lines);
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.file_text);
  }
  EXPECT_EQ(std::remove(file.c_str()), 0);
}

TEST(TraceTest, PortThatWillNotOpenTracesItsCauseBesideTheUsualBox) {
  testing::FakeSerialPorts ports;
  testing::FakeMessageBoxes boxes;
  PortChannel primary(PortRole::Primary, ports, boxes);
  PortChannel secondary(PortRole::Secondary, ports, boxes);
  ports.Port(3);
  RecordingSink debug_output;
  TraceSession session(debug_output, "1");

  ports.Port(20).set_up_fails = true;
  ports.Port(21).dtr_fails = true;

  ASSERT_TRUE(primary.Open(ComPortNumber{3}));
  EXPECT_FALSE(secondary.Open(ComPortNumber{3}));
  EXPECT_FALSE(secondary.Open(ComPortNumber{7}));
  EXPECT_FALSE(secondary.Open(ComPortNumber{20}));
  EXPECT_FALSE(secondary.Open(ComPortNumber{21}));
  ASSERT_EQ(boxes.shown.size(), 4u);
  EXPECT_EQ(boxes.shown[0].text, OpenErrorText(ComPortNumber{3}));
  EXPECT_EQ(boxes.shown[1].text, OpenErrorText(ComPortNumber{7}));
  EXPECT_EQ(boxes.shown[3].text, OpenErrorText(ComPortNumber{21}));
  EXPECT_EQ(debug_output.lines,
            (std::vector<std::string>{
                "Pelorin: Opening COM3 failed: open COM3: error 5",
                "Pelorin: Opening COM7 failed: open COM7: error 2",
                "Pelorin: Opening COM20 failed: SetCommState COM20: error 31",
                "Pelorin: Opening COM21 failed: EscapeCommFunction COM21: error 31"}));
}

// The LED is written on every step: a device that keeps refusing is traced
// once per run of refusals, not 40 times a second.
TEST(TraceTest, LedSwitchThatFailsIsTracedOncePerRunOfFailures) {
  testing::FakeSerialPorts ports;
  testing::FakeMessageBoxes boxes;
  PortChannel primary(PortRole::Primary, ports, boxes);
  testing::FakePortState& port = ports.Port(4);
  RecordingSink debug_output;
  TraceSession session(debug_output, "1");
  ASSERT_TRUE(primary.Open(ComPortNumber{4}));

  port.rts_fails = true;
  for (bool raised : {true, false, true}) primary.SetRts(raised);
  port.rts_fails = false;
  primary.SetRts(false);
  port.rts_fails = true;
  primary.SetRts(true);
  EXPECT_EQ(port.rts_writes.size(), 5u);
  const std::string line = "Pelorin: Switching the LED failed: EscapeCommFunction COM4: error 31";
  EXPECT_EQ(debug_output.lines, (std::vector<std::string>{line, line}));
}

}  // namespace
}  // namespace pelorin
