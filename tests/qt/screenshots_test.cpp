// Pictures of every tab, of both remap dialog pages and of the tray menu,
// for the README and for looking at the layout. Runs only when
// PELORIN_SCREENSHOT_DIR names a folder; scripts/screenshots-linux.sh sets
// it (and the scale for 144 dpi) and stores the pictures in docs/.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

#include <cstdlib>
#include <string>

#include "support/fake_file_dialogs.h"
#include "ui/qt/properties_dialog.h"
#include "ui/qt/remap_dialog_view.h"
#include "ui/qt/tray_icon.h"
#include "ui/qt/wiring_picture_writer.h"

namespace pelorin::qt {
namespace {

using W = WinampControl;

// What the window asks of the rest of the program, answered as a user's
// machine would: a configuration file in the home folder, stored settings
// with both ports in use.
class ShotHost final : public PropertiesHost, public LineMapStore, public ShellStarter {
 public:
  explicit ShotHost(Settings& live) : live_(live) {}
  void LoadSettings() override { live_ = stored; }
  void WriteSettings() override { stored = live_; }
  bool ApplySettings() override { return true; }
  void ResetAskOnce() override {}
  void HideWindow() override {}
  std::string ConfigFilePath() override { return "/home/ann/.config/pelorin/pelorin.ini"; }
  std::string DefaultConfigFilePath() override { return ConfigFilePath(); }
  bool UseConfigFile(const std::string&) override { return true; }
  std::vector<ComPortNumber> ReportedPorts() override { return {}; }
  std::optional<std::vector<SerialDeviceName>> ReportedDevices() override {
    return std::vector<SerialDeviceName>{
        {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB0"},
        {"/dev/ttyACM0", ""},
        {"/dev/ttyS0", ""}};
  }
  LineMap ReadLineMap(PortRole port) override { return LineMapOf(stored.PortSettings(port)); }
  void WriteLineMap(PortRole, const LineMap&) override {}
  void StartFile(const std::string&, const std::string&, const std::string&) override {}

  Settings stored;

 private:
  Settings& live_;
};

class Screenshots : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("PELORIN_SCREENSHOT_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "PELORIN_SCREENSHOT_DIR not set";
    dir_ = dir;
    // The program's icon, which the About tab shows, as the program sets it.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pelorin/pelorin.ico")));
    host_.stored.Options.UsePort2 = true;
    host_.stored.Primary.Device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    host_.stored.Secondary.Device = "/dev/ttyS0";
    dialog_.Bind(window_, help_about_);
    primary_view_.Bind(primary_remap_);
    secondary_view_.Bind(secondary_remap_);
    window_.Initialise();
    help_about_.Initialise();
    primary_remap_.Initialise();
    secondary_remap_.Initialise();
    dialog_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog_));
  }

  // Saves what `widget` shows, at the screen's pixel size, as NAME.png.
  void Shoot(QWidget* widget, const std::string& name) {
    QTest::qWait(100);  // every control painted
    const QString path = QString::fromStdString(dir_ + "/" + name + ".png");
    ASSERT_TRUE(widget->grab().save(path)) << name;
  }
  void SelectTab(int index) {
    qobject_cast<QTabWidget*>(dialog_.Frame().Widget(FrameControl::Tabs))->setCurrentIndex(index);
  }
  void Choose(W control, int index) {
    auto* list = qobject_cast<QComboBox*>(dialog_.Player().Widget(control));
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  void Click(QWidget* button) { qobject_cast<QAbstractButton*>(button)->click(); }

  std::string dir_;
  Settings settings_;
  ShotHost host_{settings_};
  testing::FakeFileDialogs file_dialogs_;
  QtWiringPictureWriter pictures_;
  PropertiesDialog dialog_;
  RemapDialogView primary_view_{&dialog_};
  RemapDialogView secondary_view_{&dialog_};
  RemapDialog primary_remap_{PortRole::Primary, settings_, primary_view_, host_,
                             [this](bool enabled) { dialog_.Frame().SetEnabled(FrameControl::Window, enabled); }};
  RemapDialog secondary_remap_{PortRole::Secondary, settings_, secondary_view_, host_,
                               [this](bool enabled) { dialog_.Frame().SetEnabled(FrameControl::Window, enabled); }};
  PropertiesWindow window_{settings_,         host_,  dialog_.Frame(), dialog_.ComPorts(),
                           dialog_.Player(),  dialog_.Options(), dialog_, primary_remap_,
                           secondary_remap_};
  HelpAboutTab help_about_{dialog_.HelpAbout(), dialog_, pictures_, host_};
};

TEST_F(Screenshots, EveryTabAndBothRemapPages) {
  Shoot(&dialog_, "com-ports");
  SelectTab(1);
  // "Clicks+Hold" shows all three rows; row 3 starts a file.
  Choose(W::PrimaryClickModeList, 4);
  Choose(W::PrimaryRow3List, 53);
  Choose(W::SecondaryClickModeList, 0);
  Shoot(&dialog_, "player-clicks");
  // "Turbo" shows row 3 alone; here it presses a key.
  Choose(W::PrimaryClickModeList, 2);
  Choose(W::PrimaryRow3List, 52);
  Shoot(&dialog_, "player-turbo");
  SelectTab(2);
  Shoot(&dialog_, "options");
  SelectTab(3);
  Shoot(&dialog_, "help-4");
  Click(dialog_.HelpAbout().Widget(HelpAboutControl::FifteenButtonsPageButton));
  Shoot(&dialog_, "help-15");
  SelectTab(4);
  Shoot(&dialog_, "about");
  SelectTab(0);
  Click(dialog_.ComPorts().Widget(ComPortsControl::PrimaryRemapButton));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(primary_view_.Dialog()));
  Shoot(primary_view_.Dialog(), "remap-manual");
  Click(primary_view_.Widget(RemapControl::AssignAutomaticallyButton));
  Shoot(primary_view_.Dialog(), "remap-auto");
  Click(primary_view_.Widget(RemapControl::AutoCancelButton));
  Click(primary_view_.Widget(RemapControl::CancelButton));
}

}  // namespace
}  // namespace pelorin::qt

namespace pelorin::qt {
namespace {

// The tray icon's menu as it opens, the volume entry greyed out as on a
// desktop without a mixer.
TEST(TrayScreenshot, TheTrayMenu) {
  const char* dir = std::getenv("PELORIN_SCREENSHOT_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "PELORIN_SCREENSHOT_DIR not set";
  TrayIcon tray([](std::uint32_t) {}, [](TrayMenuItem) {});
  tray.EnableItem(TrayMenuItem::Volume, false);
  tray.Menu().popup(QPoint(100, 100));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&tray.Menu()));
  QTest::qWait(100);
  EXPECT_TRUE(tray.Menu().grab().save(QString(dir) + "/tray-menu.png"));
  tray.Menu().hide();
}

}  // namespace
}  // namespace pelorin::qt
