#pragma once
#include <unistd.h>

#include <utility>

namespace pelorin::posix {

// Owns a file descriptor and closes it exactly once; -1 owns nothing.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }

  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  bool Valid() const { return fd_ >= 0; }
  int Get() const { return fd_; }

  int Release() { return std::exchange(fd_, -1); }
  // Closes now and tells whether the close succeeded: a close may report a
  // late write error.
  bool Close() {
    const int fd = Release();
    return fd < 0 || ::close(fd) == 0;
  }
  void Reset(int fd = -1) {
    int old = std::exchange(fd_, fd);
    if (old >= 0) ::close(old);
  }

 private:
  int fd_ = -1;
};

}  // namespace pelorin::posix
