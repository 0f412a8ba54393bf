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

  ASSERT_TRUE(primary.Open(PortListIndex{2}));
  EXPECT_FALSE(secondary.Open(PortListIndex{2}));
  EXPECT_FALSE(secondary.Open(PortListIndex{6}));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, OpenErrorText(ComPortNumber{3}));
  EXPECT_EQ(boxes.shown[1].text, OpenErrorText(ComPortNumber{7}));
  EXPECT_EQ(debug_output.lines,
            (std::vector<std::string>{"Pelorin: Opening COM3 failed: open COM3: error 5",
                                      "Pelorin: Opening COM7 failed: open COM7: error 2"}));
}

}  // namespace
}  // namespace pelorin
