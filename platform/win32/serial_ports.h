#pragma once
#include <memory>
#include <set>
#include <string>

#include "platform/serial_device.h"

namespace pelorin::win32 {

// "\\.\COM<number>": the device-namespace form, which reaches COM10 and up as
// well as COM1..COM9.
std::string ComPortPath(int number);

// Serial ports through the Win32 communications API. A port is opened for
// reading and writing with no sharing, so a port that another program holds
// fails to open. Only the modem lines are used: setting up a port turns its
// handshakes off (GetCommState, SetCommState) and makes reads and writes
// non-blocking (SetCommTimeouts); speed and framing stay as they were.
//
// The reported ports are the "COMn" values under
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, which Windows keeps for the ports
// present now (USB and Bluetooth adapters included) and lets every user read.
//
// A port already held through this object is refused before the system is
// asked, with ERROR_BUSY. Windows' serial driver refuses a second open by
// itself (ERROR_ACCESS_DENIED, as for a port another program holds), but
// Wine's does not, and two channels on one port would then report the same
// buttons twice. A missing port fails with ERROR_FILE_NOT_FOUND.
class SerialPorts final : public pelorin::SerialPorts {
 public:
  std::vector<ComPortNumber> ReportedPorts() const override;
  Opened<SerialDevice> Open(int number) override;

 private:
  // Port numbers whose devices are alive; shared with the devices, which
  // remove themselves when destroyed, even after this object is gone.
  std::shared_ptr<std::set<int>> held_ = std::make_shared<std::set<int>>();
};

}  // namespace pelorin::win32
