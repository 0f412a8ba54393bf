#include "platform/win32/named_mutex.h"

#include <windows.h>

#include <string>

namespace pelorin::win32 {
namespace {

class NamedMutex final : public InstanceLock {
 public:
  explicit NamedMutex(HANDLE handle) : handle_(handle) {}
  ~NamedMutex() override { CloseHandle(handle_); }
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;
  void Release() override { ReleaseMutex(handle_); }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<InstanceLock> NamedMutexLocks::Acquire(std::string_view name) {
  const std::string text(name);
  HANDLE handle = CreateMutexA(nullptr, TRUE, text.c_str());
  if (handle == nullptr) return nullptr;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::make_unique<NamedMutex>(handle);
}

}  // namespace pelorin::win32
