#pragma once
#include <string>

#include "platform/serial_device.h"

namespace pelorin::win32 {

// "\\.\COM<number>": the device-namespace form, which reaches COM10 and up as
// well as COM1..COM9.
std::string ComPortPath(int number);

// Serial ports through the Win32 communications API. A port is opened for
// reading and writing with no sharing, so a port that another program (or
// the other channel of this one) holds fails to open. The port's speed,
// framing and handshake are never touched: only the modem lines are used.
class SerialPorts final : public pelorin::SerialPorts {
 public:
  std::unique_ptr<SerialDevice> Open(int number) override;
};

}  // namespace pelorin::win32
