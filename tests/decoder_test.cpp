#include "input/decoder.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(DecoderTest, TwoLinesOnOneButtonAreOred) {
  LineAssignment both_on_one{1, 1, 3, 4};
  EXPECT_TRUE(DecodeHardwareButtons({.dcd = true}, both_on_one).pressed[0]);
  EXPECT_TRUE(DecodeHardwareButtons({.dsr = true}, both_on_one).pressed[0]);
  EXPECT_FALSE(DecodeHardwareButtons({.dcd = true}, both_on_one).pressed[1]);
}

}  // namespace
}  // namespace pelorin
