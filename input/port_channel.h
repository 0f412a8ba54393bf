#pragma once
#include <cstdint>
#include <memory>
#include <optional>

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
//
// A channel that watches for its port's return becomes "lost" when its
// port's status read fails or its open fails: it releases the device, so
// that the driver can free an unplugged adapter, keeps the port it was
// given, and reads all lines released until Reopen brings the port back.
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
  // Opens the device at `device_path` instead of a numbered port, as Open
  // does; the port number `number` is only kept for the tray tip's word on a
  // lost port. An empty path opens `number` with Open.
  bool Open(ComPortNumber number, const std::string& device_path);
  // Closes the device if open and forgets the port: a lost channel is no
  // longer lost. Does nothing on a channel that holds no port.
  void Close();
  // Reads the four lines and keeps them. A channel that is not open, or
  // whose status read fails, reads all four lines false: never stale levels.
  LineLevels ReadLines();
  // Raises or clears RTS. Issued without testing the open flag: on a channel
  // that is not open it has no effect. The LED driver asks at every step; a
  // level the device already has costs no call into the driver (nothing but
  // this channel switches RTS while it holds the device), and a switch that
  // failed is tried again at the next step. A failing switch is traced once,
  // and again only after it has worked.
  void SetRts(bool raised);

  bool IsOpen() const { return device_ != nullptr; }

  // Whether a failed status read or open makes the channel lost (on) or
  // leaves it as it is (off: the device stays open and reads as released,
  // and a failed open waits for the next Open). Off by default; turning it
  // off ends a loss, and the channel then simply stays not open.
  void WatchForReturn(bool on) { watch_for_return_ = on; }
  // The channel waits for its port: it has a port, holds no device and
  // watches for the port's return.
  bool IsLost() const {
    return watch_for_return_ && (wanted_.value != 0 || !wanted_path_.empty()) && device_ == nullptr;
  }
  // The port a lost channel waits for (0 when it waits for none).
  ComPortNumber LostPort() const { return IsLost() ? wanted_ : ComPortNumber{}; }
  // Tries once to open the port of a lost channel, without any box, and
  // raises DTR when it opens. True when the channel holds its port again.
  bool Reopen();
  // The levels of the last ReadLines.
  const LineLevels& Lines() const { return lines_; }
  // The device handle for the port handle query: 0 before the first open
  // attempt, the invalid handle value (-1) after a close or a failed open.
  std::intptr_t Handle() const;

 private:
  void ShowNoPortSelected();
  // Opens the wanted port, sets it up and raises DTR; keeps the device only
  // if all succeed.
  OsStatus OpenDevice();
  // The port as the trace and the boxes name it: "COM<n>" or the path.
  std::string WantedName() const;
  bool OpenWanted();
  void ShowOpenError(const OsError& cause);
  void ReleaseDevice();

  PortRole role_;
  SerialPorts& ports_;
  MessageBoxes& boxes_;
  WindowId owner_ = kNoWindow;
  std::unique_ptr<SerialDevice> device_;
  ComPortNumber wanted_;     // the port of the last Open; 0 after Close
  std::string wanted_path_;  // the device path of the last Open; empty: by number
  bool watch_for_return_ = false;
  LineLevels lines_;
  std::intptr_t closed_handle_ = 0;
  bool rts_failing_ = false;
  // The level the held device's RTS was last switched to; none before the
  // first switch of a newly opened device and after a failed one.
  std::optional<bool> rts_level_;
};

// The message texts, exactly as the user sees them.
inline constexpr const char* kSelectPrimaryPortText = "Select primary COM port.";
inline constexpr const char* kSelectSecondaryPortText = "Select secondary COM port.";
// "Error opening COM<n>.\r\rMake sure the selected port\rexists and it is free."
std::string OpenErrorText(ComPortNumber number);
// The same for a device opened by its path.
std::string OpenErrorText(const std::string& device_path);

}  // namespace pelorin
