#include "config/settings_store.h"

#include <string>

#include "platform/trace.h"

namespace pelorin {
namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Why a save failed, in the system's words where it has some.
std::string ReasonOf(const OsError& error) {
  return error.text.empty() ? "Error " + std::to_string(error.code) : error.text;
}

}  // namespace

std::unique_ptr<RegistryKey> OpenRunKey(Registry& registry) {
  // Without administrator rights the machine-wide key refuses full access;
  // the user's own Run key serves then.
  // The cause of either refusal is not kept: the program goes on without
  // autostart, as it always has.
  if (auto key = registry.Open(RegistryRoot::LocalMachine, kRunKeyPath, KeyAccess::Full, true)) {
    return key.Release();
  }
  return registry.Open(RegistryRoot::CurrentUser, kRunKeyPath, KeyAccess::Full, true).Release();
}

std::string QuoteExecText(std::string text) {
  if (text.find('"') != std::string::npos) return text;
  return "\"" + text + "\"";
}

SettingsStore::SettingsStore(FileSystem& files, Registry& registry, std::string executable_path,
                             char separator)
    : files_(files),
      registry_(registry),
      executable_path_(std::move(executable_path)),
      separator_(separator) {
  // The folder is everything before the last separator (the whole path when
  // there is none).
  std::size_t last = executable_path_.rfind(separator_);
  default_path_ = executable_path_.substr(0, last) + separator_ + kDefaultConfigFileName;
  config_path_ = default_path_;
}

void SettingsStore::Open() {
  opened_ = true;
  if (!given_path_.empty()) {
    default_path_ = given_path_;
    config_path_ = given_path_;
    if (view_ != nullptr) view_->ShowConfigPath(config_path_);
    return;
  }
  Opened<RegistryKey> key =
      registry_.Open(RegistryRoot::CurrentUser, kSettingsKeyPath, KeyAccess::Full, true);
  // Without the key the default file serves; the trace says why.
  if (!key) Trace("Opening the settings key failed: " + Describe(key.error()));
  settings_key_ = key.Release();
  std::string pointer;
  if (settings_key_) pointer = settings_key_->ReadString(kConfigPointerName).value_or("");
  // Every save records the file in use, the default one too: a value naming
  // the file beside the executable is no choice of the user's, and must not
  // keep the settings in a folder this user can no longer write.
  const std::string beside = default_path_;
  default_path_ = ChooseDefaultPath(beside);
  const bool chosen = !pointer.empty() && LowerAscii(pointer) != LowerAscii(beside);
  config_path_ = chosen ? pointer : default_path_;
  if (view_ != nullptr) view_->ShowConfigPath(config_path_);
}

std::string SettingsStore::ChooseDefaultPath(const std::string& beside) {
  const std::size_t last = beside.rfind(separator_);
  const std::string exe_folder = beside.substr(0, last == std::string::npos ? 0 : last);
  if (per_user_folder_.empty() || files_.FolderTakesNewFiles(exe_folder)) return beside;
  const std::string folder = per_user_folder_ + separator_ + kPerUserFolderName;
  if (OsStatus created = files_.CreateFolder(folder); !created) {
    // Saves beside the executable fail then, and say so.
    Trace("Creating the settings folder failed: " + Describe(created.error()));
    return beside;
  }
  std::string path = folder + separator_ + kDefaultConfigFileName;
  TakeOverFile(beside, path);
  return path;
}

// Same-typed on purpose: a copy's source and target, in that order.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void SettingsStore::TakeOverFile(const std::string& from, const std::string& to) {
  if (files_.FileExists(to)) return;
  // The bytes as they are: the copy is the same file, whatever it holds.
  FileContents old = files_.ReadWholeFile(from);
  if (old.status != ReadStatus::Ok) return;
  if (OsStatus copied = files_.CreateNewFile(to, old.bytes); !copied) {
    Trace("Copying the settings failed: " + Describe(copied.error()));
  }
}

std::string SettingsStore::FilePath() const {
  // Like the profile functions, only a bare name goes to the folder: a name
  // with a folder or a drive in it (sub\pel.ini, C:pel.ini) is left to the
  // file system, which resolves it against the current folder as theirs do.
  const bool drive_relative = config_path_.size() >= 2 && config_path_[1] == ':';
  const bool bare = config_path_.find_first_of("\\/") == std::string::npos && !drive_relative;
  if (!bare || bare_name_folder_.empty()) return config_path_;
  return bare_name_folder_ + separator_ + config_path_;
}

BrowseStart SettingsStore::BrowseStartFor() const {
  const std::string& current =
      config_path_.find(separator_) == std::string::npos ? default_path_ : config_path_;
  std::size_t last = current.rfind(separator_);
  if (last == std::string::npos) return {current, {}};
  return {current.substr(0, last), current.substr(last + 1)};
}

void SettingsStore::UseConfigFile(const std::string& path, Settings& settings) {
  config_path_ = path;
  const bool existed = files_.FileExists(FilePath());
  if (view_ != nullptr) view_->ShowConfigPath(config_path_);
  // The `INI` pointer follows a loaded file at the next save; a new file is
  // saved at once, which records it.
  if (existed) {
    ReadSettings(settings);
  } else {
    WriteSettings(settings);
  }
}

std::optional<ProfileDocument> SettingsStore::LoadForChange() {
  FileContents contents = files_.ReadProfileFile(FilePath());
  switch (contents.status) {
    case ReadStatus::Ok:
      return ProfileDocument::Parse(contents.bytes);
    case ReadStatus::NotFound:
      return ProfileDocument{};
    case ReadStatus::Failed:
      break;
  }
  return std::nullopt;
}

void SettingsStore::Save(const std::optional<ProfileDocument>& document) {
  // After a failed save (read-only file, missing folder, full disk) the
  // previous file stays whole and the program goes on with the settings it
  // has; the handler lets the user know.
  if (!document) {
    Trace("Saving the settings skipped: " + FilePath() + " exists but could not be read");
    ReportSaveFailure("The file exists but could not be read");
    return;
  }
  OsStatus saved = files_.WriteProfileFileAtomically(FilePath(), document->Serialize());
  if (!saved) {
    Trace("Saving the settings failed: " + Describe(saved.error()));
    ReportSaveFailure(ReasonOf(saved.error()));
  }
}

void SettingsStore::ReportSaveFailure(std::string reason) {
  if (on_save_failure_) on_save_failure_(SaveFailure{FilePath(), std::move(reason)});
}

void SettingsStore::WriteInteger(std::string_view section, std::string_view key, int value) {
  if (!opened_) return;
  std::optional<ProfileDocument> document = LoadForChange();
  if (document) document->Set(section, key, std::to_string(value));
  Save(document);
}

void SettingsStore::WriteAutostartEntry(bool wanted) {
  if (run_key_ == nullptr) return;
  // Failures are ignored on purpose: the option still goes to the file, and
  // deleting an entry that is not there is no error.
  if (wanted) {
    // Quoted: unquoted, Windows may take a path with blanks for a shorter
    // program followed by arguments ("c:\program.exe"). An older version's
    // unquoted entry still counts as there, and the next save replaces it.
    (void)run_key_->WriteString(kAutostartValueName, "\"" + LowerAscii(executable_path_) + "\"");
  } else {
    (void)run_key_->DeleteValue(kAutostartValueName);
  }
}

}  // namespace pelorin
