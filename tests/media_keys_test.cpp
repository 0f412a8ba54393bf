// "Send media keys (any player)", the whole program on fakes from the
// configuration file to the keyboard: every command of a button, with and
// without a player window, against the same press under "Do nothing".
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "actions/command_catalogue.h"
#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::ProgramRig;
using Keys = std::vector<testing::FakeKeyboard::Event>;

Keys Presses(std::uint8_t code, int times) {
  Keys keys;
  for (int i = 0; i < times; ++i) keys.insert(keys.end(), {{code, false}, {code, true}});
  return keys;
}

// The keys of the mapped commands; a volume key moves 2 %, the player's
// "Volume up" 1/64 and "Volume 1/8 up" 1/8 of full scale.
const std::map<int, Keys> kMediaKeys = {
    {1, Presses(0xB3, 1)},  {2, Presses(0xB3, 1)}, {34, Presses(0xB3, 1)},  // play/pause
    {3, Presses(0xB2, 1)},  {4, Presses(0xB1, 1)}, {5, Presses(0xB0, 1)},   // stop, tracks
    {8, Presses(0xAF, 1)},  {9, Presses(0xAE, 1)},                          // volume up, down
    {10, Presses(0xAF, 6)}, {11, Presses(0xAE, 6)}};                        // 1/8 up, down

// What one press of button 1 ("Down/Up", so the press fires slot 1) did.
struct Outcome {
  Keys keys;
  std::vector<testing::FakeWindowMessaging::Message> messages;
  std::vector<std::uint32_t> exits;
  std::size_t starts = 0;
  std::size_t questions = 0;
};

Outcome Press(int command, int global_policy, int button_policy, bool player_running) {
  ProgramRig rig;
  rig.files.files[ProgramRig::kIni] =
      "[Primary]\r\nPort=1\r\n[Options]\r\nWarn=0\r\nIfInactive=" + std::to_string(global_policy) +
      "\r\n[Port1Button1]\r\nMode=1\r\nKey1=65\r\nFunc1=" + std::to_string(command) +
      "\r\nInactive=" + std::to_string(button_policy) + "\r\n";
  rig.SetPlayerRunning(player_running);
  rig.boxes.answers = {MessageAnswer::No};
  rig.Start();
  rig.messaging.messages.clear();
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  return {rig.keyboard.events, rig.messaging.messages, rig.power.exits, rig.shell.starts.size(),
          rig.boxes.shown.size()};
}

struct PolicyCase {
  const char* name;
  int global_policy;  // IfInactive
  int button_policy;  // Inactive
  bool sends_keys;
};

class MediaKeysTest : public ::testing::TestWithParam<PolicyCase> {};

// Player messages, shut downs and program starts stay as under "Do nothing";
// only the mapped commands add their keys, only without a player window.
TEST_P(MediaKeysTest, EveryCommandSendsItsKeysOnlyWithoutAPlayer) {
  const PolicyCase& c = GetParam();
  for (bool player_running : {false, true}) {
    for (int command = 0; command <= command::kSliderSlide; ++command) {
      SCOPED_TRACE((player_running ? "player, command " : "no player, command ") +
                   std::to_string(command));
      const Outcome before = Press(command, 3, 0, player_running);
      const Outcome now = Press(command, c.global_policy, c.button_policy, player_running);
      Keys expected = command == command::kKeyboardButton ? Presses('A', 1) : Keys{};
      if (c.sends_keys && !player_running && kMediaKeys.contains(command)) {
        expected = kMediaKeys.at(command);
      }
      EXPECT_EQ(now.keys, expected);
      EXPECT_EQ(now.messages, before.messages);
      EXPECT_EQ(now.exits, before.exits);
      EXPECT_EQ(now.starts, before.starts);
      EXPECT_EQ(now.questions, 0u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Policies, MediaKeysTest,
                         ::testing::Values(PolicyCase{"Global", 4, 0, true},
                                           PolicyCase{"OwnOverDoNothing", 3, 5, true},
                                           PolicyCase{"OwnOverAskOnce", 2, 5, true},
                                           PolicyCase{"DoNothingOverGlobal", 4, 4, false},
                                           PolicyCase{"UnknownOwnValue", 4, 6, false}),
                         [](const ::testing::TestParamInfo<PolicyCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace pelorin
