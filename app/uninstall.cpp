#include "app/uninstall.h"

#include "app/locations.h"
#include "platform/trace.h"

namespace pelorin {
namespace {

// The machine-wide lists first: where an administrator's install belongs.
constexpr RegistryRoot kInstallRoots[] = {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser};

}  // namespace

std::string RandomName(int count, std::mt19937& generator) {
  std::uniform_int_distribution<int> draw(0, 61);
  std::string name;
  for (int i = 0; i < count; ++i) {
    int c = draw(generator) + '0';
    if (c > '9') c += 7;  // skip the punctuation between the digits and 'A'
    if (c > 'Z') c += 6;  // and between 'Z' and 'a'
    name.push_back(static_cast<char>(c));
  }
  return name;
}

std::string UninstallCommand(std::string_view executable_path) {
  return "\"" + LowerCase(executable_path) + "\" uninstall";
}

std::string UninstallBatchText(std::string_view executable_file_name) {
  std::string name;
  for (char c : executable_file_name) {
    name.push_back(c);
    if (c == '%') name.push_back('%');
  }
  const std::string quoted = "\"" + name + "\"";
  // A read-only file is made deletable first. While a copy still holds the
  // file, each try waits about a second (ping's one-second pause between its
  // two echoes) instead of spinning at full speed.
  std::string text = "@echo off\r\n:loop\r\n";
  text += "attrib -r " + quoted + "\r\n";
  text += "del " + quoted + "\r\n";
  text += "if exist " + quoted + " ping -n 2 127.0.0.1 >nul\r\n";
  text += "if exist " + quoted + " goto loop\r\n";
  text += "del %0\r\n";
  return text;
}

void WriteUninstallEntry(Registry& registry, std::string_view executable_path) {
  // A user without administrator rights may not write the machine-wide list
  // (and a 64-bit program gets no virtualized copy of it); Windows lists the
  // user's own entries too.
  for (RegistryRoot root : kInstallRoots) {
    Opened<RegistryKey> key = registry.Open(root, kUninstallEntryPath, KeyAccess::Full, true);
    if (!key) {
      Trace("An uninstall list refused the entry: " + Describe(key.error()));
      continue;
    }
    if (key->WriteString("DisplayName", "Pelorin") &&
        key->WriteString("UninstallString", UninstallCommand(executable_path))) {
      return;
    }
  }
}

void UninstallProgram(Registry& registry, FileSystem& files, Shell& shell,
                      std::string_view executable_path, std::mt19937& generator) {
  const std::string directory = DirectoryOf(executable_path);
  std::string batch;
  do {
    batch = directory + "\\" + RandomName(8, generator) + ".bat";
  } while (files.FileExists(batch));
  if (!files.CreateNewFile(batch, UninstallBatchText(FileNameOf(executable_path)))) return;
  // The batch runs in the program's folder, so the file name alone names the
  // executable; hidden, so that no console window shows.
  shell.Execute(batch, "", directory, kShowHidden);

  // Entries under either root are removed where this user may: an earlier
  // install or autostart may have used the other one. Failures are ignored:
  // nothing is left to do about them.
  for (RegistryRoot root : kInstallRoots) {
    if (auto list = registry.Open(root, kUninstallKeyPath, KeyAccess::Full, false)) {
      (void)list->DeleteSubKey("Pelorin");
    }
    if (auto run = registry.Open(root, kRunKeyPath, KeyAccess::Full, false)) {
      (void)run->DeleteValue(kAutostartValueName);
    }
  }
}

}  // namespace pelorin
