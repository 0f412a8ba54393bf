#include "support/unplug.h"

#include <windows.h>

#include <cstdlib>

#include "support/standin_lines.h"

namespace pelorin::e2e {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

UnpluggablePort::UnpluggablePort(int number) {
  // "\??\Z:\path\to\prefix": the NT prefix off, the Win32 path stays.
  std::string prefix = Variable("WINECONFIGDIR");
  if (prefix.rfind("\\??\\", 0) == 0) prefix.erase(0, 4);
  const std::string state = Variable(("PELORIN_STANDIN_COM" + std::to_string(number)).c_str());
  if (prefix.empty() || state.empty()) return;
  link_ = prefix + "\\dosdevices\\com" + std::to_string(number);
  state_file_ = "Z:" + state;
}

UnpluggablePort::~UnpluggablePort() {
  if (away_) Plug(0);
}

bool UnpluggablePort::Unplug() {
  if (!Usable() || away_) return false;
  // Renaming keeps the link itself (not its target) for the return.
  if (!MoveFileA(link_.c_str(), (link_ + ".unplugged").c_str())) return false;
  away_ = true;
  return DeleteFileA(state_file_.c_str()) != FALSE;
}

bool UnpluggablePort::Plug(unsigned inputs) {
  if (!Usable() || !away_) return false;
  HANDLE file = CreateFileA(state_file_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  if (!testing::StandinLines(state_file_).SetInputs(inputs)) return false;
  if (!MoveFileA((link_ + ".unplugged").c_str(), link_.c_str())) return false;
  away_ = false;
  return true;
}

}  // namespace pelorin::e2e
