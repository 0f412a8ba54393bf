// The serial stand-in's state line: the one format that the preload library,
// the helper and the tests on both sides of Wine exchange.
#include "tools/serial-standin/standin_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

unsigned Parse(const std::string& text) {
  return standin_parse(text.data(), text.size());
}

std::string Format(unsigned bits) {
  char line[STANDIN_TEXT_LENGTH];
  return std::string(line, standin_format(bits, line));
}

TEST(StandinStateTest, FormatsEveryLineInFixedOrderAndLength) {
  EXPECT_EQ(Format(0), "DCD=0 DSR=0 CTS=0 RI=0 DTR=0 RTS=0\n");
  EXPECT_EQ(Format(STANDIN_CTS | STANDIN_DTR), "DCD=0 DSR=0 CTS=1 RI=0 DTR=1 RTS=0\n");
  EXPECT_EQ(Format(~0u).size(), size_t{STANDIN_TEXT_LENGTH});
}

TEST(StandinStateTest, ParsesWhatItFormats) {
  for (unsigned bits = 0; bits <= 0x1FF; ++bits) {
    const unsigned lines = bits & (STANDIN_INPUTS | STANDIN_OUTPUTS);
    EXPECT_EQ(Parse(Format(lines)), lines);
  }
}

TEST(StandinStateTest, ReadsHandWrittenStateLeniently) {
  EXPECT_EQ(Parse(""), 0u);
  EXPECT_EQ(Parse("CTS=1"), unsigned{STANDIN_CTS}) << "missing lines read as 0, no line end";
  EXPECT_EQ(Parse("RI=1\r\nDCD=1\n"), unsigned{STANDIN_RI | STANDIN_DCD});
  EXPECT_EQ(Parse("FOO=1 DSR=1 RTS=0"), unsigned{STANDIN_DSR}) << "unknown words ignored";
  EXPECT_EQ(Parse("CTS=10 DCD=2 RI= DSR"), 0u) << "only exactly 1 asserts";
  EXPECT_EQ(Parse("CT=1 CTSX=1 cts=1"), 0u) << "names match exactly";
}

}  // namespace
