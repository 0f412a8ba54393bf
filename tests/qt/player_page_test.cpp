// The player and Help pages wired to the real mapping editor and Help tab.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "support/fake_file_dialogs.h"
#include "support/temp_folder.h"
#include "ui/qt/properties_dialog.h"
#include "ui/qt/wiring_picture_writer.h"

namespace pelorin::qt {
namespace {

using H = HelpAboutControl;
using W = WinampControl;

// The rest of the program as the properties window sees it: the stored
// Settings are the live ones, nothing else happens.
class QuietHost final : public PropertiesHost, public LineMapStore, public ShellStarter {
 public:
  void LoadSettings() override {}
  void WriteSettings() override {}
  bool ApplySettings() override { return true; }
  void ResetAskOnce() override {}
  void HideWindow() override {}
  std::string ConfigFilePath() override { return "/tmp/pelorin.ini"; }
  std::string DefaultConfigFilePath() override { return "/tmp/pelorin.ini"; }
  bool UseConfigFile(const std::string&) override { return true; }
  std::vector<ComPortNumber> ReportedPorts() override { return {}; }
  LineMap ReadLineMap(PortRole) override { return {1, 2, 3, 4}; }
  void WriteLineMap(PortRole, const LineMap&) override {}
  void StartFile(const std::string&, const std::string&, const std::string&) override {}
};

class PlayerPageTest : public ::testing::Test {
 protected:
  PlayerPageTest() {
    window.Initialise();
    std::vector<std::string> commands(54, "Command");
    commands[kKeyboardButtonCommand] = "Keyboard button";
    commands[kStartFileCommand] = "Start file/program";
    window.Editor().FillCommandLists(commands);
    window.Editor().RebuildButtonList(PortRole::Primary, PortMode::Fifteen);
    help.Initialise();
    dialog.Bind(window, help);
  }

  template <typename T = QWidget>
  T* Of(W control, PortRole port = PortRole::Primary) {
    return dynamic_cast<T*>(dialog.Player().Widget(WinampControlOf(port, control)));
  }
  // The user chooses entry `index` of a list.
  void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  ButtonSlot& Slot(int index) { return settings.Buttons[0][index]; }

  Settings settings;
  QuietHost host;
  testing::FakeFileDialogs file_dialogs;
  PropertiesDialog dialog;
  QtWiringPictureWriter pictures;
  // Before the dialogs that use it, with a place for every control: showing
  // the window reads the settings, which the remap dialogs show too.
  WidgetTable<RemapControl, static_cast<int>(RemapControl::AutoCancelButton) + 1> remap_view;
  RemapDialog primary_remap{PortRole::Primary, settings, remap_view, host, [](bool) {}};
  RemapDialog secondary_remap{PortRole::Secondary, settings, remap_view, host, [](bool) {}};
  PropertiesWindow window{
      settings,         host,   dialog.Frame(), dialog.ComPorts(), dialog.Player(),
      dialog.Options(), dialog, primary_remap,  secondary_remap};
  HelpAboutTab help{dialog.HelpAbout(), file_dialogs, pictures, host};
};

TEST_F(PlayerPageTest, EveryControlHasAWidgetAndItsText) {
  for (int c = 0; c <= static_cast<int>(W::SecondaryBrowseFileButton); ++c) {
    EXPECT_NE(dialog.Player().Widget(static_cast<W>(c)), nullptr) << "control " << c;
  }
  for (H c : {H::FourButtonsPageButton, H::FifteenButtonsPageButton, H::WiringPages,
              H::SaveFourButtonsButton, H::SaveFifteenButtonsButton}) {
    EXPECT_NE(dialog.HelpAbout().Widget(c), nullptr) << "control " << static_cast<int>(c);
  }
  EXPECT_EQ(Of<QGroupBox>(W::PrimaryGroup)->title(), "Primary COM port");
  EXPECT_EQ(Of<QLabel>(W::PrimaryInactiveLabel)->text(), "If no player is running:");
  EXPECT_EQ(Of<QComboBox>(W::PrimaryButtonList)->count(), 15);
  EXPECT_EQ(Of<QToolButton>(W::PrimaryBrowseFileButton)->text(), "...");
}

TEST_F(PlayerPageTest, ListsArrowsAndFileFieldReachTheEditor) {
  QTest::mouseClick(Of(W::PrimaryNextButton), Qt::LeftButton);
  QTest::mouseClick(Of(W::PrimaryNextButton), Qt::LeftButton);
  QTest::mouseClick(Of(W::PrimaryPreviousButton), Qt::LeftButton);
  EXPECT_EQ(Of<QComboBox>(W::PrimaryButtonList)->currentIndex(), 1);
  Choose(Of<QComboBox>(W::PrimaryRow2List), 7);
  Choose(Of<QComboBox>(W::PrimaryInactiveList), 1);
  EXPECT_EQ(Slot(1).Func2, 7);
  EXPECT_EQ(Slot(1).Inactive, 1);
  EXPECT_TRUE(window.PendingChanges());

  Choose(Of<QComboBox>(W::PrimaryRow3List), kStartFileCommand);
  Choose(Of<QComboBox>(W::PrimaryClickModeList), static_cast<int>(ClickMode::Turbo));
  EXPECT_TRUE(Of(W::PrimaryRow1List)->isHidden());
  EXPECT_EQ(Of<QStackedWidget>(W::PrimaryExtraPages)->currentIndex(),
            static_cast<int>(ExtraPage::File));
  QTest::keyClick(Of(W::PrimaryFileField), Qt::Key_A, Qt::ControlModifier);  // select all
  QTest::keyClicks(Of(W::PrimaryFileField), "\"/usr/bin/xterm\"");
  EXPECT_EQ(Slot(1).Exec3, "\"/usr/bin/xterm\"");
}

TEST_F(PlayerPageTest, KeyFieldCapturesEveryKeyButTab) {
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Choose(Of<QComboBox>(W::PrimaryRow1List), kKeyboardButtonCommand);
  QWidget* field = Of(W::PrimaryKeyField);
  QTest::mouseClick(Of(W::PrimaryCtrlCheck), Qt::LeftButton);
  field->setFocus();
  QTest::keyClick(field, Qt::Key_F5);
  EXPECT_EQ(Slot(0).Key1, 0x74 | kKeyCtrl);
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_EQ(Of<QLineEdit>(W::PrimaryKeyField)->text(), "Escape");
  EXPECT_EQ(Slot(0).Key1, 27 | kKeyCtrl);
  EXPECT_TRUE(dialog.isVisible());
  QTest::keyClick(field, Qt::Key_Tab);
  EXPECT_EQ(Slot(0).Key1, 27 | kKeyCtrl);
}

TEST_F(PlayerPageTest, HelpPageTurnsAndSavesAsBmpOrPng) {
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::mouseClick(dialog.HelpAbout().Widget(H::FifteenButtonsPageButton), Qt::LeftButton);
  EXPECT_EQ(static_cast<QStackedWidget*>(dialog.HelpAbout().Widget(H::WiringPages))->currentIndex(),
            1);
  EXPECT_FALSE(dialog.HelpAbout().Widget(H::SaveFourButtonsButton)->isVisibleTo(&dialog));

  testing::TempFolder folder;
  for (const char* name : {"/15.png", "/15.BMP"}) {
    file_dialogs.next_choice = folder.path() + name;
    QTest::mouseClick(dialog.HelpAbout().Widget(H::SaveFifteenButtonsButton), Qt::LeftButton);
    QImage saved(QString::fromStdString(folder.path() + name));
    ASSERT_FALSE(saved.isNull()) << name;
    const QImage shown = ImageOfRaster(WiringRaster(WiringPicture::FifteenButtons));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32),
              shown.convertToFormat(QImage::Format_RGB32))
        << name;
  }
  EXPECT_NE(file_dialogs.saved.back().filter.find("*.png"), std::string::npos);
}

}  // namespace
}  // namespace pelorin::qt
