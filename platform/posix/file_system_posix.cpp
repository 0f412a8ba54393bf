#include "platform/posix/file_system_posix.h"

#include "platform/posix/system_error.h"
#include "platform/posix/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <optional>

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

// How many fresh names a save tries before it gives up: another name is
// taken only when a file of the previous one exists already.
constexpr int kNewNameTries = 8;
// Links followed before a save gives up, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save replaces: the final target when `path` is a symbolic link
// (to a link...), so that the link stays and the file it names gets the new
// content; a dangling link names the file to create. Empty when the links
// cannot be followed.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length < 0) return path;  // not a link (or missing): this is the file
    if (length == 0 || static_cast<std::size_t>(length) >= sizeof target) return {};
    std::string link(target, static_cast<std::size_t>(length));
    path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
  }
  return {};
}

// A file this save created, open for writing, under a name nobody else uses.
struct NewFile {
  UniqueFd file;
  std::string name;
  int error = 0;  // why no file could be created
};

// "<path>.<process>-<clock>-<count>.tmp": unique within the process through
// the count, between processes through the process id.
std::string FreshNameBeside(const std::string& path) {
  static unsigned count = 0;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  char unique[64];
  std::snprintf(unique, sizeof unique, ".%lx-%lx-%x.tmp", static_cast<unsigned long>(::getpid()),
                static_cast<unsigned long>(now.tv_nsec), ++count);
  return path + unique;
}

// Creates a new file beside `path` with O_EXCL, so that an existing file of
// the same name (a user's, or one left by a crash) is never opened, and tries
// another name when the first is taken.
NewFile CreateFileBeside(const std::string& path, mode_t mode) {
  NewFile created;
  for (int attempt = 0; attempt < kNewNameTries; ++attempt) {
    created.name = FreshNameBeside(path);
    created.file.Reset(::open(created.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (created.file.Valid()) return created;
    created.error = errno;
    if (created.error != EEXIST) break;
  }
  return created;
}

// Gives the new file the old one's owner and mode before any byte goes in,
// so that the content is never open to more people than the old file was.
// Only root may give a file away: otherwise the owner stays the saving user
// and the group is kept where the user belongs to it; neither stops the save.
bool TakeOwnerAndMode(int file, const struct stat& old) {
  if (::fchown(file, old.st_uid, old.st_gid) != 0) {
    (void)::fchown(file, static_cast<uid_t>(-1), old.st_gid);
  }
  return ::fchmod(file, old.st_mode & 07777) == 0;
}

// Makes a finished rename durable. The save has succeeded either way.
void SyncFolder(const std::string& folder) {
  UniqueFd handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.Valid()) (void)::fsync(handle.Get());
}

// Overwrites an existing file where it is: the one way left when its folder
// takes no new files. Not atomic; the room for a longer content is taken
// first, so that a full disk fails the save before any old byte changes.
OsStatus WriteInPlace(const std::string& path, std::string_view bytes) {
  UniqueFd file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
  if (!file.Valid()) return LastError("open", path);
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) return LastError("fstat", path);
  const auto length = static_cast<off_t>(bytes.size());
  if (length > info.st_size) {
    // posix_fallocate answers with the error rather than through errno.
    if (const int code = ::posix_fallocate(file.Get(), info.st_size, length - info.st_size)) {
      (void)::ftruncate(file.Get(), info.st_size);  // give back what was taken
      return SystemError(code, "posix_fallocate", path);
    }
  }
  if (::lseek(file.Get(), 0, SEEK_SET) != 0 || !WriteAll(file.Get(), bytes) ||
      ::ftruncate(file.Get(), length) != 0 || ::fsync(file.Get()) != 0) {
    return LastError("write", path);
  }
  if (!file.Close()) return LastError("close", path);
  return {};
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
  // Read in place, into room for the size the file has now and a byte more,
  // which shows whether it grew meanwhile (or reports no size, as files
  // the kernel makes up do); then in doubling room up to the limit.
  std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) {
      if (bytes.size() > kMaxFileBytes) return {ReadStatus::Failed, {}};
      bytes.resize(std::max<std::size_t>(bytes.size() * 2, 4096));
    }
    const ssize_t got = ::read(file.Get(), bytes.data() + have, bytes.size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {ReadStatus::Failed, {}};
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  if (have > kMaxFileBytes) return {ReadStatus::Failed, {}};  // it grew meanwhile
  bytes.resize(have);
  return {ReadStatus::Ok, std::move(bytes)};
}

OsStatus PosixFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = FollowLinks(path);
  if (target.empty()) return SystemError(ELOOP, "readlink", path);
  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) return SystemError(EISDIR, "replace", target);
  if (exists && ((info.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
    return SystemError(EACCES, "replace a read-only file", target);
  }
  // An existing file's mode replaces the private one at once; a new file
  // gets what the user's umask leaves.
  NewFile temporary = CreateFileBeside(target, exists ? 0600 : 0666);
  if (!temporary.file.Valid()) {
    // A folder the user may not write may still hold a file the user may.
    if (exists && (temporary.error == EACCES || temporary.error == EPERM)) {
      return WriteInPlace(target, bytes);
    }
    return SystemError(temporary.error, "open", temporary.name);
  }
  std::optional<OsError> failure;
  if (exists && !TakeOwnerAndMode(temporary.file.Get(), info)) {
    failure = LastError("fchmod", temporary.name);
  } else if (!WriteAll(temporary.file.Get(), bytes) || ::fsync(temporary.file.Get()) != 0) {
    failure = LastError("write", temporary.name);
  }
  if (!temporary.file.Close() && !failure) failure = LastError("close", temporary.name);
  if (!failure && ::rename(temporary.name.c_str(), target.c_str()) != 0) {
    failure = LastError("rename", target);
  }
  if (failure) {
    (void)::unlink(temporary.name.c_str());  // best effort: the save has failed already
    return *failure;
  }
  SyncFolder(FolderOf(target));
  return {};
}

OsStatus PosixFileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
  UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!file.Valid()) return LastError("open", path);
  if (WriteAll(file.Get(), bytes) && file.Close()) return {};
  OsError error = LastError("write", path);
  (void)::unlink(path.c_str());  // a partly written file is not left behind
  return error;
}

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PosixFileSystem::FolderTakesNewFiles(const std::string& folder) {
  NewFile probe = CreateFileBeside(folder + "/.pelorin", 0600);
  if (!probe.file.Valid()) return false;
  (void)::unlink(probe.name.c_str());  // an empty file; a left-over one harms nobody
  return true;
}

OsStatus PosixFileSystem::CreateFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0777) == 0) return {};
  OsError error = LastError("mkdir", folder);
  struct stat info {};
  if (error.code == EEXIST && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return {};  // there already
  }
  return error;
}

}  // namespace pelorin::posix
