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
  const std::string state = Variable(("PELORIN_STANDIN_COM" + std::to_string(number)).c_str());
  const std::string plug = Variable(("PELORIN_STANDIN_PLUG" + std::to_string(number)).c_str());
  if (state.empty() || plug.empty()) return;
  state_file_ = "Z:" + state;
  plug_ = "Z:" + plug;
}

UnpluggablePort::~UnpluggablePort() {
  if (away_) Plug(0);
}

bool UnpluggablePort::Unplug() {
  if (!Usable() || away_) return false;
  if (!DeleteFileA(state_file_.c_str())) return false;
  away_ = true;
  return MoveFileA(plug_.c_str(), (plug_ + ".unplugged").c_str()) != FALSE;
}

bool UnpluggablePort::Plug(unsigned inputs) {
  if (!Usable() || !away_) return false;
  HANDLE file = CreateFileA(state_file_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  if (!testing::StandinLines(state_file_).SetInputs(inputs)) return false;
  if (!MoveFileA((plug_ + ".unplugged").c_str(), plug_.c_str())) return false;
  away_ = false;
  return true;
}

}  // namespace pelorin::e2e
