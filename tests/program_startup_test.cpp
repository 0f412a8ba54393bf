// The program's start-up, its command-line words and its ends, on the central
// object with every service faked.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::FakeWindowMessaging;
using testing::ProgramRig;

constexpr const char* kWinampUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";
constexpr const char* kOwnUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelorin";
constexpr WindowId kRunningCopy = 0x9000;

class StartupTest : public ::testing::Test {
 protected:
  // Messages sent to the running copy's window.
  std::vector<FakeWindowMessaging::Message> ToRunningCopy() const {
    std::vector<FakeWindowMessaging::Message> sent;
    for (const auto& m : rig.messaging.messages) {
      if (m.window == kRunningCopy) sent.push_back(m);
    }
    return sent;
  }
  std::vector<std::string> BatchFiles() const {
    std::vector<std::string> batches;
    for (const auto& [path, text] : rig.files.files) {
      if (path.size() > 4 && path.compare(path.size() - 4, 4, ".bat") == 0) batches.push_back(path);
    }
    return batches;
  }

  ProgramRig rig;
};

TEST_F(StartupTest, PortsOpenBeforeThePollTimerAndTheTrayIconComesLast) {
  rig.Start();
  EXPECT_TRUE(rig.ports.Port(1).open);
  EXPECT_TRUE(rig.ports.Port(1).dtr);
  EXPECT_TRUE(rig.window.TimerRunning(WindowTimer::PollTimer));
  EXPECT_FALSE(rig.window.TimerRunning(WindowTimer::StartupTimer)) << "the start-up runs once";
  ASSERT_FALSE(rig.window.log.empty());
  EXPECT_EQ(rig.window.log.back(), "add tray icon");
  EXPECT_EQ(rig.power.privilege_requests, 1);
  EXPECT_EQ(rig.audio.open_now, 0) << "no volume is held between commands";
  EXPECT_TRUE(rig.boxes.shown.empty());
  EXPECT_TRUE(rig.locks.held.count("Pelorin"));
}

TEST_F(StartupTest, SecondCopyShowsTheRunningCopysWindowAndEndsWithoutTouchingPortsOrSettings) {
  rig.locks.held.insert("Pelorin");
  rig.messaging.SetWindow("TForm1", kRunningCopy);
  const std::string before = rig.files.files[ProgramRig::kIni];
  rig.Start();
  EXPECT_TRUE(rig.window.loop_ended);
  EXPECT_TRUE(rig.boxes.shown.empty());
  EXPECT_FALSE(rig.ports.Port(1).open);
  EXPECT_FALSE(rig.window.tray_icon);
  EXPECT_FALSE(rig.window.TimerRunning(WindowTimer::PollTimer));
  EXPECT_EQ(rig.files.files[ProgramRig::kIni], before);
  EXPECT_EQ(rig.messaging.allowed_foreground, std::vector<WindowId>{kRunningCopy});
  const auto sent = ToRunningCopy();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].message, kWmUser);
  EXPECT_EQ(sent[0].wparam, kShowRequest);
}

// {the machine-wide list refused (as for a user without administrator rights), elevated}
class InstallTest : public StartupTest,
                    public ::testing::WithParamInterface<std::pair<bool, bool>> {};

TEST_P(InstallTest, TheEntryGoesWhereAllowedAndOnlyAnElevatedCopyEnds) {
  const auto [refused, elevated] = GetParam();
  if (refused) {
    rig.registry.refuse_full_access.insert(
        {RegistryRoot::LocalMachine,
         "software\\microsoft\\windows\\currentversion\\uninstall\\pelorin"});
  }
  rig.facts.elevated = elevated;
  rig.facts.first_argument = "Install";
  rig.Start();
  using Value = testing::FakeRegistry::Value;
  const RegistryRoot root = refused ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
  EXPECT_EQ(rig.registry.Get(root, kOwnUninstallKey, "DisplayName"), Value(std::string("Pelorin")));
  EXPECT_EQ(rig.registry.Get(root, kOwnUninstallKey, "UninstallString"),
            Value(std::string("\"c:\\apps\\pelorin\\pelorin.exe\" uninstall")));
  EXPECT_EQ(rig.window.tray_icon, !elevated);
  EXPECT_EQ(rig.locks.held.count("Pelorin"), elevated ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Rights, InstallTest,
                         ::testing::Values(std::pair(true, false), std::pair(false, false),
                                           std::pair(false, true)));

TEST_F(StartupTest, UninstallAnsweredYesTellsTheRunningCopyToQuitAndRemovesTheProgram) {
  rig.facts.first_argument = "UnInstall";
  rig.messaging.SetWindow("TForm1", kRunningCopy);
  // Entries under both roots, as installs by an administrator and by a normal
  // user, and by an older version (the autostart entry unquoted), leave them.
  for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
    ASSERT_TRUE(rig.registry.Open(root, kOwnUninstallKey, KeyAccess::Full, true));
    rig.registry.Set(root, kRunKeyPath, "Pelorin", std::string("c:\\apps\\pelorin\\pelorin.exe"));
  }
  rig.boxes.answers = {MessageAnswer::Yes};
  const std::string settings_before = rig.files.files[ProgramRig::kIni];
  rig.Start();

  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  const MessageBoxRequest& box = rig.boxes.shown[0];
  EXPECT_EQ(box.text, "Do you really want to uninstall\r\nPelorin?");
  EXPECT_EQ(box.caption, "Uninstall");
  EXPECT_EQ(box.icon, MessageIcon::Warning);
  EXPECT_EQ(box.buttons, MessageButtons::YesNo);
  EXPECT_EQ(box.default_button, 2);

  EXPECT_EQ(rig.window.caption, "") << "cleared so that this copy cannot find itself";
  ASSERT_EQ(ToRunningCopy().size(), 1u);
  EXPECT_EQ(ToRunningCopy()[0],
            (FakeWindowMessaging::Message{kRunningCopy, kWmUser, 2, 0,
                                          FakeWindowMessaging::How::SentAndWaited}));

  const auto batches = BatchFiles();
  ASSERT_EQ(batches.size(), 1u);
  EXPECT_EQ(batches[0].rfind("C:\\Apps\\Pelorin\\", 0), 0u);
  EXPECT_EQ(batches[0].size(), std::string("C:\\Apps\\Pelorin\\12345678.bat").size());
  EXPECT_EQ(rig.files.files[batches[0]],
            "@echo off\r\n:loop\r\nattrib -r \"pelorin.exe\"\r\ndel \"pelorin.exe\"\r\n"
            "if exist \"pelorin.exe\" ping -n 2 127.0.0.1 >nul\r\n"
            "if exist \"pelorin.exe\" goto loop\r\ndel %0\r\n");
  ASSERT_EQ(rig.shell.starts.size(), 1u);
  EXPECT_EQ(rig.shell.starts[0],
            (testing::FakeShell::Start{batches[0], "", "C:\\Apps\\Pelorin", kShowHidden}));
  for (RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
    EXPECT_FALSE(rig.registry.HasKey(root, kOwnUninstallKey));
    EXPECT_EQ(rig.registry.Get(root, kRunKeyPath, "Pelorin"), std::nullopt);
  }

  EXPECT_TRUE(rig.window.loop_ended);
  EXPECT_FALSE(rig.ports.Port(1).open) << "no port, no mutex, no settings";
  EXPECT_TRUE(rig.locks.held.empty());
  EXPECT_EQ(rig.files.files[ProgramRig::kIni], settings_before);
}

TEST_F(StartupTest, UninstallAnsweredNoEndsThisCopyAndChangesNothing) {
  rig.facts.first_argument = "uninstall";
  rig.messaging.SetWindow("TForm1", kRunningCopy);
  rig.boxes.answers = {MessageAnswer::No};
  rig.Start();
  EXPECT_TRUE(rig.window.loop_ended);
  EXPECT_TRUE(ToRunningCopy().empty());
  EXPECT_TRUE(BatchFiles().empty());
  EXPECT_TRUE(rig.shell.starts.empty());
}

TEST_F(StartupTest, AnExistingBatchFileIsNeverReplaced) {
  rig.facts.first_argument = "uninstall";
  rig.boxes.answers = {MessageAnswer::Yes};
  rig.files.disk_full = true;  // the batch file cannot be created
  rig.Start();
  EXPECT_TRUE(rig.shell.starts.empty()) << "nothing started without the batch file";
}

// The player's installer registers it in the 32-bit view; a 64-bit player
// would be in the other. Either is found, the 32-bit one first, and the
// directory is that of its uninstaller.
TEST_F(StartupTest, RegisteredPlayerIsFoundInEitherViewThe32BitOneFirst) {
  const std::string uninstaller32 = "\"C:\\Program Files (x86)\\Winamp\\UninstWA.exe\"";
  const std::string uninstaller64 = "C:\\Program Files\\Winamp\\UninstWA.exe";
  struct Case {
    const char* name;
    bool in_view32;
    bool in_view64;
    const char* directory;
  };
  for (const Case& c : {Case{"32-bit view only", true, false, "C:\\Program Files (x86)\\Winamp"},
                        Case{"64-bit view only", false, true, "C:\\Program Files\\Winamp"},
                        Case{"both views", true, true, "C:\\Program Files (x86)\\Winamp"}}) {
    SCOPED_TRACE(c.name);
    ProgramRig program;
    // Nothing beside the program's folder: only the registry can find it.
    program.files.files.erase(std::string(ProgramRig::kPlayerDir) + "\\winamp.exe");
    program.files.files.erase(std::string(ProgramRig::kPlayerDir) + "\\Winamp.exe");
    program.files.files[ProgramRig::kIni] += "[Options]\r\nWarn=1\r\n";
    if (c.in_view32) {
      program.registry.Set(RegistryRoot::LocalMachine, kWinampUninstallKey, "UninstallString",
                           uninstaller32, RegistryView::Wow32);
    }
    if (c.in_view64) {
      program.registry.Set(RegistryRoot::LocalMachine, kWinampUninstallKey, "UninstallString",
                           uninstaller64, RegistryView::Wow64);
    }
    program.Start();
    EXPECT_EQ(program.program->PlayerDirectory(), c.directory);
    EXPECT_TRUE(program.window.MenuItemEnabled(TrayMenuItem::StartPlayer));
    EXPECT_TRUE(program.boxes.shown.empty()) << "no warning";
  }
}

TEST_F(StartupTest, PlayerNotFoundDisablesStartWinampAndWarnsOnce) {
  rig.files.files.erase(std::string(ProgramRig::kPlayerDir) + "\\winamp.exe");
  rig.files.files.erase(std::string(ProgramRig::kPlayerDir) + "\\Winamp.exe");
  rig.files.files[ProgramRig::kIni] += "[Options]\r\nWinampOnStartup=1\r\n";
  rig.Start();
  EXPECT_FALSE(rig.window.MenuItemEnabled(TrayMenuItem::StartPlayer));
  ASSERT_EQ(rig.boxes.shown.size(), 1u);
  EXPECT_EQ(rig.boxes.shown[0].text,
            "Unable to find Winamp installed!\n\nProgram will be unable to start Winamp.");
  EXPECT_EQ(rig.boxes.shown[0].caption, "Pelorin");
  EXPECT_EQ(rig.boxes.shown[0].icon, MessageIcon::Warning);
  EXPECT_TRUE(rig.shell.starts.empty()) << "never started when it was not found";
}

TEST_F(StartupTest, StartWinampOnStartupTakesStudioWhenThereIsNoWinampExe) {
  rig.files.files.erase(std::string(ProgramRig::kPlayerDir) + "\\Winamp.exe");
  rig.files.files.erase(std::string(ProgramRig::kPlayerDir) + "\\winamp.exe");
  rig.files.files[std::string(ProgramRig::kPlayerDir) + "\\studio.exe"] = "";
  rig.files.files[ProgramRig::kIni] += "[Options]\r\nWinampOnStartup=1\r\n";
  rig.Start();
  ASSERT_EQ(rig.shell.starts.size(), 1u);
  EXPECT_EQ(rig.shell.starts[0],
            (testing::FakeShell::Start{"Studio.exe", "", ProgramRig::kPlayerDir, kShowShow}));
}

TEST_F(StartupTest, WebLinksOpenTheirAddressWhateverTheHttpCommandNames) {
  rig.registry.Set(RegistryRoot::ClassesRoot, "http\\shell\\open\\command", "",
                   std::string("\"C:\\Browser\\b.exe\" -nohome"));
  rig.Start();
  rig.program->HelpAbout().SiteLinkClicked();
  ASSERT_EQ(rig.shell.starts.size(), 1u);
  EXPECT_EQ(rig.shell.starts[0], (testing::FakeShell::Start{AboutLinks{}.site, "", "", kShowShow}));
}

TEST_F(StartupTest, ARestartedTaskbarGetsTheIconAgainWhileTheProgramRuns) {
  rig.Start();
  rig.program->OnTaskbarCreated();
  EXPECT_EQ(rig.window.tray_icon_adds, 2);
  EXPECT_TRUE(rig.window.tray_icon);

  rig.program->OnUserMessage(kQuitRequest, 0);
  rig.program->OnTaskbarCreated();
  EXPECT_EQ(rig.window.tray_icon_adds, 2) << "not once the program is ending";
}

TEST_F(StartupTest, ExitStoresClearsTheLedsAndEnds) {
  rig.Start();
  rig.Tick();  // the cycle finds the LED's condition true; the LED step lights it
  rig.program->OnTimer(WindowTimer::LedTimer);
  ASSERT_TRUE(rig.ports.Port(1).rts);
  rig.files.files.erase(ProgramRig::kIni);
  rig.program->ExitClicked();
  EXPECT_TRUE(rig.files.files.count(ProgramRig::kIni)) << "settings stored";
  EXPECT_FALSE(rig.ports.Port(1).rts);
  EXPECT_FALSE(rig.window.tray_icon);
  EXPECT_TRUE(rig.window.loop_ended);
}

TEST_F(StartupTest, CloseRequestWhileHiddenEndsInOrderAndWhileVisibleOnlyHides) {
  rig.Start();
  rig.program->ShowPropertiesClicked();
  ASSERT_TRUE(rig.window.visible);
  EXPECT_FALSE(rig.program->OnCloseRequest()) << "a visible window hides instead";
  EXPECT_FALSE(rig.window.visible);

  rig.files.files.erase(ProgramRig::kIni);
  EXPECT_TRUE(rig.program->OnCloseRequest());
  EXPECT_TRUE(rig.locks.held.empty()) << "the instance lock is released first";
  EXPECT_FALSE(rig.window.TimerRunning(WindowTimer::PollTimer));
  EXPECT_FALSE(rig.window.TimerRunning(WindowTimer::LedTimer));
  EXPECT_FALSE(rig.ports.Port(1).open);
  EXPECT_FALSE(rig.ports.Port(1).rts_writes.empty());
  EXPECT_FALSE(rig.ports.Port(1).rts_writes.back());
  EXPECT_TRUE(rig.files.files.count(ProgramRig::kIni));
  EXPECT_FALSE(rig.window.tray_icon);
}

}  // namespace
}  // namespace pelorin
