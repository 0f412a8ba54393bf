#pragma once
#include <string>
#include <vector>

#include "platform/os_error.h"
#include "platform/posix/unique_fd.h"

namespace pelorin::linux_os {

// Tells the event loop that a device may have arrived: a file was created
// in, moved into, or changed its owner or mode in the device folder (/dev),
// its serial/ folder or serial/by-id/. A USB serial adapter that is plugged
// in shows up as its device node first and may be opened only once udev has
// given it its group, which the change of owner or mode tells.
//
// The serial/ and serial/by-id/ folders exist only while such an adapter
// is present: a missing one is watched for from its parent and added when
// it appears, and dropped when it goes.
class DeviceArrivalWatch {
 public:
  // Watches `devices` (a folder like /dev) and the folders under it.
  static Opened<DeviceArrivalWatch> Open(const std::string& devices = "/dev");

  // Readable when something happened; for the event loop.
  int fd() const { return inotify_.Get(); }

  // Reads everything that happened since the last call, without waiting;
  // true when a device may have arrived (or so much happened that the
  // system lost count).
  bool Drain();

 private:
  struct Folder {
    std::string path;
    int watch = -1;  // -1 while the folder is missing
  };

  explicit DeviceArrivalWatch(posix::UniqueFd inotify, const std::string& devices);
  // Adds a watch for every folder that exists and has none.
  void WatchFoldersPresent();

  posix::UniqueFd inotify_;
  std::vector<Folder> folders_;
};

}  // namespace pelorin::linux_os
