// The Qt properties window wired to the real presenters: every control of
// the frame, COM ports, Options and About has a widget, the presenters'
// texts show, the user's events reach the presenters, and the file dialogs
// take the requests as asked.
#include "ui/qt/properties_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/version.h"
#include "support/fake_controls_view.h"
#include "support/fake_file_dialogs.h"
#include "ui/qt/file_dialogs_qt.h"

namespace pelorin::qt {
namespace {

using C = ComPortsControl;
using O = OptionsControl;
using H = HelpAboutControl;

class Host final : public PropertiesHost,
                   public LineMapStore,
                   public ShellStarter,
                   public WiringPictureWriter {
 public:
  Host(Settings& live, QWidget& window) : live_(live), window_(window) {}
  void LoadSettings() override { live_ = stored; }
  void WriteSettings() override {
    ++writes;
    stored = live_;
  }
  bool ApplySettings() override { return true; }
  void ResetAskOnce() override {}
  void HideWindow() override { window_.hide(); }
  std::string ConfigFilePath() override { return "/home/u/.config/pelorin/pelorin.ini"; }
  std::string DefaultConfigFilePath() override { return ConfigFilePath(); }
  bool UseConfigFile(const std::string&) override { return true; }
  std::vector<ComPortNumber> ReportedPorts() override { return {}; }
  LineMap ReadLineMap(PortRole port) override { return LineMapOf(stored.PortSettings(port)); }
  void WriteLineMap(PortRole, const LineMap&) override {}
  void StartFile(const std::string& file, const std::string&, const std::string&) override {
    started.push_back(file);
  }
  void WriteBitmap(WiringPicture, const std::string&) override {}

  Settings stored;
  int writes = 0;
  std::vector<std::string> started;

 private:
  Settings& live_;
  QWidget& window_;
};

class PropertiesDialogTest : public ::testing::Test {
 protected:
  PropertiesDialogTest()
      : host(settings, dialog),
        primary_remap(PortRole::Primary, settings, remap_view, host, [](bool) {}),
        secondary_remap(PortRole::Secondary, settings, remap_view, host, [](bool) {}),
        window(settings, host, dialog.Frame(), dialog.ComPorts(), dialog.Player(), dialog.Options(),
               dialogs, primary_remap, secondary_remap),
        help_about(dialog.HelpAbout(), dialogs, host, host) {
    host.stored.Options.UsePort2 = true;
    dialog.Bind(window, help_about);
    window.Initialise();
    help_about.Initialise();
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }

  template <typename T, typename Table, typename Control>
  static T* Widget(Table& table, Control control) {
    return qobject_cast<T*>(table.Widget(control));
  }
  QAbstractButton* Frame(FrameControl c) { return Widget<QAbstractButton>(dialog.Frame(), c); }

  Settings settings;
  PropertiesDialog dialog;
  Host host;
  testing::FakeControlsView<RemapControl> remap_view;
  testing::FakeFileDialogs dialogs;
  RemapDialog primary_remap;
  RemapDialog secondary_remap;
  PropertiesWindow window;
  HelpAboutTab help_about;
};

template <typename Control>
std::vector<int> Unbound(const auto& table, Control first, Control last) {
  std::vector<int> missing;
  for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c) {
    if (!table.Widget(static_cast<Control>(c))) missing.push_back(c);
  }
  return missing;
}

TEST_F(PropertiesDialogTest, EveryControlHasAWidgetAndShowsThePresentersText) {
  EXPECT_EQ(Unbound(dialog.Frame(), FrameControl::Window, FrameControl::ApplyButton),
            std::vector<int>{});
  EXPECT_EQ(Unbound(dialog.ComPorts(), C::PrimaryGroup, C::UseSecondaryCheck), std::vector<int>{});
  EXPECT_EQ(Unbound(dialog.Options(), O::InactiveLabel, O::InternetList), std::vector<int>{});
  EXPECT_EQ(Unbound(dialog.HelpAbout(), H::TitleLabel, H::MailLink), std::vector<int>{});

  auto* tabs = Widget<QTabWidget>(dialog.Frame(), FrameControl::Tabs);
  ASSERT_EQ(tabs->count(), 5);
  EXPECT_EQ(tabs->tabText(1), "Player");
  EXPECT_EQ(dialog.windowTitle(), "Pelorin Properties");
  EXPECT_EQ(Widget<QAbstractButton>(dialog.ComPorts(), C::UseSecondaryCheck)->text(),
            "Use secondary COM-port");
  EXPECT_EQ(Widget<QGroupBox>(dialog.ComPorts(), C::SecondaryGroup)->title(), "Secondary COM-port");
  EXPECT_EQ(Widget<QAbstractButton>(dialog.Options(), O::StartWithWindowsCheck)->text(),
            "Start when I log in");
  EXPECT_EQ(Widget<QLabel>(dialog.Options(), O::InactiveLabel)->text(),
            "When no player is running, on any button click do:");
  EXPECT_EQ(Widget<QGroupBox>(dialog.Options(), O::LedGroup)->title().left(5), "LED -");
  EXPECT_FALSE(Frame(FrameControl::ApplyButton)->isEnabled());

  // This edition names neither Winamp's maker nor a packer it does not use.
  tabs->setCurrentIndex(4);
  EXPECT_FALSE(dialog.HelpAbout().Widget(H::NullsoftLink)->isVisibleTo(&dialog));
  EXPECT_FALSE(dialog.HelpAbout().Widget(H::UpxLink)->isVisibleTo(&dialog));
  EXPECT_TRUE(dialog.HelpAbout().Widget(H::SiteLink)->isVisible());
  EXPECT_EQ(Widget<QLabel>(dialog.HelpAbout(), H::VersionLabel)->text(), "Version " PELORIN_VERSION_TEXT);
}

TEST_F(PropertiesDialogTest, UserEditsReachTheSettingsAndApplyWritesThem) {
  const bool autostart = settings.Options.AutoStartup;
  Widget<QAbstractButton>(dialog.Options(), O::StartWithWindowsCheck)->click();
  Widget<QComboBox>(dialog.Options(), O::PrimaryLedModeList)->setCurrentIndex(1);
  Widget<QSlider>(dialog.Options(), O::TurboSpeedBar)->setValue(42);
  EXPECT_EQ(Widget<QLabel>(dialog.Options(), O::TurboSpeedReadout)->text(), "42");
  ASSERT_TRUE(Frame(FrameControl::ApplyButton)->isEnabled());

  Frame(FrameControl::ApplyButton)->click();
  EXPECT_EQ(host.writes, 1);
  EXPECT_EQ(host.stored.Options.AutoStartup, !autostart);
  EXPECT_EQ(host.stored.Options.TurboCPS, 42);
  EXPECT_EQ(SelectionOf(host.stored.Primary.LED), 1);
  EXPECT_FALSE(Frame(FrameControl::ApplyButton)->isEnabled());

  // The secondary port's box disables its group; the remap button shows its dialog.
  Widget<QAbstractButton>(dialog.ComPorts(), C::UseSecondaryCheck)->click();
  EXPECT_FALSE(settings.Options.UsePort2);
  EXPECT_FALSE(dialog.ComPorts().Widget(C::SecondaryPortList)->isEnabled());
  Widget<QAbstractButton>(dialog.ComPorts(), C::PrimaryRemapButton)->click();
  EXPECT_TRUE(remap_view[RemapControl::Dialog].visible);
}

TEST_F(PropertiesDialogTest, EscapeCancelsEnterConfirmsAndTheCloseBoxCancels) {
  struct Case {
    std::function<void()> end;
    int writes;
  };
  const Case cases[] = {
      {[&] { QTest::keyClick(&dialog, Qt::Key_Escape); }, 0},
      {[&] { QTest::keyClick(&dialog, Qt::Key_Return); }, 1},
      {[&] { dialog.close(); }, 0},
  };
  for (const Case& c : cases) {
    host.writes = 0;
    dialog.show();
    const bool before = host.stored.Options.Warn;
    Widget<QAbstractButton>(dialog.Options(), O::WarnPlayerMissingCheck)->click();
    dialog.Frame().Widget(FrameControl::Tabs)->setFocus();
    c.end();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(host.writes, c.writes);
    // A cancelled edit is undone in the live settings.
    EXPECT_EQ(settings.Options.Warn, c.writes ? !before : before);
  }
}

TEST_F(PropertiesDialogTest, LinksUnderlineUnderTheMouseAndOpenOnClick) {
  Widget<QTabWidget>(dialog.Frame(), FrameControl::Tabs)->setCurrentIndex(4);
  QWidget* link = dialog.HelpAbout().Widget(H::SiteLink);
  QTest::mouseMove(link);
  QTRY_VERIFY(link->font().underline());
  QTest::mouseMove(link->parentWidget()->parentWidget(), QPoint(2, 2));
  QTRY_VERIFY(!link->font().underline());
  QTest::mouseClick(link, Qt::LeftButton);
  ASSERT_EQ(host.started.size(), 1u);
  EXPECT_EQ(host.started[0], AboutLinks{}.site);
}

TEST(FileDialogRequestTest, FiltersAndStartFolderAsLinuxDialogsNeedThem) {
  const std::pair<std::string, QStringList> filters[] = {
      {"INI files|*.ini|All files|*.*", {"INI files (*.ini *.INI)", "All files (*)"}},
      {"All files (*.*)|*.*", {"All files (*)"}},
      {"Pictures|*.bmp;*.png|Lonely", {"Pictures (*.bmp *.BMP *.png *.PNG)"}},
      {"", {}},
  };
  for (const auto& [filter, expected] : filters) EXPECT_EQ(NameFilters(filter), expected) << filter;

  QTemporaryDir folder;
  const std::string existing = folder.path().toStdString();
  const std::pair<FileDialogRequest, DialogStart> starts[] = {
      {{.initial_directory = existing, .file_name = "a.ini"}, {folder.path(), "a.ini"}},
      {{.initial_directory = existing + "/none/pelorin.ini"},
       {folder.path() + "/none", "pelorin.ini"}},
      {{.initial_directory = "/x.ini", .file_name = "y.ini"}, {"/", "y.ini"}},
  };
  for (const auto& [request, expected] : starts) EXPECT_EQ(StartOf(request), expected);
}

TEST(FileDialogRequestTest, SaveAppendsTheDefaultExtensionAndCancelGivesNothing) {
  QTemporaryDir folder;
  const FileDialogRequest request{.title = "Use config file:",
                                  .filter = "INI files|*.ini|All files|*.*",
                                  .default_extension = "ini",
                                  .initial_directory = folder.path().toStdString(),
                                  .path_must_exist = true};
  for (const bool accept : {true, false}) {
    QTimer::singleShot(200, [accept] {
      auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(shown, nullptr);
      EXPECT_EQ(shown->windowTitle(), "Use config file:");
      if (!accept) return shown->reject();
      shown->findChild<QLineEdit*>("fileNameEdit")->setText("mine");
      QMetaObject::invokeMethod(shown, "accept");
    });
    const auto chosen = ShowFileDialog(nullptr, request, FileDialogKind::Save);
    if (accept) {
      EXPECT_EQ(chosen, folder.path().toStdString() + "/mine.ini");
    } else {
      EXPECT_EQ(chosen, std::nullopt);
    }
  }
}

}  // namespace
}  // namespace pelorin::qt
