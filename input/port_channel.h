#pragma once
#include <cstdint>
#include <memory>

#include "config/settings.h"
#include "input/decoder.h"
#include "platform/com_port.h"
#include "platform/identity.h"
#include "platform/message_box.h"
#include "platform/serial_device.h"

namespace pelorin {

// One of the two serial port channels: opens the chosen port, raises DTR,
// reads the four modem-status lines and switches RTS. The only place that
// talks to the serial device.
class PortChannel {
 public:
  PortChannel(PortRole role, SerialPorts& ports, MessageBoxes& boxes);

  // The window that owns this channel's message boxes.
  void SetOwner(WindowId owner) { owner_ = owner; }

  // Opens port 1..255 (COM1..COM255). Any other number means no port is
  // selected: the "Select ... COM port." box is shown and the channel is left
  // as it was. Otherwise the channel is closed first, the port opened, its
  // lines set up and DTR raised, in that order; if any of these fails, the
  // cause goes to the trace, the "Error opening COM" box is shown and the
  // channel is left not open.
  bool Open(ComPortNumber number);
  // Closes the device if open; does nothing otherwise.
  void Close();
  // Reads the four lines and keeps them. A channel that is not open, or
  // whose status read fails, reads all four lines false: never stale levels.
  LineLevels ReadLines();
  // Raises or clears RTS. Issued without testing the open flag: on a channel
  // that is not open it has no effect. The LED is written on every step, so
  // a failing switch is traced once, and again only after it has worked.
  void SetRts(bool raised);

  bool IsOpen() const { return device_ != nullptr; }
  // The levels of the last ReadLines.
  const LineLevels& Lines() const { return lines_; }
  // The device handle for the port handle query: 0 before the first open
  // attempt, the invalid handle value (-1) after a close or a failed open.
  std::intptr_t Handle() const;

 private:
  void ShowNoPortSelected();
  // Opens, sets up and raises DTR; keeps the device only if all succeed.
  OsStatus OpenDevice(ComPortNumber number);
  void ShowOpenError(ComPortNumber number);

  PortRole role_;
  SerialPorts& ports_;
  MessageBoxes& boxes_;
  WindowId owner_ = kNoWindow;
  std::unique_ptr<SerialDevice> device_;
  LineLevels lines_;
  std::intptr_t closed_handle_ = 0;
  bool rts_failing_ = false;
};

// The message texts, exactly as the user sees them.
inline constexpr const char* kSelectPrimaryPortText = "Select primary COM port.";
inline constexpr const char* kSelectSecondaryPortText = "Select secondary COM port.";
// "Error opening COM<n>.\r\rMake sure the selected port\rexists and it is free."
std::string OpenErrorText(ComPortNumber number);

}  // namespace pelorin
