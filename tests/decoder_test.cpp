#include "input/decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin {
namespace {

// Line levels that press exactly the hardware buttons of `code` under the
// default assignment (DCD = 1, DSR = 2, CTS = 3, RI = 4).
LineLevels LinesForCode(int code) {
  return {.dcd = (code & 1) != 0,
          .dsr = (code & 2) != 0,
          .cts = (code & 4) != 0,
          .ri = (code & 8) != 0};
}

// Virtual buttons (1..15) that are down.
std::vector<int> Pressed(const VirtualLevels& levels) {
  std::vector<int> pressed;
  for (int i = 0; i < 15; ++i) {
    if (levels[i]) pressed.push_back(i + 1);
  }
  return pressed;
}

std::vector<int> Decode(int code, int mode, const LineAssignment& assignment = {}) {
  return Pressed(DecodeVirtualButtons(DecodeHardwareButtons(LinesForCode(code), assignment),
                                      ChoiceAt<PortMode>(mode)));
}

struct CodeCase {
  int mode;
  int code;
  std::vector<int> pressed;
};

class EveryCodeInEveryMode : public ::testing::TestWithParam<CodeCase> {};

TEST_P(EveryCodeInEveryMode, PressesExactlyTheVirtualButtonsOfTheRule) {
  const CodeCase& c = GetParam();
  EXPECT_EQ(DecodeHardwareButtons(LinesForCode(c.code), {}).code, c.code);
  EXPECT_EQ(Decode(c.code, c.mode), c.pressed);
}

// Written out by hand from the rules: mode, combination code, virtual
// buttons down.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Decoding, EveryCodeInEveryMode, ::testing::ValuesIn(std::vector<CodeCase>{
    // "4 buttons"
    {0, 0, {}}, {0, 1, {1}}, {0, 2, {2}}, {0, 3, {1, 2}},
    {0, 4, {3}}, {0, 5, {1, 3}}, {0, 6, {2, 3}}, {0, 7, {1, 2, 3}},
    {0, 8, {4}}, {0, 9, {1, 4}}, {0, 10, {2, 4}}, {0, 11, {1, 2, 4}},
    {0, 12, {3, 4}}, {0, 13, {1, 3, 4}}, {0, 14, {2, 3, 4}}, {0, 15, {1, 2, 3, 4}},
    // "4 buttons: Button4 = Shift"
    {1, 0, {}}, {1, 1, {1}}, {1, 2, {2}}, {1, 3, {1, 2}},
    {1, 4, {3}}, {1, 5, {1, 3}}, {1, 6, {2, 3}}, {1, 7, {1, 2, 3}},
    {1, 8, {}}, {1, 9, {4}}, {1, 10, {5}}, {1, 11, {4, 5}},
    {1, 12, {6}}, {1, 13, {4, 6}}, {1, 14, {5, 6}}, {1, 15, {4, 5, 6}},
    // "4 buttons: Button3&4 = Shifts"
    {2, 0, {}}, {2, 1, {1}}, {2, 2, {2}}, {2, 3, {1, 2}},
    {2, 4, {}}, {2, 5, {3}}, {2, 6, {4}}, {2, 7, {3, 4}},
    {2, 8, {}}, {2, 9, {5}}, {2, 10, {6}}, {2, 11, {5, 6}},
    {2, 12, {}}, {2, 13, {7}}, {2, 14, {8}}, {2, 15, {7, 8}},
    // "15 buttons"
    {3, 0, {}}, {3, 1, {1}}, {3, 2, {2}}, {3, 3, {3}},
    {3, 4, {4}}, {3, 5, {5}}, {3, 6, {6}}, {3, 7, {7}},
    {3, 8, {8}}, {3, 9, {9}}, {3, 10, {10}}, {3, 11, {11}},
    {3, 12, {12}}, {3, 13, {13}}, {3, 14, {14}}, {3, 15, {15}},
}), [](const ::testing::TestParamInfo<CodeCase>& info) {
  return "Mode" + std::to_string(info.param.mode) + "Code" + std::to_string(info.param.code);
});
// clang-format on

TEST(DecoderTest, NoModeSelectedPressesNothing) {
  for (int mode : {-1, 4, 99}) {
    EXPECT_TRUE(Decode(15, mode).empty()) << "mode " << mode;
    EXPECT_EQ(VirtualButtonCount(ChoiceAt<PortMode>(mode)), 0);
    EXPECT_TRUE(ButtonNames(ChoiceAt<PortMode>(mode)).empty());
  }
}

TEST(DecoderTest, TwoLinesOnOneButtonAreOred) {
  const LineAssignment dcd_and_dsr_on_1{.dcd = 1, .dsr = 1, .cts = 3, .ri = 4};
  for (LineLevels lines :
       {LineLevels{.dcd = true}, LineLevels{.dsr = true}, LineLevels{.dcd = true, .dsr = true}}) {
    const HardwareButtons h = DecodeHardwareButtons(lines, dcd_and_dsr_on_1);
    EXPECT_TRUE(h.pressed[0]);
    EXPECT_FALSE(h.pressed[1]) << "no line feeds button 2";
    EXPECT_EQ(h.code, 1);
  }
}

TEST(DecoderTest, LinesAssignedNoneOrOutOfRangeAreIgnored) {
  const LineLevels all{.dcd = true, .dsr = true, .cts = true, .ri = true};
  EXPECT_EQ(DecodeHardwareButtons(all, {.dcd = 0, .dsr = 5, .cts = -1, .ri = 255}).code, 0);
  EXPECT_EQ(DecodeHardwareButtons(all, {.dcd = 0, .dsr = 0, .cts = 0, .ri = 2}).code, 2);
}

TEST(DecoderTest, AssignmentDecidesWhichButtonALineFeeds) {
  // Reversed wiring: DCD feeds button 4, RI feeds button 1.
  const LineAssignment reversed{.dcd = 4, .dsr = 3, .cts = 2, .ri = 1};
  EXPECT_EQ(DecodeHardwareButtons({.dcd = true}, reversed).code, 8);
  EXPECT_EQ(DecodeHardwareButtons({.ri = true}, reversed).code, 1);
  EXPECT_EQ(DecodeHardwareButtons({.dsr = true, .cts = true}, reversed).code, 6);
}

// A run of poll cycles: each step gives the combination code and the mode
// of that cycle and the virtual buttons that are down afterwards. No state
// is carried between cycles, so a press that reaches the port one cycle
// ahead of its partner shows up as a button of its own for that cycle.
struct Step {
  int mode;
  int code;
  std::vector<int> pressed;
};
struct Scenario {
  const char* name;
  std::vector<Step> steps;
};

class CycleByCycle : public ::testing::TestWithParam<Scenario> {};

TEST_P(CycleByCycle, DecodesEachCycleOnItsOwn) {
  int cycle = 0;
  for (const Step& step : GetParam().steps) {
    EXPECT_EQ(Decode(step.code, step.mode), step.pressed) << "cycle " << cycle;
    ++cycle;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, CycleByCycle,
    ::testing::ValuesIn(std::vector<Scenario>{
        {"FifteenPressOneThenTwo", {{3, 1, {1}}, {3, 3, {3}}, {3, 3, {3}}}},
        {"FifteenReleaseOneThenTwo", {{3, 3, {3}}, {3, 2, {2}}, {3, 0, {}}}},
        {"FifteenReleaseTwoThenOne", {{3, 3, {3}}, {3, 1, {1}}, {3, 0, {}}}},
        {"ShiftPressedWhileButtonHeld", {{1, 1, {1}}, {1, 9, {4}}}},
        {"ShiftReleasedWhileButtonHeld", {{1, 9, {4}}, {1, 1, {1}}, {1, 0, {}}}},
        {"ShiftAloneIsNoButton", {{1, 8, {}}, {1, 10, {5}}}},
        {"BothShiftsThenButton2", {{2, 12, {}}, {2, 14, {8}}}},
        {"Shift1ThenShift2UnderButton1", {{2, 5, {3}}, {2, 13, {7}}, {2, 9, {5}}}},
        {"ModeFifteenToFourWhileNineHeld", {{3, 9, {9}}, {0, 9, {1, 4}}}},
        {"ModeLostWhileButtonHeld", {{0, 1, {1}}, {-1, 1, {}}}},
    }),
    [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

TEST(ButtonNamesTest, NamesLetterForLetter) {
  EXPECT_EQ(ButtonNames(PortMode::FourButtons),
            (std::vector<std::string>{"Button 1", "Button 2", "Button 3", "Button 4"}));
  // No blank between "Button4" and "(Shift)".
  EXPECT_EQ(
      ButtonNames(PortMode::Button4Shift),
      (std::vector<std::string>{"Button 1", "Button 2", "Button 3", "Button4(Shift) + Button 1",
                                "Button4(Shift) + Button 2", "Button4(Shift) + Button 3"}));
  // No blank after the second plus sign of the last two.
  EXPECT_EQ(ButtonNames(PortMode::Buttons3And4Shifts),
            (std::vector<std::string>{"Button 1", "Button 2", "Button3 (Shift1) + Button 1",
                                      "Button3 (Shift1) + Button 2", "Button4 (Shift2) + Button 1",
                                      "Button4 (Shift2) + Button 2",
                                      "Button3 (Shift1) +Button4 (Shift2) + Button 1",
                                      "Button3 (Shift1) +Button4 (Shift2) + Button 2"}));
  const std::vector<std::string> fifteen = ButtonNames(PortMode::Fifteen);
  ASSERT_EQ(fifteen.size(), 15u);
  EXPECT_EQ(fifteen.front(), "Button 1");
  EXPECT_EQ(fifteen[9], "Button 10");
  EXPECT_EQ(fifteen.back(), "Button 15");
}

TEST(ButtonNamesTest, OneNamePerVirtualButtonOfTheMode) {
  for (int mode = 0; mode < 4; ++mode) {
    EXPECT_EQ(static_cast<int>(ButtonNames(ChoiceAt<PortMode>(mode)).size()),
              VirtualButtonCount(ChoiceAt<PortMode>(mode)));
  }
}

class RecordingIndicatorView final : public PortIndicatorView {
 public:
  void ShowHardwareButton(PortRole port, int index, bool pressed) override {
    row.push_back({port, index, pressed});
  }
  void ShowCombinationCode(PortRole port, int code) override { codes.push_back({port, code}); }

  struct RowCall {
    PortRole port;
    int index;
    bool pressed;
    bool operator==(const RowCall&) const = default;
  };
  struct CodeCall {
    PortRole port;
    int code;
    bool operator==(const CodeCall&) const = default;
  };
  std::vector<RowCall> row;
  std::vector<CodeCall> codes;
};

TEST(PortIndicatorsTest, RowEveryCycleCodeOnlyOnAChange) {
  PortIndicators indicators;
  RecordingIndicatorView view;
  auto cycle = [&](int code) {
    indicators.Update(PortRole::Secondary, DecodeHardwareButtons(LinesForCode(code), {}), view);
  };
  cycle(0);  // the previous code starts at 0: nothing to show yet
  EXPECT_TRUE(view.codes.empty());
  EXPECT_EQ(view.row.size(), 4u);
  cycle(5);
  cycle(5);
  cycle(0);
  cycle(0);
  EXPECT_EQ(view.codes, (std::vector<RecordingIndicatorView::CodeCall>{{PortRole::Secondary, 5},
                                                                       {PortRole::Secondary, 0}}));
  ASSERT_EQ(view.row.size(), 20u);
  // The second cycle showed code 5: buttons 1 and 3 down, 2 and 4 up.
  EXPECT_EQ(
      std::vector<RecordingIndicatorView::RowCall>(view.row.begin() + 4, view.row.begin() + 8),
      (std::vector<RecordingIndicatorView::RowCall>{{PortRole::Secondary, 0, true},
                                                    {PortRole::Secondary, 1, false},
                                                    {PortRole::Secondary, 2, true},
                                                    {PortRole::Secondary, 3, false}}));
}

}  // namespace
}  // namespace pelorin
