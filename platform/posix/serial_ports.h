#pragma once
#include <map>
#include <string>

#include "platform/serial_device.h"

namespace pelorin::posix {

// Serial ports as Linux tty devices, driven through the modem-control
// ioctls (TIOCMGET, TIOCMBIS, TIOCMBIC); setting a port up turns flow
// control off and makes it ignore carrier (CLOCAL), and leaves speed and
// framing as they are.
//
// Port numbers map to device paths through a table: by default port n is
// /dev/ttyS<n-1> (COM1 is /dev/ttyS0), and any number can be pointed at
// another device, e.g. a USB adapter (/dev/ttyUSB0) or a pseudo-terminal.
// The reported ports are the numbers pointed at a device this way: every
// /dev/ttyS<n> exists whether or not a port is behind it, so the default
// table says nothing about what is present.
//
// The reported devices are those ListSerialDevices finds in /dev.
//
// A port is held exclusively while open: it fails to open when another
// descriptor already holds it (an exclusive-mode tty or a flock on it), and
// once open it is put into exclusive mode (TIOCEXCL) and flock'ed, so other
// programs that respect either convention are kept out. A held port fails
// with EBUSY, a missing one with ENOENT, a device that is no terminal with
// ENOTTY.
class SerialPorts final : public pelorin::SerialPorts {
 public:
  // Points port `number` at `path` (an empty path restores the default).
  void SetDevicePath(int number, std::string path);
  // The device path port `number` opens.
  std::string DevicePath(int number) const;

  std::vector<ComPortNumber> ReportedPorts() const override;
  Opened<SerialDevice> Open(int number) override;
  Opened<SerialDevice> OpenPath(const std::string& path) override;
  bool OpensPaths() const override { return true; }
  std::vector<SerialDeviceName> ReportedDevices() const override;

 private:
  std::map<int, std::string> paths_;
};

}  // namespace pelorin::posix
