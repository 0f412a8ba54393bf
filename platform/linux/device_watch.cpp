#include "platform/linux/device_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "platform/posix/system_error.h"

namespace pelorin::linux_os {
namespace {

// What counts as a possible arrival. IN_ONLYDIR: a file of the folder's
// name is no folder to watch.
constexpr std::uint32_t kArrivals = IN_CREATE | IN_MOVED_TO | IN_ATTRIB | IN_ONLYDIR;

}  // namespace

Opened<DeviceArrivalWatch> DeviceArrivalWatch::Open(const std::string& devices) {
  posix::UniqueFd inotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (!inotify.Valid()) return posix::LastError("inotify_init1", devices);
  std::unique_ptr<DeviceArrivalWatch> watch(new DeviceArrivalWatch(std::move(inotify), devices));
  if (watch->folders_.front().watch < 0) return posix::LastError("inotify_add_watch", devices);
  return watch;
}

DeviceArrivalWatch::DeviceArrivalWatch(posix::UniqueFd inotify, const std::string& devices)
    : inotify_(std::move(inotify)),
      folders_{{devices, -1}, {devices + "/serial", -1}, {devices + "/serial/by-id", -1}} {
  WatchFoldersPresent();
}

void DeviceArrivalWatch::WatchFoldersPresent() {
  for (Folder& folder : folders_) {
    // A folder that is missing (or not a folder) is tried again at the next
    // event of its parent.
    if (folder.watch < 0)
      folder.watch = ::inotify_add_watch(inotify_.Get(), folder.path.c_str(), kArrivals);
  }
}

bool DeviceArrivalWatch::Drain() {
  bool arrived = false;
  // Aligned for the events the kernel writes into it.
  alignas(inotify_event) std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t length = ::read(inotify_.Get(), buffer.data(), buffer.size());
    if (length < 0 && errno == EINTR) continue;
    if (length <= 0) break;  // EAGAIN: all read
    for (ssize_t at = 0; at < length;) {
      inotify_event event{};
      std::memcpy(&event, buffer.data() + at, sizeof(event));
      at += static_cast<ssize_t>(sizeof(event) + event.len);
      if ((event.mask & IN_Q_OVERFLOW) != 0) arrived = true;
      if ((event.mask & (IN_CREATE | IN_MOVED_TO | IN_ATTRIB)) != 0) arrived = true;
      if ((event.mask & IN_IGNORED) != 0) {
        // The folder went (the last adapter was unplugged).
        for (Folder& folder : folders_) {
          if (folder.watch == event.wd) folder.watch = -1;
        }
      }
    }
  }
  WatchFoldersPresent();
  return arrived;
}

}  // namespace pelorin::linux_os
