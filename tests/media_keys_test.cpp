// "Send media keys (any player)": with no player window, the player commands
// of a button go out as the system's media and volume keys; with one, the
// player gets its messages as under any other policy. The whole program runs
// on fakes, from the configuration file to the keyboard.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "actions/command_catalogue.h"
#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::FakeKeyboard;
using testing::FakeWindowMessaging;
using testing::ProgramRig;
using Keys = std::vector<FakeKeyboard::Event>;

constexpr int kLastCommand = command::kSliderSlide;
constexpr std::uint8_t kKeyA = 'A';

// The keys each mapped command sends, spelled out; every other command sends
// none of its own.
Keys Presses(std::uint8_t code, int times) {
  Keys keys;
  for (int i = 0; i < times; ++i) {
    keys.push_back({code, false});
    keys.push_back({code, true});
  }
  return keys;
}
const std::map<int, Keys>& MediaKeysByCommand() {
  static const std::map<int, Keys> keys = {
      {1, Presses(0xB3, 1)},   // Play: play/pause
      {2, Presses(0xB3, 1)},   // Pause: play/pause
      {34, Presses(0xB3, 1)},  // Play/Pause
      {3, Presses(0xB2, 1)},   // Stop
      {4, Presses(0xB1, 1)},   // Previous track
      {5, Presses(0xB0, 1)},   // Next track
      {8, Presses(0xAF, 1)},   // Volume up: one 1/64 step, nearest one 2 % press
      {9, Presses(0xAE, 1)},   // Volume down
      {10, Presses(0xAF, 6)},  // Volume 1/8 up: 12.5 %, nearest six 2 % presses
      {11, Presses(0xAE, 6)},  // Volume 1/8 down
  };
  return keys;
}

// What one press of a button did.
struct Outcome {
  Keys keys;
  std::vector<FakeWindowMessaging::Message> messages;
  std::vector<std::uint32_t> exits;
  std::size_t starts = 0;
  std::size_t questions = 0;
};

// Button 1 of the primary port carries out `command` when it goes down
// ("Down/Up"), with the global and the button's own player-absent policy
// as stored.
Outcome PressButtonWith(int command, int global_policy, int button_policy, bool player_running) {
  ProgramRig rig;
  rig.files.files[ProgramRig::kIni] =
      "[Primary]\r\nPort=1\r\n[Options]\r\nWarn=0\r\nIfInactive=" + std::to_string(global_policy) +
      "\r\n[Port1Button1]\r\nMode=1\r\nFunc1=" + std::to_string(command) +
      "\r\nKey1=65\r\nInactive=" + std::to_string(button_policy) + "\r\n";
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
  bool sends_keys;    // while no player window exists
};

class MediaKeysPolicyTest : public ::testing::TestWithParam<PolicyCase> {};

// Every command, with and without a player window, against the same press
// under "Do nothing": the player messages, shut downs and program starts are
// the same, and only the mapped commands add their keys, only while no
// player window exists and only under "Send media keys".
TEST_P(MediaKeysPolicyTest, EveryCommandSendsItsKeysOnlyWithoutAPlayer) {
  const PolicyCase& c = GetParam();
  for (bool player_running : {false, true}) {
    for (int command = 0; command <= kLastCommand; ++command) {
      SCOPED_TRACE(std::string(player_running ? "player running, " : "no player, ") + "command " +
                   std::to_string(command));
      const Outcome today = PressButtonWith(command, 3, 0, player_running);
      const Outcome now =
          PressButtonWith(command, c.global_policy, c.button_policy, player_running);
      Keys expected = command == command::kKeyboardButton ? Presses(kKeyA, 1) : Keys{};
      const auto mapped = MediaKeysByCommand().find(command);
      if (c.sends_keys && !player_running && mapped != MediaKeysByCommand().end()) {
        expected = mapped->second;
      }
      EXPECT_EQ(now.keys, expected);
      EXPECT_EQ(now.messages, today.messages);
      EXPECT_EQ(now.exits, today.exits);
      EXPECT_EQ(now.starts, today.starts);
      EXPECT_EQ(now.questions, 0u) << "no \"Start Winamp?\" question";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Policies, MediaKeysPolicyTest,
                         ::testing::Values(PolicyCase{"Global", 4, 0, true},
                                           PolicyCase{"OwnOverDoNothing", 3, 5, true},
                                           PolicyCase{"OwnOverAskOnce", 2, 5, true},
                                           PolicyCase{"DoNothingOverGlobal", 4, 4, false},
                                           PolicyCase{"UnknownOwnValue", 4, 6, false}),
                         [](const ::testing::TestParamInfo<PolicyCase>& info) {
                           return info.param.name;
                         });

// A button that keeps asking still asks, and sends no key, next to one that
// sends media keys.
TEST(MediaKeysNeighbourTest, OtherButtonsKeepTheirQuestion) {
  ProgramRig rig;
  rig.files.files[ProgramRig::kIni] =
      "[Primary]\r\nPort=1\r\n[Options]\r\nWarn=0\r\nIfInactive=4\r\n"
      "[Port1Button1]\r\nMode=1\r\nFunc1=5\r\n"
      "[Port1Button2]\r\nMode=1\r\nFunc1=5\r\nInactive=3\r\n";
  rig.SetPlayerRunning(false);
  rig.boxes.answers = {MessageAnswer::No};
  rig.Start();
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  EXPECT_EQ(rig.keyboard.events, Presses(0xB0, 1));
  EXPECT_TRUE(rig.boxes.shown.empty());
  rig.keyboard.events.clear();
  rig.Hold(PortRole::Primary, 2);
  rig.Tick();
  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.boxes.shown[0].text, "Start Winamp?");
  EXPECT_TRUE(rig.keyboard.events.empty());
}

}  // namespace
}  // namespace pelorin
