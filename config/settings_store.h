#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "config/line_map.h"
#include "config/profile.h"
#include "config/settings.h"
#include "platform/file_system.h"
#include "platform/identity.h"
#include "platform/registry.h"

namespace pelorin {

// The value of the program's registry key (kSettingsKeyPath) that names the
// configuration file in use.
inline constexpr const char* kConfigPointerName = "INI";
// Written into every configuration file, never read.
inline constexpr const char* kConfigVersion = "1.4";

// Opens the Run key that holds the autostart entry: with full access under
// HKEY_LOCAL_MACHINE, created when missing, or else under HKEY_CURRENT_USER.
// Null when neither opens.
std::unique_ptr<RegistryKey> OpenRunKey(Registry& registry);

// What the store tells the properties window while it loads.
class SettingsView {
 public:
  virtual ~SettingsView() = default;
  // The configuration file now in use, for the read-only "Config:" field.
  virtual void ShowConfigPath(const std::string& path) = 0;
  // The wiring mode of port 1 or 2 was loaded: rebuild that port's button
  // list with its first button selected.
  virtual void PortModeLoaded(PortRole port) = 0;
  // A load has finished: refresh every control from the settings and leave
  // the window with no pending changes.
  virtual void SettingsLoaded() = 0;
};

// Where the file chooser opens: the folder and the file name of the current
// configuration file.
struct BrowseStart {
  std::string directory;
  std::string file_name;
};

// A save that did not reach the file: where it should have gone and why
// not, in words for the user.
struct SaveFailure {
  std::string path;
  std::string reason;
};

// Keeps Settings between runs: in a profile (INI) file whose path the
// program's registry key remembers, with the key's older values as defaults
// and the autostart entry kept in step with `AutoStartup`.
//
// A save never leaves a half-written file: the whole document goes to the
// file in one atomic replacement. A save that fails, or a file that exists
// but cannot be read, leaves the file as it was; the save-failure handler
// hears of each such save, and the trace says why.
class SettingsStore final : public LineMapStore {
 public:
  // `executable_path` is the program's own full path; `separator` the
  // character between folder names in it ('\\' on Windows).
  SettingsStore(FileSystem& files, Registry& registry, std::string executable_path,
                char separator = '\\');

  // The window to keep informed; may be null (nothing is told then).
  void SetView(SettingsView* view) { view_ = view; }
  // The Run key accessor of the whole run (see OpenRunKey); may be null,
  // and then the autostart entry is neither read nor written.
  void SetRunKey(RegistryKey* run_key) { run_key_ = run_key; }
  // The folder where a configuration-file name without any folder lives: the
  // Windows folder, where the profile functions look for such a name, so the
  // file is the same whatever the current folder is. Empty (the default)
  // takes such a name as given.
  void SetBareNameFolder(std::string folder) { bare_name_folder_ = std::move(folder); }
  // The user's own application-data folder, for a configuration file that
  // cannot live beside the executable. Empty (the default): it always does.
  void SetPerUserFolder(std::string folder) { per_user_folder_ = std::move(folder); }
  // A configuration file given from outside (a command-line option, or the
  // platform's own place for it), used instead of the rules of Open: no
  // registry key is opened, so no pointer is followed or recorded and there
  // are no older registry values. Empty (the default): the rules of Open.
  void SetGivenPath(std::string path) { given_path_ = std::move(path); }
  // Told of every save that did not reach the file; may be empty.
  void SetSaveFailureHandler(std::function<void(const SaveFailure&)> handler) {
    on_save_failure_ = std::move(handler);
  }

  // Start-up: opens (creating) the settings key, takes the configuration
  // file and shows the path.
  //
  // A file the `INI` value names is the user's choice and is used as it is.
  // Otherwise (no value, or the one an earlier save recorded for the file
  // beside the executable) the file is the default one: beside the
  // executable where this user may create files in its folder (a portable
  // copy, or one the user installed), else "Pelorin.ini" in the folder
  // "Pelorin" of the per-user folder, as for a normal user of a program in
  // Program Files. That
  // folder is created, and on the first start there a file beside the
  // executable is copied into it; the original stays where it is.
  //
  // Writes before Open do nothing. Until then the store does not know which
  // file is the user's and nothing has been read from it, so a save (a close
  // request while the program starts, or in a second copy that ends without
  // starting) would replace the user's file with defaults.
  void Open();

  // Replaces every field of `settings` with the stored value, or the older
  // registry value, or the default, and tells the view.
  void ReadSettings(Settings& settings);
  // Stores every field of `settings`, the autostart entry and the `INI` pointer.
  void WriteSettings(const Settings& settings);
  // Stores one integer at once (the remap dialogs store their four lines so).
  void WriteInteger(std::string_view section, std::string_view key, int value);
  // Replaces only the line assignments (DCD, DSR, CTS, RI of both ports)
  // with the stored ones; the rest of `settings` stays as it is.
  void ReadLineAssignments(Settings& settings);

  // LineMapStore: one port's four line values, read like ReadLineAssignments
  // and written like WriteInteger (nothing before Open).
  LineMap ReadLineMap(PortRole port) override;
  void WriteLineMap(PortRole port, const LineMap& map) override;

  // The file chooser's starting point; a current path without any folder
  // gives way to the default path (the one Open chose).
  BrowseStart BrowseStartFor() const;
  // The user chose `path` as the configuration file: an existing file is
  // loaded into `settings`, a new one is created from them.
  void UseConfigFile(const std::string& path, Settings& settings);

  // The path as the user chose it or the `INI` value holds it; it is shown
  // and stored as it is (FilePath below is where the file is).
  const std::string& ConfigPath() const { return config_path_; }
  const std::string& DefaultConfigPath() const { return default_path_; }

 private:
  // Where the configuration file is read and written: ConfigPath, with a
  // bare name placed in the bare-name folder.
  std::string FilePath() const;
  // The document to change and save; nothing when the file exists but could
  // not be read, so that a save cannot wipe what it did not see.
  std::optional<ProfileDocument> LoadForChange();
  ProfileDocument LoadForReading() const;
  // The settings key when it may hold an older version's values, which the
  // file's values fall back on; nothing when it holds none.
  RegistryKey* OlderValuesKey() const;
  // Stores `document`, or, when there is none (the file could not be read),
  // reports that the save could not happen.
  void Save(const std::optional<ProfileDocument>& document);
  void ReportSaveFailure(std::string reason);
  // The default file as Open describes it; `beside` is the one beside the
  // executable.
  std::string ChooseDefaultPath(const std::string& beside);
  // Copies the file `from` to `to` unless `to` exists.
  void TakeOverFile(const std::string& from, const std::string& to);
  void WriteAutostartEntry(bool wanted);

  FileSystem& files_;
  Registry& registry_;
  std::string executable_path_;
  char separator_;
  std::string default_path_;
  std::string config_path_;
  std::string bare_name_folder_;
  std::string per_user_folder_;
  std::string given_path_;
  std::function<void(const SaveFailure&)> on_save_failure_;
  std::unique_ptr<RegistryKey> settings_key_;
  RegistryKey* run_key_ = nullptr;
  bool opened_ = false;
  SettingsView* view_ = nullptr;
};

// The Exec text as it is held after loading: a value without any double
// quote is enclosed in a pair of them.
std::string QuoteExecText(std::string text);

}  // namespace pelorin
