#include "platform/posix/file_system_posix.h"

#include "platform/posix/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pelorin::posix {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool WriteTemporary(const std::string& temporary, std::string_view bytes, mode_t mode,
                    bool keep_mode) {
  UniqueFd file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!file.Valid()) return false;
  bool written = WriteAll(file.Get(), bytes) && (!keep_mode || ::fchmod(file.Get(), mode) == 0) &&
                 ::fsync(file.Get()) == 0;
  return file.Close() && written;
}

}  // namespace

FileContents PosixFileSystem::ReadWholeFile(const std::string& path) {
  UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.Valid()) {
    bool missing = errno == ENOENT || errno == ENOTDIR;
    return {missing ? ReadStatus::NotFound : ReadStatus::Failed, {}};
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<unsigned long long>(info.st_size) > kMaxFileBytes) {
    return {ReadStatus::Failed, {}};
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {ReadStatus::Failed, {}};
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.size() > kMaxFileBytes) return {ReadStatus::Failed, {}};  // it grew meanwhile
  }
  return {ReadStatus::Ok, std::move(bytes)};
}

bool PosixFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  struct stat info {};
  bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists &&
      (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) {
    return false;
  }
  const std::string temporary = path + ".new";
  if (WriteTemporary(temporary, bytes, info.st_mode & 07777, exists) &&
      ::rename(temporary.c_str(), path.c_str()) == 0) {
    return true;
  }
  ::unlink(temporary.c_str());  // may not exist; nothing to report either way
  return false;
}

bool PosixFileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
  UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!file.Valid()) return false;
  if (WriteAll(file.Get(), bytes) && file.Close()) return true;
  ::unlink(path.c_str());
  return false;
}

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace pelorin::posix
