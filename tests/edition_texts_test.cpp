// The Linux edition's wording: every text the presenters show, once passed
// through the edition's table, names neither Windows nor Winamp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/command_catalogue.h"
#include "config/lists.h"
#include "engine/player_absent_policy.h"
#include "support/program_rig.h"
#include "ui/edition_texts.h"

namespace pelorin {
namespace {

using testing::ControlState;
using testing::FakeControlsView;
using testing::ProgramRig;

bool NamesWindowsOrWinamp(const std::string& text) {
  return text.find("Winamp") != std::string::npos || text.find("Windows") != std::string::npos ||
         text.starts_with("Win:");
}

// Every text, hint and list entry a view was given, as the Linux views show it.
template <typename Control>
void CollectShown(const FakeControlsView<Control>& view, std::vector<std::string>& shown,
                  const std::vector<Control>& left_out = {}) {
  for (const auto& [control, state] : view.states) {
    if (std::find(left_out.begin(), left_out.end(), control) != left_out.end()) continue;
    shown.push_back(EditionText(state.text));
    for (const std::string& item : state.items) shown.push_back(EditionText(item));
  }
}

TEST(EditionTextsTest, NoTextTheLinuxWindowsShowNamesWindowsOrWinamp) {
  ProgramRig rig;
  rig.Start();
  rig.window.Show();
  std::vector<std::string> shown;
  CollectShown(rig.frame, shown);
  CollectShown(rig.com_ports, shown);
  CollectShown(rig.winamp, shown);
  CollectShown(rig.options, shown);
  CollectShown(rig.primary_remap, shown);
  CollectShown(rig.secondary_remap, shown);
  // The link to the player's maker is left out of the Linux About tab.
  CollectShown(rig.help_about, shown, {HelpAboutControl::NullsoftLink});
  // The questions, and the lists and commands wherever they are shown.
  for (const std::string_view text : {std::string_view(kStartPlayerQuestion),
                                      std::string_view(kStartPlayerQuestionCaption)}) {
    shown.push_back(EditionText(text));
  }
  for (const std::string_view name : kCommandNames) shown.push_back(EditionText(name));
  for (const std::string_view led : lists::kLedCondition) shown.push_back(EditionText(led));

  ASSERT_GT(shown.size(), 200u);
  for (const std::string& text : shown) EXPECT_FALSE(NamesWindowsOrWinamp(text)) << text;
}

TEST(EditionTextsTest, OtherTextsPassUnchanged) {
  EXPECT_EQ(EditionText("COM ports"), "COM ports");
  EXPECT_EQ(EditionText("Start Winamp"), "Start the player");
  EXPECT_EQ(EditionText("Win: force reboot"), "System: force reboot");
  EXPECT_EQ(EditionText(""), "");
}

}  // namespace
}  // namespace pelorin
