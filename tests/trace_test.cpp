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

// A port is set up before DTR rises (a port left in DTR handshaking would
// refuse or drop it); a port that refuses either is released and reported
// like one that would not open. The LED, written on every step, is traced
// once per run of refusals.
TEST(TraceTest, PortThatWillNotOpenOrSwitchTracesItsCauseBesideTheUsualBox) {
  testing::FakeSerialPorts ports;
  testing::FakeMessageBoxes boxes;
  PortChannel primary(PortRole::Primary, ports, boxes);
  PortChannel secondary(PortRole::Secondary, ports, boxes);
  ports.Port(3);
  ports.Port(20).set_up_fails = true;
  ports.Port(21).dtr_fails = true;
  RecordingSink debug_output;
  TraceSession session(debug_output, "1");

  ASSERT_TRUE(primary.Open(ComPortNumber{3}));
  EXPECT_EQ(ports.Port(3).line_calls, (std::vector<std::string>{"set up", "DTR on"}));
  for (int number : {3, 7, 20, 21}) EXPECT_FALSE(secondary.Open(ComPortNumber{number}));
  EXPECT_FALSE(ports.Port(20).open || ports.Port(21).open) << "refused ports are released";
  ASSERT_EQ(boxes.shown.size(), 4u);
  EXPECT_EQ(boxes.shown[0].text, OpenErrorText(ComPortNumber{3}));
  EXPECT_EQ(boxes.shown[1].text, OpenErrorText(ComPortNumber{7}));
  EXPECT_EQ(boxes.shown[3].text, OpenErrorText(ComPortNumber{21}));

  ports.Port(3).rts_fails = true;
  for (bool raised : {true, false, true}) primary.SetRts(raised);
  ports.Port(3).rts_fails = false;
  primary.SetRts(false);
  ports.Port(3).rts_fails = true;
  primary.SetRts(true);
  const std::string led = "Pelorin: Switching the LED failed: EscapeCommFunction COM3: error 31";
  EXPECT_EQ(debug_output.lines,
            (std::vector<std::string>{
                "Pelorin: Opening COM3 failed: open COM3: error 5",
                "Pelorin: Opening COM7 failed: open COM7: error 2",
                "Pelorin: Opening COM20 failed: SetCommState COM20: error 31",
                "Pelorin: Opening COM21 failed: EscapeCommFunction COM21: error 31", led, led}));
}

}  // namespace
}  // namespace pelorin
