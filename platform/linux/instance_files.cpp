#include "platform/linux/instance_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/identity.h"
#include "platform/posix/system_error.h"
#include "platform/trace.h"

namespace pelorin::linux_os {

using posix::LastError;
using posix::SystemError;
using posix::UniqueFd;

namespace {

constexpr std::string_view kLock = "instance lock";
constexpr std::string_view kSocket = "instance socket";
constexpr std::string_view kRequest = "instance request";

// How long a request may take: the running copy answers from its event loop,
// which wakes every 25 ms; a copy that takes longer is hung.
constexpr timeval kClientWait{2, 0};
// How long the running copy waits for a connected copy's line.
constexpr timeval kServerWait{1, 0};

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

Answer<std::string> FolderOrRuntime(const std::string& folder) {
  if (!folder.empty()) return folder;
  return RuntimeFolder();
}

Answer<sockaddr_un> SocketAddress(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return SystemError(ENAMETOOLONG, kSocket, path);
  path.copy(address.sun_path, path.size());
  return address;
}

void SetWait(int fd, const timeval& wait) {
  // Failures leave the socket blocking without a limit; the peer is this
  // user's own copy, so that costs time, not safety.
  (void)::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
  (void)::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof(wait));
}

// A connected socket to `path`, blocking, or why not.
Answer<int> Connect(const std::string& path) {
  const auto address = SocketAddress(path);
  if (!address) return address.error();
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd.Valid()) return LastError(kSocket, path);
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own type pun
  if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof(*address)) != 0) {
    return LastError(kSocket, path);
  }
  return fd.Release();
}

// Reads one line (without its line break) of at most a few bytes; nothing
// on a timeout, an error or a longer line.
std::optional<std::string> ReadLine(int fd) {
  std::string line;
  char c = 0;
  while (line.size() < 16) {
    const ssize_t n = ::recv(fd, &c, 1, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;
    if (c == '\n') return line;
    line += c;
  }
  return std::nullopt;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool FromThisUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof(peer);
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

}  // namespace

Answer<std::string> RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");  // NOLINT(concurrency-mt-unsafe)
  if (runtime != nullptr && runtime[0] != '\0') return std::string(runtime);
  const std::string folder = "/tmp/pelorin-" + std::to_string(::geteuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return LastError("mkdir", folder);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return LastError("lstat", folder);
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
    OsError error = SystemError(EPERM, "lstat", folder);
    error.text = "not a private folder of this user";
    return error;
  }
  return folder;
}

// The lock a RuntimeInstanceLocks handed out last, shared with the lock
// object so that the socket is opened only while the lock is held.
struct RuntimeInstanceLocks::Holding {
  std::string folder;
  std::string name;
  bool held = false;
};

namespace {

class FileInstanceLock final : public InstanceLock {
 public:
  FileInstanceLock(UniqueFd file, std::shared_ptr<bool> held)
      : file_(std::move(file)), held_(std::move(held)) {}
  ~FileInstanceLock() override { Release(); }
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  void Release() override {
    // Closing the only descriptor of the file drops the lock.
    file_.Reset();
    *held_ = false;
  }

 private:
  UniqueFd file_;
  std::shared_ptr<bool> held_;
};

}  // namespace

RuntimeInstanceLocks::RuntimeInstanceLocks(std::string folder) : folder_(std::move(folder)) {}

std::unique_ptr<InstanceLock> RuntimeInstanceLocks::Acquire(std::string_view name) {
  const auto folder = FolderOrRuntime(folder_);
  if (!folder) {
    Trace("No instance lock: " + Describe(folder.error()));
    return nullptr;
  }
  const std::string path = *folder + "/" + LowerAscii(name) + ".lock";
  UniqueFd file(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!file.Valid()) {
    Trace("No instance lock: " + Describe(LastError(kLock, path)));
    return nullptr;
  }
  if (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
    // Another copy holds it: the expected answer, not worth a trace line.
    if (errno != EWOULDBLOCK) Trace("No instance lock: " + Describe(LastError(kLock, path)));
    return nullptr;
  }
  auto holding = std::make_shared<Holding>(Holding{*folder, std::string(name), true});
  holding_ = holding;
  // The lock object shares only the flag, which lives in `holding`.
  auto lock = std::make_unique<FileInstanceLock>(std::move(file),
                                                 std::shared_ptr<bool>(holding, &holding->held));
  if (when_acquired_) when_acquired_();
  return lock;
}

Opened<InstanceRequestServer> RuntimeInstanceLocks::ListenForRequests() {
  if (!holding_ || !holding_->held) return SystemError(ENOLCK, kSocket, folder_);
  const std::string path = holding_->folder + "/" + LowerAscii(holding_->name) + ".socket";
  const auto address = SocketAddress(path);
  if (!address) return address.error();
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.Valid()) return LastError(kSocket, path);
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the socket API's own type pun
  const auto* raw = reinterpret_cast<const sockaddr*>(&*address);
  if (::bind(fd.Get(), raw, sizeof(*address)) != 0) {
    if (errno != EADDRINUSE) return LastError(kSocket, path);
    // A file is there. A copy that answers on it keeps it; one nobody
    // answers on was left by a copy that ended without removing it.
    if (auto other = Connect(path)) {
      UniqueFd closer(*other);
      return SystemError(EADDRINUSE, kSocket, path);
    }
    if (::unlink(path.c_str()) != 0 || ::bind(fd.Get(), raw, sizeof(*address)) != 0) {
      return LastError(kSocket, path);
    }
  }
  struct stat info {};
  if (::chmod(path.c_str(), 0600) != 0 || ::stat(path.c_str(), &info) != 0 ||
      ::listen(fd.Get(), 8) != 0) {
    OsError error = LastError(kSocket, path);
    ::unlink(path.c_str());
    return error;
  }
  return std::unique_ptr<InstanceRequestServer>(
      new InstanceRequestServer(std::move(fd), path, info.st_ino));
}

InstanceRequestServer::InstanceRequestServer(UniqueFd socket, std::string path, ino_t inode)
    : socket_(std::move(socket)), path_(std::move(path)), inode_(inode) {}

InstanceRequestServer::~InstanceRequestServer() {
  struct stat info {};
  if (::stat(path_.c_str(), &info) == 0 && info.st_ino == inode_) ::unlink(path_.c_str());
}

std::optional<InstanceRequest> InstanceRequestServer::Accept() {
  UniqueFd connection(::accept4(socket_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
  if (!connection.Valid() || !FromThisUser(connection.Get())) return std::nullopt;
  SetWait(connection.Get(), kServerWait);
  const auto line = ReadLine(connection.Get());
  std::optional<InstanceRequest> request;
  if (line == "show") request = InstanceRequest::Show;
  if (line == "quit") request = InstanceRequest::Quit;
  // The answer only tells the sender it was heard; a sender that left
  // already misses nothing.
  if (request) (void)SendAll(connection.Get(), "ok\n");
  return request;
}

Answer<std::string> InstanceSocketPath(std::string_view name, const std::string& folder) {
  const auto place = FolderOrRuntime(folder);
  if (!place) return place.error();
  return *place + "/" + LowerAscii(name) + ".socket";
}

OsStatus SendInstanceRequest(InstanceRequest request, const std::string& folder) {
  const auto path = InstanceSocketPath(kInstanceMutexName, folder);
  if (!path) return path.error();
  const auto connected = Connect(*path);
  if (!connected) return connected.error();
  const UniqueFd fd(*connected);
  SetWait(fd.Get(), kClientWait);
  if (!SendAll(fd.Get(), request == InstanceRequest::Show ? "show\n" : "quit\n")) {
    return LastError(kRequest, *path);
  }
  errno = 0;
  const auto answer = ReadLine(fd.Get());
  if (answer != "ok") {
    const int code = errno == EAGAIN ? ETIMEDOUT : EPROTO;
    return SystemError(code, kRequest, *path);
  }
  return {};
}

bool InstanceAnswers(const std::string& folder) {
  const auto path = InstanceSocketPath(kInstanceMutexName, folder);
  if (!path) return false;
  const auto connected = Connect(*path);
  if (!connected) return false;
  const UniqueFd closer(*connected);
  return true;
}

}  // namespace pelorin::linux_os
