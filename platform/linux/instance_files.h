#pragma once
#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/instance_lock.h"
#include "platform/os_error.h"
#include "platform/posix/unique_fd.h"

namespace pelorin::linux_os {

// The user's folder for files that live as long as a run: $XDG_RUNTIME_DIR,
// else /tmp/pelorin-<uid>, created with mode 0700 when missing. The latter
// is used only when it is a real folder (not a link) owned by this user and
// closed to everyone else; otherwise another user could have put it there
// to catch our requests, and the answer is the refusal.
Answer<std::string> RuntimeFolder();

// What another copy of the program asks the running one for.
enum class InstanceRequest { Show, Quit };

// The running copy's end of the request socket: listening, non-blocking,
// for the event loop. Removes its socket file when destroyed, unless another
// copy has replaced it since.
class InstanceRequestServer {
 public:
  ~InstanceRequestServer();
  InstanceRequestServer(const InstanceRequestServer&) = delete;
  InstanceRequestServer& operator=(const InstanceRequestServer&) = delete;

  // Readable when a copy has connected.
  int fd() const { return socket_.Get(); }

  // Takes one waiting connection and reads its request: one line, "show"
  // or "quit". Answers "ok" to a request it understood. Nothing when no copy
  // is waiting, the line is anything else, the connection comes from
  // another user, or it sends nothing within a second (a copy that only
  // looked whether this one runs sends nothing at all). The event loop calls
  // it once per wake: a connection left waiting keeps the socket readable,
  // so the next wake takes it.
  std::optional<InstanceRequest> Accept();

 private:
  friend class RuntimeInstanceLocks;
  InstanceRequestServer(posix::UniqueFd socket, std::string path, ino_t inode);

  posix::UniqueFd socket_;
  std::string path_;
  ino_t inode_;
};

// One copy per user: the lock file "<name>.lock" (the name in lower case)
// in the runtime folder, held with flock for as long as the lock object
// lives or until Release. The system drops the lock when the process ends
// in any way, so a crashed copy never blocks the next one; the file itself
// stays and is taken over.
//
// Beside the lock, the running copy listens on the socket "<name>.socket"
// (ListenForRequests). Only the lock's holder may listen there, so a socket
// file left by a copy that crashed is replaced by the next copy that holds
// the lock, never by one that merely starts.
class RuntimeInstanceLocks final : public InstanceLocks {
 public:
  // `folder` holds the lock and the socket; empty means RuntimeFolder().
  explicit RuntimeInstanceLocks(std::string folder = {});

  std::unique_ptr<InstanceLock> Acquire(std::string_view name) override;

  // Listens on the socket beside the lock this object handed out last;
  // fails with ENOLCK when that lock is not held (never taken, released or
  // destroyed), and with EADDRINUSE when a copy already listens there.
  Opened<InstanceRequestServer> ListenForRequests();
  // Runs `then` each time Acquire hands out the lock: the moment this copy
  // becomes the running one and may start answering requests.
  void WhenAcquired(std::function<void()> then) { when_acquired_ = std::move(then); }

 private:
  struct Holding;
  std::string folder_;
  std::function<void()> when_acquired_;
  std::shared_ptr<Holding> holding_;
};

// The socket file of the lock `name` in `folder` (empty: RuntimeFolder()).
Answer<std::string> InstanceSocketPath(std::string_view name, const std::string& folder = {});

// Passes `request` to the running copy through its socket and waits (at
// most two seconds) for its answer. Fails with ECONNREFUSED or ENOENT when
// no copy runs.
OsStatus SendInstanceRequest(InstanceRequest request, const std::string& folder = {});

// Whether a copy listens on its socket now; nothing is asked of it.
bool InstanceAnswers(const std::string& folder = {});

}  // namespace pelorin::linux_os
