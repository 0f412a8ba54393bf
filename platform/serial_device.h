#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/com_port.h"
#include "platform/os_error.h"

namespace pelorin {

// Bits of the modem-status word, with the values Windows uses
// (MS_CTS_ON, MS_DSR_ON, MS_RING_ON, MS_RLSD_ON).
inline constexpr std::uint32_t kModemCts = 0x10;
inline constexpr std::uint32_t kModemDsr = 0x20;
inline constexpr std::uint32_t kModemRing = 0x40;
inline constexpr std::uint32_t kModemDcd = 0x80;

// One open serial port. Closing is destruction: the device is released when
// the object goes away. All calls come from the user-interface thread.
class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  // The current modem-status word (the kModem* bits), or nothing when the
  // status cannot be read (for example a USB adapter that was unplugged).
  virtual std::optional<std::uint32_t> ReadModemStatus() = 0;
  // Puts the port into the state its modem lines need, whatever the program that used it
  // before left behind: DTR under the program's control (a port left in DTR handshaking would
  // take it back; it may rise here already), RTS switched only by SetRts and starting low, no
  // flow control of either kind, reads that return at once and writes that give up rather than
  // hang. Speed and framing stay as they are. Call it once after opening, before the first SetDtr.
  virtual OsStatus SetUpModemLines() = 0;
  // Raises or lowers the DTR output (the buttons' supply).
  virtual OsStatus SetDtr(bool raised) = 0;
  // Raises or lowers the RTS output (the LED).
  virtual OsStatus SetRts(bool raised) = 0;
  // The operating system's handle value of the open device, as answered to
  // another program's port handle query.
  virtual std::intptr_t RawHandle() const = 0;
};

// A serial device the system offers, by the path that opens it. A stable
// name (a link such as "/dev/serial/by-id/usb-FTDI_...-port0") stands for
// the device it points at now, whose own name the system gives it on
// arrival ("ttyUSB0"); that name helps a user match it with other programs.
struct SerialDeviceName {
  std::string path;
  // The system's name of the device a stable name stands for now; empty
  // when `path` is the device itself.
  std::string stands_for;

  bool operator==(const SerialDeviceName&) const = default;
};

// Opens serial ports by number, and says which ports the system knows.
class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // The ports the system reports as present now, in number order, each
  // once; empty when it reports none or the list cannot be read. A port may
  // still open without being listed, or fail to open although listed.
  virtual std::vector<ComPortNumber> ReportedPorts() const = 0;
  // Opens port `number` (1 for COM1 ... 255 for COM255) for reading and
  // writing, exclusively: a port already open here or in another program
  // fails. On failure the result says why: the port is missing, held by
  // another program or by this one, or access to it is refused.
  virtual Opened<SerialDevice> Open(int number) = 0;
  // Opens the device at `path` (such as "/dev/serial/by-id/...") as Open
  // opens a numbered port. Systems whose ports have no such paths fail
  // (the default).
  virtual Opened<SerialDevice> OpenPath(const std::string& path) {
    return OsError{0, "open", path, "serial ports cannot be opened by path on this system"};
  }
  // Whether OpenPath can open anything here. Where it cannot, a device path
  // in the settings (written by the edition of a system that has them) is
  // kept but not used: the port number is opened instead.
  virtual bool OpensPaths() const { return false; }
  // The serial devices present now, by the paths OpenPath takes, in the
  // order a list offers them, each device once; empty where ports have no
  // paths (the default) or none are present. Listing may open a device for
  // a moment to see what is behind it, but never waits for one.
  virtual std::vector<SerialDeviceName> ReportedDevices() const { return {}; }
};

}  // namespace pelorin
