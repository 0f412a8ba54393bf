#include "ui/mapping_editor.h"

#include <gtest/gtest.h>

#include "support/fake_controls_view.h"
#include "support/fake_file_dialogs.h"

namespace pelorin {
namespace {

using W = WinampControl;

std::vector<std::string> Catalogue() {
  std::vector<std::string> commands;
  for (int id = 0; id < 54; ++id) commands.push_back("Command " + std::to_string(id));
  commands[kKeyboardButtonCommand] = "Keyboard button";
  commands[kStartFileCommand] = "Start file/program";
  return commands;
}

class MappingEditorTest : public ::testing::Test {
 protected:
  MappingEditorTest() : editor(settings, view, dialogs, [this] { ++modified; }) {
    editor.Initialise();
    editor.FillCommandLists(Catalogue());
    editor.RebuildButtonList(PortRole::Primary, PortMode::Fifteen);
    editor.RebuildButtonList(PortRole::Secondary, PortMode::Fifteen);
    modified = 0;
  }

  ButtonSlot& Slot(PortRole port, int index) { return settings.Buttons[IndexOf(port)][index]; }
  testing::ControlState& Of(PortRole port, W primary) {
    return view[WinampControlOf(port, primary)];
  }
  int Page(PortRole port) { return Of(port, W::PrimaryExtraPages).selection; }
  // The user picks an entry: the list shows it, then the editor hears of it.
  void PickButton(PortRole port, int index) {
    Of(port, W::PrimaryButtonList).selection = index;
    editor.ButtonSelected(port, index);
  }

  Settings settings;
  testing::FakeControlsView<WinampControl> view;
  testing::FakeFileDialogs dialogs;
  int modified = 0;
  MappingEditor editor;
};

TEST_F(MappingEditorTest, FifteenToFourAndBackKeepsTheUpperSlots) {
  PickButton(PortRole::Primary, 10);
  editor.RowSelected(PortRole::Primary, 1, 7);
  editor.ClickModeSelected(PortRole::Primary, 4);

  editor.RebuildButtonList(PortRole::Primary, PortMode::FourButtons);
  EXPECT_EQ(view[W::PrimaryButtonList].items.size(), 4u);
  EXPECT_EQ(view[W::PrimaryButtonList].selection, 0);
  EXPECT_EQ(view[W::PrimaryClickModeList].selection, 2);  // slot 0 shown: its default "Turbo"

  editor.RebuildButtonList(PortRole::Primary, PortMode::Fifteen);
  PickButton(PortRole::Primary, 10);
  EXPECT_EQ(view[W::PrimaryRow1List].selection, 7);
  EXPECT_EQ(view[W::PrimaryClickModeList].selection, 4);
  EXPECT_EQ(Slot(PortRole::Primary, 10).Func1, 7);
}

TEST_F(MappingEditorTest, NoModeKeepsTheEntriesButShowsTheFirstButtonAfresh) {
  PickButton(PortRole::Primary, 5);
  Slot(PortRole::Primary, 0).Func1 = 9;  // a loaded file brought new values and no mode
  Slot(PortRole::Primary, 0).Mode = 4;
  editor.RebuildButtonList(PortRole::Primary, PortMode::None);
  EXPECT_EQ(view[W::PrimaryButtonList].items.size(), 15u);
  EXPECT_EQ(editor.SelectedSlot(PortRole::Primary), 0);
  EXPECT_EQ(view[W::PrimaryButtonList].selection, 0);
  EXPECT_EQ(view[W::PrimaryRow1List].selection, 9);
  EXPECT_EQ(view[W::PrimaryClickModeList].selection, 4);
}

TEST_F(MappingEditorTest, ArrowsStopAtBothEndsAndShowTheButtonAgain) {
  editor.RowSelected(PortRole::Primary, 1, kKeyboardButtonCommand);
  ASSERT_EQ(Page(PortRole::Primary), static_cast<int>(ExtraPage::Key));
  editor.PreviousButtonPressed(PortRole::Primary);
  EXPECT_EQ(view[W::PrimaryButtonList].selection, 0);
  EXPECT_EQ(Page(PortRole::Primary), static_cast<int>(ExtraPage::No));

  PickButton(PortRole::Primary, 14);
  editor.NextButtonPressed(PortRole::Primary);
  EXPECT_EQ(editor.SelectedSlot(PortRole::Primary), 14);
  EXPECT_EQ(view[W::PrimaryButtonList].selection, 14);

  editor.PreviousButtonPressed(PortRole::Primary);
  EXPECT_EQ(view[W::PrimaryButtonList].selection, 13);
  editor.RebuildButtonList(PortRole::Primary, PortMode::FourButtons);
  editor.NextButtonPressed(PortRole::Primary);
  editor.NextButtonPressed(PortRole::Primary);
  editor.NextButtonPressed(PortRole::Primary);
  editor.NextButtonPressed(PortRole::Primary);
  EXPECT_EQ(editor.SelectedSlot(PortRole::Primary), 3);
}

struct RowLayout {
  int mode;
  bool rows12_visible;
  bool row3_visible;
  const char* label1;
  const char* label2;
  const char* label3;
};

class RowLayoutTest : public MappingEditorTest, public ::testing::WithParamInterface<RowLayout> {};

TEST_P(RowLayoutTest, RowsAndLabelsFollowTheModeWhateverCameBefore) {
  const RowLayout& want = GetParam();
  for (int previous = 0; previous <= 4; ++previous) {
    SCOPED_TRACE(previous);
    editor.ClickModeSelected(PortRole::Secondary, previous);
    editor.ClickModeSelected(PortRole::Secondary, want.mode);
    EXPECT_EQ(view[W::SecondaryRow1List].visible, want.rows12_visible);
    EXPECT_EQ(view[W::SecondaryRow2Label].visible, want.rows12_visible);
    EXPECT_EQ(view[W::SecondaryRow3List].visible, want.row3_visible);
    EXPECT_EQ(view[W::SecondaryRow3Label].visible, want.row3_visible);
    EXPECT_EQ(view[W::SecondaryRow1Label].text, want.label1);
    EXPECT_EQ(view[W::SecondaryRow2Label].text, want.label2);
    EXPECT_EQ(view[W::SecondaryRow3Label].text, want.label3);
    EXPECT_EQ(Slot(PortRole::Secondary, 0).Mode, want.mode);
  }
}

INSTANTIATE_TEST_SUITE_P(
    ClickModes, RowLayoutTest,
    ::testing::Values(RowLayout{0, true, false, "Single click", "Double-click", "Turbo"},
                      RowLayout{1, true, false, "Button down", "Button up", "Turbo"},
                      RowLayout{2, false, true, "Button down", "Button up", "Turbo"},
                      RowLayout{3, true, true, "Single click", "Double-click", "Turbo"},
                      RowLayout{4, true, true, "Single click", "Double-click", "After holding"}));

TEST_F(MappingEditorTest, HeldModifierKeysAreCapturedAsKeysOfTheirOwn) {
  editor.RowSelected(PortRole::Primary, 2, kKeyboardButtonCommand);
  editor.ModifierClicked(PortRole::Primary, KeyModifier::Ctrl, true);
  EXPECT_EQ(Slot(PortRole::Primary, 0).Key2, 512);

  EXPECT_TRUE(editor.KeyDown(PortRole::Primary, 17));
  EXPECT_EQ(Slot(PortRole::Primary, 0).Key2, 529);
  EXPECT_EQ(view[W::PrimaryKeyField].text, "Ctrl");
  EXPECT_TRUE(editor.KeyDown(PortRole::Primary, 116));
  EXPECT_EQ(Slot(PortRole::Primary, 0).Key2, 628);
  EXPECT_EQ(view[W::PrimaryKeyField].text, "F5");
  EXPECT_EQ(Slot(PortRole::Primary, 0).Key1, 0);
  EXPECT_EQ(Slot(PortRole::Primary, 0).Key3, 0);
}

TEST_F(MappingEditorTest, TabIsNotCaptured) {
  editor.RowSelected(PortRole::Primary, 1, kKeyboardButtonCommand);
  modified = 0;
  EXPECT_FALSE(editor.KeyDown(PortRole::Primary, kTabKey));
  EXPECT_EQ(Slot(PortRole::Primary, 0).Key1, 0);
  EXPECT_EQ(modified, 0);
}

TEST_F(MappingEditorTest, EnteringARowShowsItsOwnKeyAndModifiers) {
  Slot(PortRole::Primary, 0).Func1 = kKeyboardButtonCommand;
  Slot(PortRole::Primary, 0).Key1 = 'A' | kKeyShift | kKeyAlt;
  Slot(PortRole::Primary, 0).Func3 = 9;
  PickButton(PortRole::Primary, 0);

  editor.RowEntered(PortRole::Primary, 1);
  EXPECT_EQ(Page(PortRole::Primary), static_cast<int>(ExtraPage::Key));
  EXPECT_EQ(view[W::PrimaryKeyField].text, "A");
  EXPECT_TRUE(view[W::PrimaryShiftCheck].checked);
  EXPECT_FALSE(view[W::PrimaryCtrlCheck].checked);
  EXPECT_TRUE(view[W::PrimaryAltCheck].checked);

  editor.RowEntered(PortRole::Primary, 3);
  EXPECT_EQ(Page(PortRole::Primary), static_cast<int>(ExtraPage::No));
  EXPECT_EQ(editor.AreaEventSlot(PortRole::Primary), 1);  // the area keeps its event slot
  EXPECT_EQ(modified, 0);                                 // entering a list changes nothing
}

class FileRowTest : public MappingEditorTest, public ::testing::WithParamInterface<PortRole> {};

TEST_P(FileRowTest, AFilePickedInRowThreeIsStoredQuotedInExec3) {
  const PortRole port = GetParam();
  editor.ClickModeSelected(port, 4);
  editor.RowSelected(port, 1, kStartFileCommand);
  editor.RowSelected(port, 2, kKeyboardButtonCommand);
  editor.RowSelected(port, 3, kStartFileCommand);
  EXPECT_EQ(Page(port), static_cast<int>(ExtraPage::File));

  dialogs.next_choice = "C:\\Tools\\app.exe";
  editor.BrowseFileClicked(port);
  EXPECT_EQ(Slot(port, 0).Exec3, "\"C:\\Tools\\app.exe\"");
  EXPECT_EQ(Of(port, W::PrimaryFileField).text, "\"C:\\Tools\\app.exe\"");
  EXPECT_EQ(Slot(port, 0).Exec1, "\"\"");
  ASSERT_EQ(dialogs.opened.size(), 1u);
  EXPECT_EQ(dialogs.opened[0].title, "Select file to start:");
  EXPECT_EQ(dialogs.opened[0].filter, "All files (*.*)|*.*");
  EXPECT_TRUE(dialogs.opened[0].file_must_exist);
}

INSTANTIATE_TEST_SUITE_P(BothPorts, FileRowTest,
                         ::testing::Values(PortRole::Primary, PortRole::Secondary));

TEST_F(MappingEditorTest, TypedTextIsStoredAsTypedAndACancelledDialogKeepsIt) {
  editor.RowSelected(PortRole::Primary, 2, kStartFileCommand);
  editor.FileTextChanged(PortRole::Primary, "C:\\bare\\path.exe");
  EXPECT_EQ(Slot(PortRole::Primary, 0).Exec2, "C:\\bare\\path.exe");
  EXPECT_GT(modified, 0);

  dialogs.next_choice.reset();
  editor.BrowseFileClicked(PortRole::Primary);
  EXPECT_EQ(Slot(PortRole::Primary, 0).Exec2, "C:\\bare\\path.exe");
}

struct DialogStart {
  const char* text;
  const char* directory;
  const char* file;
};

class StartFileDialogTest : public ::testing::TestWithParam<DialogStart> {};

TEST_P(StartFileDialogTest, StartsFromThePathBetweenTheFirstTwoQuotes) {
  const FileDialogRequest request = StartFileDialogRequest(GetParam().text);
  EXPECT_EQ(request.initial_directory, GetParam().directory);
  EXPECT_EQ(request.file_name, GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StartFileDialogTest,
    ::testing::Values(DialogStart{"\"C:\\Tools\\app.exe\" -x", "C:\\Tools", "app.exe"},
                      DialogStart{"\"app.exe\"", "app.exe", ""},
                      DialogStart{"C:\\Tools\\bare.exe", "", ""},
                      DialogStart{"\"C:\\Tools\\open", "", ""}, DialogStart{"\"\"", "", ""}));

TEST_F(MappingEditorTest, StoredValuesOutsideTheirListsShowNoSelection) {
  Slot(PortRole::Primary, 1).Mode = 9;
  Slot(PortRole::Primary, 1).Func2 = 200;
  Slot(PortRole::Primary, 1).Inactive = 6;
  PickButton(PortRole::Primary, 1);
  EXPECT_EQ(view[W::PrimaryClickModeList].selection, -1);
  EXPECT_EQ(view[W::PrimaryRow2List].selection, -1);
  EXPECT_EQ(view[W::PrimaryInactiveList].selection, -1);
}

TEST_F(MappingEditorTest, EditsMarkPendingChangesAndSelectingAButtonDoesNot) {
  PickButton(PortRole::Primary, 3);
  editor.NextButtonPressed(PortRole::Primary);
  EXPECT_EQ(modified, 0);
  editor.InactiveSelected(PortRole::Primary, 4);
  EXPECT_EQ(Slot(PortRole::Primary, 4).Inactive, 4);
  EXPECT_EQ(modified, 1);
}

TEST_F(MappingEditorTest, SecondaryInactiveListHasItsOwnTexts) {
  EXPECT_EQ(view[W::PrimaryInactiveList].items[0], "Default (in Options tab)");
  EXPECT_EQ(view[W::SecondaryInactiveList].items[0], "Default (in Options)");
  EXPECT_EQ(view[W::SecondaryInactiveList].items[2], "Always ask to start");
  EXPECT_EQ(view[W::PrimaryInactiveList].items,
            (std::vector<std::string>{"Default (in Options tab)", "Start Winamp",
                                      "Ask every click to start", "Ask once to start", "Do nothing",
                                      "Send media keys (any player)"}));
  EXPECT_EQ(view[W::SecondaryInactiveList].items,
            (std::vector<std::string>{"Default (in Options)", "Start Winamp", "Always ask to start",
                                      "Ask once to start", "Do nothing",
                                      "Send media keys (any player)"}));
  EXPECT_EQ(view[W::SecondaryGroup].text, "Secondary COM port");
}

}  // namespace
}  // namespace pelorin
