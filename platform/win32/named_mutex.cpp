#include "platform/win32/named_mutex.h"

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace pelorin::win32 {
namespace {

class NamedMutex final : public InstanceLock {
 public:
  explicit NamedMutex(UniqueHandle handle) : handle_(std::move(handle)) {}
  void Release() override { ReleaseMutex(handle_.Get()); }

 private:
  UniqueHandle handle_;
};

}  // namespace

std::unique_ptr<InstanceLock> NamedMutexLocks::Acquire(std::string_view name) {
  const std::string text(name);
  UniqueHandle handle(CreateMutexA(nullptr, TRUE, text.c_str()));
  // Read at once: the next call may change the last error.
  const bool another_copy = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!handle.Valid() || another_copy) return nullptr;
  return std::make_unique<NamedMutex>(std::move(handle));
}

}  // namespace pelorin::win32
