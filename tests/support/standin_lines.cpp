#include "standin_lines.h"

#include <cstdlib>

#include "tools/serial-standin/standin_state.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pelorin::testing {
namespace {

// Reads the bits and, when `set` or `clear` is given, writes them back
// changed; the whole exchange runs under the file's exclusive lock, the same
// lock the preload library takes.
#ifdef _WIN32
std::optional<unsigned> Exchange(const std::string& path, unsigned set, unsigned clear) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  OVERLAPPED whole{};
  constexpr DWORD kLockedBytes = 4096;  // far beyond the one short line
  std::optional<unsigned> result;
  if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, kLockedBytes, 0, &whole)) {
    char text[256];
    DWORD got = 0;
    if (ReadFile(file, text, sizeof text, &got, nullptr)) {
      unsigned bits = (standin_parse(text, got) | set) & ~clear;
      char line[STANDIN_TEXT_LENGTH];
      const DWORD length = static_cast<DWORD>(standin_format(bits, line));
      DWORD put = 0;
      const bool unchanged = (set | clear) == 0;
      if (unchanged ||
          (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
           WriteFile(file, line, length, &put, nullptr) && put == length && SetEndOfFile(file))) {
        result = bits;
      }
    }
    UnlockFileEx(file, 0, kLockedBytes, 0, &whole);
  }
  CloseHandle(file);
  return result;
}
#else
std::optional<unsigned> Exchange(const std::string& path, unsigned set, unsigned clear) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  std::optional<unsigned> result;
  if (::fcntl(fd, F_SETLKW, &lock) == 0) {
    char text[256];
    const ssize_t got = ::pread(fd, text, sizeof text, 0);
    if (got >= 0) {
      unsigned bits = (standin_parse(text, static_cast<size_t>(got)) | set) & ~clear;
      char line[STANDIN_TEXT_LENGTH];
      const size_t length = standin_format(bits, line);
      const bool unchanged = (set | clear) == 0;
      if (unchanged || (::pwrite(fd, line, length, 0) == static_cast<ssize_t>(length) &&
                        ::ftruncate(fd, static_cast<off_t>(length)) == 0)) {
        result = bits;
      }
    }
  }
  ::close(fd);  // releases the lock
  return result;
}
#endif

}  // namespace

std::optional<StandinLines> StandinLines::ForPort(int number) {
  const std::string variable = "PELORIN_STANDIN_COM" + std::to_string(number);
  const char* path = std::getenv(variable.c_str());
  if (path == nullptr || *path == '\0') return std::nullopt;
#ifdef _WIN32
  return StandinLines(std::string("Z:") + path);
#else
  return StandinLines(path);
#endif
}

bool StandinLines::Change(unsigned set, unsigned clear) {
  return Exchange(path_, set, clear).has_value();
}

bool StandinLines::SetInputs(unsigned inputs) {
  return Change(inputs & STANDIN_INPUTS, ~inputs & STANDIN_INPUTS);
}

std::optional<unsigned> StandinLines::Read() const {
  return Exchange(path_, 0, 0);
}

}  // namespace pelorin::testing
