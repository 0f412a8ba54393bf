#pragma once
#include <windows.h>

#include <utility>

namespace pelorin::win32 {

// Owns a kernel HANDLE and closes it exactly once. Both null and
// INVALID_HANDLE_VALUE mean "nothing owned", because Win32 calls use either
// to report failure (CreateFile the latter, most others the former).
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }

  HANDLE Release() { return std::exchange(handle_, nullptr); }
  // Closes now and tells whether the close (which may flush) succeeded.
  bool Close() {
    const HANDLE old = Release();
    return old == nullptr || old == INVALID_HANDLE_VALUE || CloseHandle(old) != 0;
  }
  void Reset(HANDLE handle = nullptr) {
    HANDLE old = std::exchange(handle_, handle);
    if (old != nullptr && old != INVALID_HANDLE_VALUE) CloseHandle(old);
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace pelorin::win32
