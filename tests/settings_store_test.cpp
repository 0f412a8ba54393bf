#include "config/settings_store.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/fake_file_system.h"
#include "support/fake_registry.h"

namespace pelorin {
namespace {

using testing::FakeFileSystem;
using testing::FakeRegistry;

constexpr const char* kExe = "C:\\Apps\\Pelorin\\PELORIN.exe";
constexpr const char* kIni = "C:\\Apps\\Pelorin\\Pelorin.ini";

class RecordingView final : public SettingsView {
 public:
  void ShowConfigPath(const std::string& path) override { calls.push_back("path " + path); }
  void PortModeLoaded(PortRole port) override {
    calls.push_back("mode " + std::to_string(NumberOf(port)));
  }
  void SettingsLoaded() override { calls.push_back("loaded"); }
  std::vector<std::string> calls;
};

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(); }

  // Opens the store as the start-up does, on the fakes as they are now.
  void Start() {
    run_key_ = OpenRunKey(registry_);
    store_ = std::make_unique<SettingsStore>(files_, registry_, kExe);
    store_->SetBareNameFolder("C:\\windows");
    store_->SetView(&view_);
    store_->SetRunKey(run_key_.get());
    store_->SetSaveFailureHandler([this](const SaveFailure& failure) {
      failures_.push_back(failure.path + ": " + failure.reason);
    });
    store_->Open();
  }
  Settings Read() {
    Settings settings;
    settings.Options.TurboCPS = -77;  // proves that every field is replaced
    store_->ReadSettings(settings);
    return settings;
  }
  void Legacy(const char* name, std::uint32_t value) {
    registry_.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, name, value);
  }
  std::optional<FakeRegistry::Value> Autostart(RegistryRoot root) {
    return registry_.Get(root, kRunKeyPath, kAutostartValueName);
  }

  FakeFileSystem files_;
  FakeRegistry registry_;
  RecordingView view_;
  std::unique_ptr<RegistryKey> run_key_;
  std::unique_ptr<SettingsStore> store_;
  std::vector<std::string> failures_;  // "path: reason" of each failed save
};

TEST_F(SettingsStoreTest, FirstStartReadsDefaultsAndWritesThemBack) {
  EXPECT_EQ(Read(), Settings{});
  store_->WriteSettings(Settings{});
  EXPECT_EQ(Read(), Settings{});
  EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI"),
            FakeRegistry::Value(std::string(kIni)));
  EXPECT_EQ(Autostart(RegistryRoot::LocalMachine),
            FakeRegistry::Value(std::string("\"c:\\apps\\pelorin\\pelorin.exe\"")));
}

TEST(SettingsStoreBeforeOpenTest, WritesBeforeOpenLeaveFileAndRegistryAlone) {
  FakeFileSystem files;
  FakeRegistry registry;
  files.files[kIni] = "[Primary]\nPort=5\n";
  SettingsStore store(files, registry, kExe);
  store.WriteSettings(Settings{});
  store.WriteInteger("Primary", "DCD", 2);
  EXPECT_EQ(files.files[kIni], "[Primary]\nPort=5\n");
  EXPECT_TRUE(registry.keys.empty());
}

TEST_F(SettingsStoreTest, FileWrittenFromScratchHasTheFullLayout) {
  Settings settings;
  settings.Primary.Port = 3;
  settings.Slot(PortRole::Secondary, 15).Exec2 = "\"C:\\x.exe\" /a";
  store_->WriteSettings(settings);

  std::string expected =
      "[Primary]\r\nPort=3\r\nDCD=1\r\nDSR=2\r\nCTS=3\r\nRI=4\r\nMode=0\r\nLED=0\r\nLEDwhen=0\r\n"
      "\r\n[Secondary]\r\nPort=0\r\nDCD=1\r\nDSR=2\r\nCTS=3\r\nRI=4\r\nMode=0\r\nLED=0\r\n"
      "LEDwhen=0\r\n"
      "\r\n[Options]\r\nIfInactive=2\r\nOnTrayClick=2\r\nInternetType=0\r\nAutoStartup=1\r\n"
      "WinampOnStartup=0\r\nWarn=1\r\nDblClickSpeed=5\r\nTurboCPS=25\r\nUsePort2=0\r\n"
      "Version=1.4\r\n";
  const char* commands[] = {
      "2\r\nFunc1=0\r\nFunc2=0\r\nFunc3=9", "1\r\nFunc1=4\r\nFunc2=0\r\nFunc3=0",
      "1\r\nFunc1=5\r\nFunc2=0\r\nFunc3=0", "2\r\nFunc1=0\r\nFunc2=0\r\nFunc3=10"};
  for (PortRole port : kPortRoles) {
    for (int slot = 1; slot <= 15; ++slot) {
      std::string exec2 = port == PortRole::Secondary && slot == 15 ? "\"C:\\x.exe\" /a" : "\"\"";
      expected +=
          "\r\n[Port" + std::to_string(NumberOf(port)) + "Button" + std::to_string(slot) +
          "]\r\nMode=" + (slot <= 4 ? commands[slot - 1] : "0\r\nFunc1=0\r\nFunc2=0\r\nFunc3=0") +
          "\r\nInactive=0\r\nExec1=\"\"\r\nExec2=" + exec2 +
          "\r\nExec3=\"\"\r\nKey1=0\r\nKey2=0\r\nKey3=0\r\n";
    }
  }
  EXPECT_EQ(files_.files[kIni], expected);
}

TEST_F(SettingsStoreTest, EveryFieldSurvivesARoundTrip) {
  Settings settings;
  settings.Options = {InactivePolicy::DoNothing,
                      TrayClickAction::Nothing,
                      ConnectionType::DialUp,
                      false,
                      false,
                      true,
                      10,
                      100,
                      true};
  settings.Primary = {16, PortMode::Fifteen, LedMode::TurnOff, LedCondition::PlayerStopped, 0, 4, 1,
                      2};
  settings.Secondary = {
      1, PortMode::Button4Shift, LedMode::Flash, LedCondition::PlayerRunning, 4, 3, 2, 0};
  settings.Primary.Device = "/dev/serial/by-id/usb-FTDI_A-if00-port0";
  settings.Linux = {"vlc", "\"/opt/my player/run\" --x \"y\""};
  for (PortRole port : kPortRoles) {
    for (int button = 1; button <= 15; ++button) {
      ButtonSlot& slot = settings.Slot(port, button);
      slot = {static_cast<std::uint8_t>(button % 5),
              static_cast<std::uint8_t>(button + 40),
              static_cast<std::uint8_t>(port),
              255,
              4,
              "\"C:\\p" + std::to_string(button) + ".exe\"",
              "\"\"",
              "\"D:\\a b\\c.cmd\" -x \"y\"",
              static_cast<std::uint16_t>(0x741 + button),
              0,
              0x1FF};
    }
  }
  store_->WriteSettings(settings);
  EXPECT_EQ(Read(), settings);
}

// Keys only the other edition uses are written once they have a value, and
// a value cleared later is written empty rather than coming back.
TEST_F(SettingsStoreTest, EditionKeysAppearOnlyOnceUsedAndStayCleared) {
  Settings settings;
  store_->WriteSettings(settings);
  EXPECT_EQ(files_.files[kIni].find("Device"), std::string::npos);
  EXPECT_EQ(files_.files[kIni].find("[Linux]"), std::string::npos);
  settings.Secondary.Device = "/dev/ttyUSB1";
  settings.Linux.PlayerCommand = "vlc";
  store_->WriteSettings(settings);
  EXPECT_EQ(Read(), settings);
  settings.Secondary.Device.clear();
  settings.Linux.PlayerCommand.clear();
  store_->WriteSettings(settings);
  EXPECT_EQ(Read(), settings);
}

// A file given from outside is used as it is: no pointer is followed or
// recorded.
TEST_F(SettingsStoreTest, GivenFileWinsOverThePointer) {
  registry_.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI", std::string("C:\\other.ini"));
  SettingsStore store(files_, registry_, "/home/me/bin/pelorin", '/');
  store.SetGivenPath("/home/me/.config/pelorin/pelorin.ini");
  store.Open();
  store.WriteSettings(Settings{});
  EXPECT_EQ(store.ConfigPath(), "/home/me/.config/pelorin/pelorin.ini");
  EXPECT_EQ(store.BrowseStartFor().file_name, "pelorin.ini");
  EXPECT_TRUE(files_.files.contains("/home/me/.config/pelorin/pelorin.ini"));
  EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI"),
            FakeRegistry::Value(std::string("C:\\other.ini")));
}

// Every older registry name, each with a value unlike its field's default
// and unlike its neighbours', so that a misspelt or swapped name shows.
TEST_F(SettingsStoreTest, EveryLegacyNameServesItsOwnFieldWhenThereIsNoFile) {
  Settings expected;
  const std::pair<const char*, int*> kNumbers[] = {
      {"COMport", &expected.Primary.Port},
      {"COMport2", &expected.Secondary.Port},
      {"DCD", &expected.Primary.DCD},
      {"DSR", &expected.Primary.DSR},
      {"CTS", &expected.Primary.CTS},
      {"RI", &expected.Primary.RI},
      {"DCD2", &expected.Secondary.DCD},
      {"DSR2", &expected.Secondary.DSR},
      {"CTS2", &expected.Secondary.CTS},
      {"RI2", &expected.Secondary.RI},
      {"DblClickSpeed", &expected.Options.DblClickSpeed},
      {"TurboCPS", &expected.Options.TurboCPS}};
  const int kValues[] = {3, 12, 4, 3, 0, 1, 3, 4, 1, 0, 8, 60};
  for (std::size_t i = 0; i < std::size(kNumbers); ++i) {
    Legacy(kNumbers[i].first, static_cast<std::uint32_t>(kValues[i]));
    *kNumbers[i].second = kValues[i];
  }
  Legacy("IfInactive", 3);
  expected.Options.IfInactive = InactivePolicy::DoNothing;
  Legacy("OnTrayClick", 5);
  expected.Options.OnTrayClick = TrayClickAction::Nothing;
  Legacy("InternetType", 1);
  expected.Options.InternetType = ConnectionType::DialUp;
  Legacy("WinampOnStartup", 1);
  expected.Options.WinampOnStartup = true;
  Legacy("UsePort2", 1);
  expected.Options.UsePort2 = true;
  // Button1..4 are slots 1..4 of the primary port, Button5..8 of the secondary.
  for (int number = 1; number <= 8; ++number) {
    const std::string name = "Button" + std::to_string(number);
    Legacy((name + "Mode").c_str(), static_cast<std::uint32_t>(100 + number));
    Legacy((name + "Func1").c_str(), static_cast<std::uint32_t>(120 + number));
    Legacy((name + "Func2").c_str(), static_cast<std::uint32_t>(140 + number));
    ButtonSlot& slot =
        expected.Slot(number <= 4 ? PortRole::Primary : PortRole::Secondary, (number - 1) % 4 + 1);
    slot.Mode = static_cast<std::uint8_t>(100 + number);
    slot.Func1 = static_cast<std::uint8_t>(120 + number);
    slot.Func2 = static_cast<std::uint8_t>(140 + number);
    slot.Func3 = slot.Func1;  // there never was a name of its own for the third command
  }
  // Names without an older value behind them, which the store must not read.
  Legacy("Warn", 0);
  Legacy("AutoStartup", 0);
  for (const char* unread : {"Mode", "Mode2", "LED", "LEDwhen", "Button1Func3", "Button1Inactive",
                             "Button1Key1", "Button9Mode", "Button5Func3"}) {
    Legacy(unread, 3);
  }
  EXPECT_EQ(Read(), expected);

  store_->WriteSettings(expected);
  registry_.keys.clear();
  Start();
  EXPECT_EQ(Read(), expected) << "the first save moves every value into the file";
}

TEST_F(SettingsStoreTest, LegacyValuesStayAndTheFileWins) {
  Legacy("COMport", 3);
  Legacy("COMport2", 5);
  files_.files[kIni] = "[Primary]\nPort=2\n";
  Settings settings = Read();
  EXPECT_EQ(settings.Primary.Port, 2);
  EXPECT_EQ(settings.Secondary.Port, 5);
  store_->WriteSettings(settings);
  EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "COMport"),
            FakeRegistry::Value(std::uint32_t{3}));
}

// Each older value asked for is a request to the registry: a key that holds
// nothing but the file's location is asked for none, and an older value
// found alone (or beside the location) still counts.
TEST_F(SettingsStoreTest, OlderValuesAreAskedForOnlyWhenTheKeyHoldsSome) {
  registry_.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, kConfigPointerName, std::string(kIni));
  Start();
  registry_.dword_reads = 0;
  EXPECT_EQ(Read().Primary.Port, 0);
  EXPECT_EQ(registry_.dword_reads, 0);

  Legacy("COMport2", 5);
  EXPECT_EQ(Read().Secondary.Port, 5) << "beside the location";
  registry_.keys.clear();
  Legacy("COMport2", 6);
  Start();
  EXPECT_EQ(Read().Secondary.Port, 6) << "alone";
}

TEST_F(SettingsStoreTest, LegacyValueOfAnotherTypeIsMissing) {
  registry_.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, "COMport", std::string("3"));
  Legacy("DCD2", 4);
  Settings settings = Read();
  EXPECT_EQ(settings.Primary.Port, 0);
  EXPECT_EQ(settings.Secondary.DCD, 4);
  EXPECT_EQ(settings.Primary.DCD, 1);
}

struct StoredCase {
  const char* section;
  const char* key;
  const char* stored;
  int (*field)(const Settings&);
  int loaded;
  const char* written;  // nullptr: written as stored
};

class StoredNumberTest : public SettingsStoreTest,
                         public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredNumberTest, LoadsAndWritesBackEncoded) {
  const StoredCase& c = GetParam();
  files_.files[kIni] = std::string("[") + c.section + "]\n" + c.key + "=" + c.stored + "\n";
  Settings settings = Read();
  EXPECT_EQ(c.field(settings), c.loaded);
  store_->WriteSettings(settings);
  EXPECT_EQ(ProfileDocument::Parse(files_.files[kIni]).Get(c.section, c.key),
            c.written ? c.written : c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, StoredNumberTest,
    ::testing::Values(
        StoredCase{"Options", "DblClickSpeed", "0x7",
                   [](const Settings& s) { return s.Options.DblClickSpeed; }, 7, "7"},
        StoredCase{"Options", "DblClickSpeed", "word",
                   [](const Settings& s) { return s.Options.DblClickSpeed; }, 5, "5"},
        StoredCase{"Options", "DblClickSpeed", "0",
                   [](const Settings& s) { return s.Options.DblClickSpeed; }, 1, "1"},
        StoredCase{"Options", "DblClickSpeed", "11",
                   [](const Settings& s) { return s.Options.DblClickSpeed; }, 10, "10"},
        StoredCase{"Options", "TurboCPS", "-3",
                   [](const Settings& s) { return s.Options.TurboCPS; }, 1, "1"},
        StoredCase{"Options", "TurboCPS", "$65",
                   [](const Settings& s) { return s.Options.TurboCPS; }, 100, "100"},
        StoredCase{"Options", "IfInactive", "5",
                   [](const Settings& s) { return SelectionOf(s.Options.IfInactive); }, -1, "-1"},
        StoredCase{"Options", "IfInactive", "4",
                   [](const Settings& s) { return SelectionOf(s.Options.IfInactive); }, 4, nullptr},
        StoredCase{"Port1Button1", "Inactive", "5",
                   [](const Settings& s) { return int{s.Slot(PortRole::Primary, 1).Inactive}; }, 5,
                   nullptr},
        StoredCase{"Options", "OnTrayClick", "-1",
                   [](const Settings& s) { return SelectionOf(s.Options.OnTrayClick); }, -1,
                   nullptr},
        StoredCase{"Options", "InternetType", "2",
                   [](const Settings& s) { return SelectionOf(s.Options.InternetType); }, 2,
                   nullptr},
        StoredCase{"Options", "UsePort2", "5",
                   [](const Settings& s) { return int{s.Options.UsePort2}; }, 1, "1"},
        StoredCase{"Options", "Warn", "yes", [](const Settings& s) { return int{s.Options.Warn}; },
                   1, "1"},
        StoredCase{"Options", "WinampOnStartup", "'1'",
                   [](const Settings& s) { return int{s.Options.WinampOnStartup}; }, 1, "1"},
        StoredCase{"Primary", "Port", "256", [](const Settings& s) { return s.Primary.Port; }, 0,
                   "0"},
        StoredCase{"Secondary", "Port", "255", [](const Settings& s) { return s.Secondary.Port; },
                   255, nullptr},
        StoredCase{"Secondary", "Port", "-1", [](const Settings& s) { return s.Secondary.Port; }, 0,
                   "0"},
        StoredCase{"Primary", "Port", "16", [](const Settings& s) { return s.Primary.Port; }, 16,
                   nullptr},
        StoredCase{"Primary", "DCD", "5", [](const Settings& s) { return s.Primary.DCD; }, -1,
                   "-1"},
        StoredCase{"Secondary", "RI", "0", [](const Settings& s) { return s.Secondary.RI; }, 0,
                   nullptr},
        StoredCase{"Primary", "Mode", "4",
                   [](const Settings& s) { return SelectionOf(s.Primary.Mode); }, -1, "-1"},
        StoredCase{"Secondary", "LED", "6",
                   [](const Settings& s) { return SelectionOf(s.Secondary.LED); }, -1, "-1"},
        StoredCase{"Primary", "LEDwhen", "5",
                   [](const Settings& s) { return SelectionOf(s.Primary.LEDwhen); }, 5, nullptr},
        StoredCase{"Port1Button1", "Func1", "300",
                   [](const Settings& s) { return int{s.Slot(PortRole::Primary, 1).Func1}; }, 44,
                   "44"},
        StoredCase{"Port2Button15", "Mode", "-1",
                   [](const Settings& s) { return int{s.Slot(PortRole::Secondary, 15).Mode}; }, 255,
                   "255"},
        StoredCase{"Port1Button9", "Inactive", "256",
                   [](const Settings& s) { return int{s.Slot(PortRole::Primary, 9).Inactive}; }, 0,
                   "0"},
        StoredCase{"Port2Button3", "Key2", "0x10741",
                   [](const Settings& s) { return int{s.Slot(PortRole::Secondary, 3).Key2}; },
                   0x741, "1857"}));

struct ExecCase {
  const char* stored;
  const char* held;
};

class ExecQuoteTest : public SettingsStoreTest, public ::testing::WithParamInterface<ExecCase> {};

TEST_P(ExecQuoteTest, LoadsInQuotedFormAndKeepsIt) {
  files_.files[kIni] = std::string("[Port1Button2]\nExec1=") + GetParam().stored + "\n";
  Settings settings = Read();
  EXPECT_EQ(settings.Slot(PortRole::Primary, 2).Exec1, GetParam().held);
  store_->WriteSettings(settings);
  EXPECT_EQ(Read().Slot(PortRole::Primary, 2).Exec1, GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExecQuoteTest,
    ::testing::Values(ExecCase{"C:\\Tools\\app.exe", "\"C:\\Tools\\app.exe\""},
                      ExecCase{"\"C:\\Tools\\app.exe\"", "\"C:\\Tools\\app.exe\""},
                      ExecCase{"\"C:\\a b\\app.exe\" -x", "\"C:\\a b\\app.exe\" -x"},
                      ExecCase{"", "\"\""}, ExecCase{"\"\"", "\"\""},
                      ExecCase{"'C:\\x.exe'", "\"C:\\x.exe\""},
                      ExecCase{"\"\"C:\\a.exe\" \"f.txt\"\"", "\"C:\\a.exe\" \"f.txt\""}));

TEST_F(SettingsStoreTest, ExecWithQuotedArgumentSurvivesSaving) {
  Settings settings;
  settings.Slot(PortRole::Primary, 1).Exec3 = "\"C:\\a.exe\" \"f.txt\"";
  store_->WriteSettings(settings);
  EXPECT_EQ(Read().Slot(PortRole::Primary, 1).Exec3, "\"C:\\a.exe\" \"f.txt\"");
}

TEST_F(SettingsStoreTest, AutostartEntryTurnsTheOptionOn) {
  files_.files[kIni] = "[Options]\nAutoStartup=0\n";
  EXPECT_FALSE(Read().Options.AutoStartup);
  registry_.Set(RegistryRoot::LocalMachine, kRunKeyPath, "pelorin", std::uint32_t{1});
  EXPECT_FALSE(Read().Options.AutoStartup) << "only a string entry counts";
  registry_.Set(RegistryRoot::LocalMachine, kRunKeyPath, "Pelorin", std::string("x"));
  EXPECT_TRUE(Read().Options.AutoStartup);
  // An older version's unquoted entry counts too, and the next save quotes it.
  registry_.Set(RegistryRoot::LocalMachine, kRunKeyPath, "Pelorin", std::string("c:\\x.exe"));
  store_->WriteSettings(Read());
  EXPECT_EQ(Autostart(RegistryRoot::LocalMachine),
            FakeRegistry::Value(std::string("\"c:\\apps\\pelorin\\pelorin.exe\"")));
}

TEST_F(SettingsStoreTest, AutostartOffDeletesTheEntryEvenWhenAbsent) {
  Settings settings;
  settings.Options.AutoStartup = false;
  store_->WriteSettings(settings);
  EXPECT_EQ(Autostart(RegistryRoot::LocalMachine), std::nullopt);
  settings.Options.AutoStartup = true;
  store_->WriteSettings(settings);
  settings.Options.AutoStartup = false;
  store_->WriteSettings(settings);
  EXPECT_EQ(Autostart(RegistryRoot::LocalMachine), std::nullopt);
  EXPECT_NE(files_.files[kIni].find("AutoStartup=0"), std::string::npos);
}

TEST_F(SettingsStoreTest, AutostartFallsBackToTheUsersRunKey) {
  registry_.refuse_full_access.insert(
      {RegistryRoot::LocalMachine, "software\\microsoft\\windows\\currentversion\\run"});
  Start();
  store_->WriteSettings(Settings{});
  EXPECT_EQ(Autostart(RegistryRoot::LocalMachine), std::nullopt);
  EXPECT_EQ(Autostart(RegistryRoot::CurrentUser),
            FakeRegistry::Value(std::string("\"c:\\apps\\pelorin\\pelorin.exe\"")));
}

TEST_F(SettingsStoreTest, ConfigPointerChoosesTheFile) {
  EXPECT_EQ(store_->ConfigPath(), kIni);
  EXPECT_TRUE(registry_.HasKey(RegistryRoot::CurrentUser, kSettingsKeyPath));
  registry_.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI", std::string("D:\\cfg\\my.ini"));
  files_.files["D:\\cfg\\my.ini"] = "[Primary]\nPort=9\n";
  Start();
  EXPECT_EQ(store_->ConfigPath(), "D:\\cfg\\my.ini");
  EXPECT_EQ(Read().Primary.Port, 9);
  registry_.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI", std::uint32_t{5});
  Start();
  EXPECT_EQ(store_->ConfigPath(), kIni);
}

// Only a bare name is the profile functions' own: it lives in the Windows
// folder whatever the current folder is; the pointer keeps it as written.
TEST_F(SettingsStoreTest, ABareConfigNameIsTheFileInTheWindowsFolder) {
  const std::pair<const char*, const char*> kNames[] = {{"pel.ini", "C:\\windows\\pel.ini"},
                                                        {"sub\\pel.ini", "sub\\pel.ini"},
                                                        {"C:pel.ini", "C:pel.ini"}};
  for (const auto& [pointer, file] : kNames) {
    registry_.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI", std::string(pointer));
    files_.files = {{file, "[Primary]\nPort=9\n"}};
    Start();
    EXPECT_EQ(store_->ConfigPath(), pointer);
    EXPECT_EQ(Read().Primary.Port, 9) << pointer;
    Settings settings;
    settings.Primary.Port = 4;
    store_->WriteSettings(settings);
    EXPECT_EQ(files_.files.size(), 1u) << pointer;
    EXPECT_NE(files_.files[file].find("Port=4"), std::string::npos) << pointer;
    EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI"),
              FakeRegistry::Value(std::string(pointer)));
  }
}

TEST_F(SettingsStoreTest, ViewLearnsThePathTheModesAndTheEndOfALoad) {
  Read();
  EXPECT_EQ(view_.calls,
            (std::vector<std::string>{"path " + std::string(kIni), "mode 1", "mode 2", "loaded"}));
}

TEST_F(SettingsStoreTest, ChoosingAnExistingFileLoadsIt) {
  files_.files["D:\\other.ini"] = "[Primary]\nPort=4\n";
  Settings settings;
  store_->UseConfigFile("D:\\other.ini", settings);
  EXPECT_EQ(settings.Primary.Port, 4);
  EXPECT_EQ(store_->ConfigPath(), "D:\\other.ini");
  EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI"), std::nullopt)
      << "the pointer follows at the next save";
  store_->WriteSettings(settings);
  EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI"),
            FakeRegistry::Value(std::string("D:\\other.ini")));
}

TEST_F(SettingsStoreTest, ChoosingANewFileCreatesItFromTheCurrentSettings) {
  Settings settings;
  settings.Primary.Port = 7;
  store_->UseConfigFile("D:\\new.ini", settings);
  EXPECT_NE(files_.files["D:\\new.ini"].find("Port=7"), std::string::npos);
  EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI"),
            FakeRegistry::Value(std::string("D:\\new.ini")));
  EXPECT_EQ(view_.calls.back(), "path D:\\new.ini");
}

TEST_F(SettingsStoreTest, BrowseStartsAtTheCurrentFile) {
  EXPECT_EQ(store_->BrowseStartFor().directory, "C:\\Apps\\Pelorin");
  EXPECT_EQ(store_->BrowseStartFor().file_name, "Pelorin.ini");
  Settings settings;
  store_->UseConfigFile("bare.ini", settings);
  EXPECT_EQ(store_->BrowseStartFor().directory, "C:\\Apps\\Pelorin");
  store_->UseConfigFile("E:\\x\\y\\z.ini", settings);
  EXPECT_EQ(store_->BrowseStartFor().directory, "E:\\x\\y");
  EXPECT_EQ(store_->BrowseStartFor().file_name, "z.ini");
}

TEST_F(SettingsStoreTest, SavingKeepsWhatTheStoreDoesNotKnow) {
  files_.files[kIni] = "; my notes\n[Options]\nWarn=0\nColour=blue\n[Extra]\nA=1\n";
  Settings settings = Read();
  EXPECT_FALSE(settings.Options.Warn);
  store_->WriteSettings(settings);
  ProfileDocument saved = ProfileDocument::Parse(files_.files[kIni]);
  EXPECT_EQ(files_.files[kIni].rfind("; my notes\n", 0), 0u);
  EXPECT_EQ(saved.Get("Options", "Colour"), "blue");
  EXPECT_EQ(saved.Get("Extra", "A"), "1");
  EXPECT_EQ(saved.Get("Options", "Warn"), "0");
}

TEST_F(SettingsStoreTest, SingleIntegerWriteChangesOnlyItsKey) {
  files_.files[kIni] = "[Primary]\nPort=3\nDCD=1\n";
  store_->WriteInteger("Primary", "DCD", 4);
  EXPECT_EQ(files_.files[kIni], "[Primary]\nPort=3\nDCD=4\n");
}

struct FaultCase {
  const char* name;
  void (*inject)(FakeFileSystem&);
};

class StoreFaultTest : public SettingsStoreTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(StoreFaultTest, PreviousFileSurvivesAFailedSave) {
  const std::string previous = "[Primary]\nPort=5\n[Mine]\nKeep=me\n";
  files_.files[kIni] = previous;
  GetParam().inject(files_);
  Settings settings = Read();
  settings.Primary.Port = 6;
  store_->WriteSettings(settings);
  store_->WriteInteger("Primary", "DCD", 2);
  EXPECT_EQ(files_.files[kIni], previous);
  EXPECT_EQ(registry_.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, "INI"),
            FakeRegistry::Value(std::string(kIni)))
      << "the other writes still happen";  // Each failed save is told, with the file and why.
  ASSERT_EQ(failures_.size(), 2u);
  EXPECT_EQ(failures_[0], failures_[1]);
  EXPECT_EQ(failures_[0].rfind(std::string(kIni) + ": ", 0), 0u) << failures_[0];
  EXPECT_GT(failures_[0].size(), std::string(kIni).size() + 2) << "a reason";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StoreFaultTest,
    ::testing::Values(
        FaultCase{"ReadOnlyFile", [](FakeFileSystem& f) { f.read_only.insert(kIni); }},
        FaultCase{"DiskFull", [](FakeFileSystem& f) { f.disk_full = true; }},
        FaultCase{"LockedFile", [](FakeFileSystem& f) { f.unreadable.insert(kIni); }}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, MissingFolderLeavesNothingBehind) {
  files_.missing_folders.insert("C:\\Apps\\Pelorin");
  store_->WriteSettings(Settings{});
  EXPECT_TRUE(files_.files.empty());
  EXPECT_EQ(files_.failed_replacements, 1);
}

TEST_F(SettingsStoreTest, JunkAndOverlongLinesReadAsDefaultsAndSurvive) {
  std::string junk = "\x01\xFF[[=]\n" + std::string(100000, '=') + "\n[Options\nWarn\n";
  junk += "[Options]\nVeryLong=" + std::string(9000, 'x') + "\nTurboCPS=" + std::string(3000, '9') +
          "\n";
  files_.files[kIni] = junk;
  Settings settings = Read();
  EXPECT_EQ(settings, Settings{});
  store_->WriteSettings(settings);
  ProfileDocument saved = ProfileDocument::Parse(files_.files[kIni]);
  EXPECT_EQ(files_.files[kIni].rfind(junk.substr(0, 50), 0), 0u);
  EXPECT_NE(files_.files[kIni].find("VeryLong=" + std::string(9000, 'x') + "\n"),
            std::string::npos);
  EXPECT_EQ(saved.Get("Options", "TurboCPS"), "25");
}

}  // namespace
}  // namespace pelorin
