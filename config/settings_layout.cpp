// The stored layout of Settings: which section and key holds each field, the
// older registry names that serve as defaults, the order of reading and
// writing, and the encoding of every stored number.
#include <string>

#include "config/lists.h"
#include "config/settings_store.h"

namespace pelorin {
namespace {

constexpr const char* kPrimary = "Primary";
constexpr const char* kSecondary = "Secondary";
constexpr const char* kOptions = "Options";
constexpr const char* kLinux = "Linux";
constexpr int kLegacySlots = 4;  // only slots 1..4 had values of their own before

const char* PortSection(PortRole port) {
  return port == PortRole::Primary ? kPrimary : kSecondary;
}

// "Port1Button1" .. "Port2Button15", for slot index 0..14.
std::string ButtonSection(PortRole port, int slot_index) {
  return "Port" + std::to_string(NumberOf(port)) + "Button" + std::to_string(slot_index + 1);
}

// The older name of a port value: "COMport" / "COMport2", "DCD" / "DCD2".
std::string LegacyPortName(const char* name, PortRole port) {
  return port == PortRole::Primary ? std::string(name) : std::string(name) + "2";
}

// The older name of a slot value: "Button1Mode" .. "Button8Func2", slots
// 1..4 of the primary port as 1..4 and of the secondary port as 5..8.
std::string LegacySlotName(PortRole port, int slot_index, const char* field) {
  if (slot_index >= kLegacySlots) return {};
  return "Button" +
         std::to_string(static_cast<int>(IndexOf(port)) * kLegacySlots + slot_index + 1) + field;
}

// A list field outside its list holds no selection.
int ListIndex(int stored, std::size_t list_size) {
  return lists::InList(stored, list_size) ? stored : kNoSelection;
}

// A stored list choice; outside its list it is None.
template <typename Choice>
Choice ListChoice(int stored, std::size_t list_size) {
  return ChoiceAt<Choice>(ListIndex(stored, list_size));
}

// `Port` is the COM port's number; outside 1..255 it is 0, no port. An older
// version offered only COM1..COM16 and shows a higher number as no choice.
int PortNumber(int stored) {
  return stored >= 1 && stored <= kMaxPortNumber ? stored : 0;
}

int Clamp(int value, int low, int high) {
  return value < low ? low : value > high ? high : value;
}

// Reads values with the fallbacks of the store: the file first, then the
// older registry value of the key, then the default.
class Reader {
 public:
  using SectionRef = ProfileDocument::SectionRef;

  // `older_values` is the registry key of an older version's values, or
  // none when there are none to fall back on.
  Reader(const ProfileDocument& document, RegistryKey* older_values)
      : document_(document), older_values_(older_values) {}

  // A section looked up once for several of its keys.
  SectionRef Section(std::string_view section) const { return document_.FindSectionRef(section); }
  // Same-typed on purpose: key and fallback, in the order of every profile API.
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
  std::string IniReadString(SectionRef section, std::string_view key,
                            std::string_view fallback) const {
    std::optional<std::string> text = document_.Get(section, key);
    return text ? std::move(*text) : std::string(fallback);
  }
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
  std::string IniReadString(std::string_view section, std::string_view key,
                            std::string_view fallback) const {
    return IniReadString(Section(section), key, fallback);
  }
  int IniReadInteger(SectionRef section, std::string_view key, int fallback) const {
    std::optional<std::string> text = document_.Get(section, key);
    if (!text) return fallback;
    return ParseProfileInteger(*text).value_or(fallback);
  }
  int IniReadInteger(std::string_view section, std::string_view key, int fallback) const {
    return IniReadInteger(Section(section), key, fallback);
  }
  bool HasOlderValues() const { return older_values_ != nullptr; }
  // An older value that is not a 32-bit integer counts as missing.
  int RegReadInteger(const std::string& legacy_name, int fallback) const {
    if (older_values_ == nullptr) return fallback;
    std::optional<std::uint32_t> value = older_values_->ReadDword(legacy_name);
    return value ? static_cast<int>(*value) : fallback;
  }
  // Same-typed on purpose: names and section, in the order of the store's fallbacks.
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
  int ReadInteger(const std::string& legacy_name, std::string_view section, int fallback,
                  std::string_view key) const {
    return ReadInteger(legacy_name, Section(section), fallback, key);
  }
  // Without the section, the file holds no value and only the older one counts.
  int ReadInteger(const std::string& legacy_name, SectionRef section, int fallback,
                  std::string_view key) const {
    if (!legacy_name.empty()) fallback = RegReadInteger(legacy_name, fallback);
    return IniReadInteger(section, key, fallback);
  }
  bool ReadBoolean(const std::string& legacy_name, std::string_view section, bool fallback,
                   std::string_view key) const {
    return ReadInteger(legacy_name, section, fallback ? 1 : 0, key) != 0;
  }

 private:
  const ProfileDocument& document_;
  RegistryKey* older_values_;
};

class Writer {
 public:
  explicit Writer(ProfileDocument& document) : document_(document) {}
  void WriteInteger(const std::string& section, const std::string& key, int value) {
    document_.Set(section, key, std::to_string(value));
  }
  void WriteBoolean(const std::string& section, const std::string& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
  }
  void WriteString(const std::string& section, const std::string& key, const std::string& text) {
    document_.Set(section, key, text);
  }
  // Keys of one edition only: an empty text is written only over a value
  // the file holds already, so a file without the key stays exactly as it
  // was while a cleared value does not come back at the next start.
  void WriteStringIfUsed(const std::string& section, const std::string& key,
                         const std::string& text) {
    if (text.empty() && !document_.Get(section, key).has_value()) return;
    // A reader removes one pair of enclosing quotes, which a command line
    // such as "/opt/my player/run" "--x" must keep.
    const bool enclosed = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                          text.back() == text.front();
    WriteString(section, key, enclosed ? "\"" + text + "\"" : text);
  }

 private:
  ProfileDocument& document_;
};

// A reader removes one pair of enclosing quotes. An Exec text such as
// "C:\a.exe" "file" would lose its outer quotes for good, so such a text is
// stored inside one more pair; texts that come back whole are stored as they are.
std::string ExecForFile(const std::string& exec) {
  bool enclosed = exec.size() >= 2 && (exec.front() == '"' || exec.front() == '\'') &&
                  exec.back() == exec.front();
  if (!enclosed || exec.find('"') == std::string::npos) return exec;
  std::string inner = exec.substr(1, exec.size() - 2);
  return QuoteExecText(inner) == exec ? exec : "\"" + exec + "\"";
}

void ReadPortNumbers(const Reader& in, Settings& settings) {
  for (PortRole port : kPortRoles) {
    PortGroup& group = settings.PortSettings(port);
    group.Port =
        PortNumber(in.ReadInteger(LegacyPortName("COMport", port), PortSection(port), 0, "Port"));
    group.Device = in.IniReadString(PortSection(port), "Device", "");
  }
}

void ReadLinuxOptions(const Reader& in, LinuxGroup& linux_options) {
  linux_options.Player = in.IniReadString(kLinux, "Player", "");
  linux_options.PlayerCommand = in.IniReadString(kLinux, "PlayerCommand", "");
}

void ReadLineAssignmentsFrom(const Reader& in, Settings& settings) {
  const PortGroup defaults;
  for (PortRole port : kPortRoles) {
    PortGroup& group = settings.PortSettings(port);
    const std::string section = PortSection(port);
    auto line = [&](const char* name, int fallback) {
      int stored = in.ReadInteger(LegacyPortName(name, port), section, fallback, name);
      return ListIndex(stored, lists::kLineAssignmentPrimary.size());
    };
    group.DCD = line("DCD", defaults.DCD);
    group.DSR = line("DSR", defaults.DSR);
    group.CTS = line("CTS", defaults.CTS);
    group.RI = line("RI", defaults.RI);
  }
}

void ReadOptions(const Reader& in, RegistryKey* run_key, OptionsGroup& options) {
  const OptionsGroup defaults;
  options.IfInactive = ListChoice<InactivePolicy>(
      in.ReadInteger("IfInactive", kOptions, SelectionOf(defaults.IfInactive), "IfInactive"),
      lists::kIfInactive.size());
  options.OnTrayClick = ListChoice<TrayClickAction>(
      in.ReadInteger("OnTrayClick", kOptions, SelectionOf(defaults.OnTrayClick), "OnTrayClick"),
      lists::kOnTrayClick.size());
  options.InternetType = ListChoice<ConnectionType>(
      in.ReadInteger("InternetType", kOptions, SelectionOf(defaults.InternetType), "InternetType"),
      lists::kInternetType.size());
  // An autostart entry turns the option on whatever the file says.
  bool entry_exists = run_key != nullptr && run_key->ReadString(kAutostartValueName).has_value();
  bool stored = in.ReadBoolean("", kOptions, defaults.AutoStartup, "AutoStartup");
  options.AutoStartup = entry_exists || stored;
  options.Warn = in.ReadBoolean("", kOptions, defaults.Warn, "Warn");
  options.WinampOnStartup =
      in.ReadBoolean("WinampOnStartup", kOptions, defaults.WinampOnStartup, "WinampOnStartup");
  options.DblClickSpeed = Clamp(
      in.ReadInteger("DblClickSpeed", kOptions, defaults.DblClickSpeed, "DblClickSpeed"), 1, 10);
  options.TurboCPS =
      Clamp(in.ReadInteger("TurboCPS", kOptions, defaults.TurboCPS, "TurboCPS"), 1, 100);
  options.UsePort2 = in.ReadBoolean("UsePort2", kOptions, defaults.UsePort2, "UsePort2");
  options.Reconnect = in.ReadBoolean("", kOptions, defaults.Reconnect, "Reconnect");
}

// Mode and commands of slot indices [first, last) of both ports; a slot
// field keeps the low 8 bits of the stored number.
void ReadSlotCommands(const Reader& in, Settings& settings, int first, int last) {
  const auto defaults = Settings::DefaultButtons();
  for (PortRole port : kPortRoles) {
    for (int index = first; index < last; ++index) {
      const ButtonSlot& fallback = defaults[IndexOf(port)][index];
      ButtonSlot& slot = settings.SlotsOf(port)[index];
      const Reader::SectionRef section = in.Section(ButtonSection(port, index));
      auto byte = [&](const char* legacy, int value, const char* key) {
        const std::string legacy_name =
            in.HasOlderValues() ? LegacySlotName(port, index, legacy) : std::string();
        return static_cast<std::uint8_t>(in.ReadInteger(legacy_name, section, value, key));
      };
      slot.Mode = byte("Mode", fallback.Mode, "Mode");
      slot.Func1 = byte("Func1", fallback.Func1, "Func1");
      slot.Func2 = byte("Func2", fallback.Func2, "Func2");
      // There never was an older name for the third command: it falls back
      // on the first command's.
      slot.Func3 = byte("Func1", fallback.Func3, "Func3");
    }
  }
}

void ReadSlotExtras(const Reader& in, Settings& settings) {
  for (PortRole port : kPortRoles) {
    for (int index = 0; index < kButtonsPerPort; ++index) {
      ButtonSlot& slot = settings.SlotsOf(port)[index];
      const Reader::SectionRef section = in.Section(ButtonSection(port, index));
      auto number = [&](const char* key) { return in.IniReadInteger(section, key, 0); };
      auto command = [&](const char* key) {
        return QuoteExecText(in.IniReadString(section, key, ""));
      };
      slot.Inactive = static_cast<std::uint8_t>(number("Inactive"));
      slot.Exec1 = command("Exec1");
      slot.Exec2 = command("Exec2");
      slot.Exec3 = command("Exec3");
      slot.Key1 = static_cast<std::uint16_t>(number("Key1"));
      slot.Key2 = static_cast<std::uint16_t>(number("Key2"));
      slot.Key3 = static_cast<std::uint16_t>(number("Key3"));
    }
  }
}

void WriteSlot(Writer& out, PortRole port, int index, const ButtonSlot& slot) {
  const std::string section = ButtonSection(port, index);
  out.WriteInteger(section, "Mode", slot.Mode);
  out.WriteInteger(section, "Func1", slot.Func1);
  out.WriteInteger(section, "Func2", slot.Func2);
  out.WriteInteger(section, "Func3", slot.Func3);
  out.WriteInteger(section, "Inactive", slot.Inactive);
  out.WriteString(section, "Exec1", ExecForFile(slot.Exec1));
  out.WriteString(section, "Exec2", ExecForFile(slot.Exec2));
  out.WriteString(section, "Exec3", ExecForFile(slot.Exec3));
  out.WriteInteger(section, "Key1", slot.Key1);
  out.WriteInteger(section, "Key2", slot.Key2);
  out.WriteInteger(section, "Key3", slot.Key3);
}

}  // namespace

ProfileDocument SettingsStore::LoadForReading() const {
  // A file that cannot be read reads as empty: every key takes its fallback.
  FileContents contents = files_.ReadProfileFile(FilePath());
  return contents.status == ReadStatus::Ok ? ProfileDocument::Parse(contents.bytes)
                                           : ProfileDocument{};
}

RegistryKey* SettingsStore::OlderValuesKey() const {
  if (!settings_key_) return nullptr;
  // A key that holds no value but the file's location holds no older
  // values: one question about the key then spares some fifty reads of
  // values that are not there, each a request to the registry.
  const std::optional<std::size_t> values = settings_key_->ValueCount();
  if (!values || *values > 1) return settings_key_.get();
  if (*values == 0 || settings_key_->ReadString(kConfigPointerName)) return nullptr;
  return settings_key_.get();
}

void SettingsStore::ReadLineAssignments(Settings& settings) {
  const ProfileDocument document = LoadForReading();
  ReadLineAssignmentsFrom(Reader(document, OlderValuesKey()), settings);
}

LineMap SettingsStore::ReadLineMap(PortRole port) {
  Settings stored;
  ReadLineAssignments(stored);
  return LineMapOf(stored.PortSettings(port));
}

void SettingsStore::WriteLineMap(PortRole port, const LineMap& map) {
  const char* section = PortSection(port);
  WriteInteger(section, "DCD", map[0]);
  WriteInteger(section, "DSR", map[1]);
  WriteInteger(section, "CTS", map[2]);
  WriteInteger(section, "RI", map[3]);
}

void SettingsStore::ReadSettings(Settings& settings) {
  const ProfileDocument document = LoadForReading();
  const Reader in(document, OlderValuesKey());

  ReadPortNumbers(in, settings);
  ReadLineAssignmentsFrom(in, settings);
  ReadOptions(in, run_key_, settings.Options);
  ReadLinuxOptions(in, settings.Linux);
  ReadSlotCommands(in, settings, 0, kLegacySlots);
  ReadSlotCommands(in, settings, kLegacySlots, kButtonsPerPort);
  ReadSlotExtras(in, settings);
  for (PortRole port : kPortRoles) {
    settings.PortSettings(port).Mode = ListChoice<PortMode>(
        in.IniReadInteger(PortSection(port), "Mode", 0), lists::kPortMode.size());
    if (view_ != nullptr) view_->PortModeLoaded(port);
  }
  for (PortRole port : kPortRoles) {
    PortGroup& group = settings.PortSettings(port);
    group.LED =
        ListChoice<LedMode>(in.IniReadInteger(PortSection(port), "LED", 0), lists::kLedMode.size());
    group.LEDwhen = ListChoice<LedCondition>(in.IniReadInteger(PortSection(port), "LEDwhen", 0),
                                             lists::kLedCondition.size());
  }
  if (view_ != nullptr) view_->SettingsLoaded();
}

void SettingsStore::WriteSettings(const Settings& settings) {
  if (!opened_) return;
  std::optional<ProfileDocument> document = LoadForChange();
  ProfileDocument scratch;
  Writer out(document ? *document : scratch);

  for (PortRole port : kPortRoles) {
    // No selection (-1) is stored as 0, no port.
    out.WriteInteger(PortSection(port), "Port", PortNumber(settings.PortSettings(port).Port));
    out.WriteStringIfUsed(PortSection(port), "Device", settings.PortSettings(port).Device);
  }
  for (PortRole port : kPortRoles) {
    const PortGroup& group = settings.PortSettings(port);
    out.WriteInteger(PortSection(port), "DCD", group.DCD);
    out.WriteInteger(PortSection(port), "DSR", group.DSR);
    out.WriteInteger(PortSection(port), "CTS", group.CTS);
    out.WriteInteger(PortSection(port), "RI", group.RI);
  }
  const OptionsGroup& options = settings.Options;
  out.WriteInteger(kOptions, "IfInactive", SelectionOf(options.IfInactive));
  out.WriteInteger(kOptions, "OnTrayClick", SelectionOf(options.OnTrayClick));
  out.WriteInteger(kOptions, "InternetType", SelectionOf(options.InternetType));
  WriteAutostartEntry(options.AutoStartup);
  out.WriteBoolean(kOptions, "AutoStartup", options.AutoStartup);
  out.WriteBoolean(kOptions, "WinampOnStartup", options.WinampOnStartup);
  out.WriteBoolean(kOptions, "Warn", options.Warn);
  out.WriteInteger(kOptions, "DblClickSpeed", options.DblClickSpeed);
  out.WriteInteger(kOptions, "TurboCPS", options.TurboCPS);
  out.WriteBoolean(kOptions, "UsePort2", options.UsePort2);
  out.WriteInteger(kPrimary, "Mode", SelectionOf(settings.Primary.Mode));
  for (PortRole port : kPortRoles) {
    for (int index = 0; index < kButtonsPerPort; ++index) {
      WriteSlot(out, port, index, settings.SlotsOf(port)[index]);
    }
  }
  out.WriteInteger(kSecondary, "Mode", SelectionOf(settings.Secondary.Mode));
  for (PortRole port : kPortRoles) {
    out.WriteInteger(PortSection(port), "LED", SelectionOf(settings.PortSettings(port).LED));
    out.WriteInteger(PortSection(port), "LEDwhen",
                     SelectionOf(settings.PortSettings(port).LEDwhen));
  }
  out.WriteStringIfUsed(kLinux, "Player", settings.Linux.Player);
  out.WriteStringIfUsed(kLinux, "PlayerCommand", settings.Linux.PlayerCommand);
  out.WriteString(kOptions, "Version", kConfigVersion);

  // The file is replaced in one step; one that could not be read is left alone.
  Save(document);
  // Failing to record the pointer is ignored on purpose, like every store write.
  if (settings_key_) (void)settings_key_->WriteString(kConfigPointerName, config_path_);
}

}  // namespace pelorin
