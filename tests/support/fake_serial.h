#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace pelorin::testing {

// The state of one simulated port, shared between the test and the device
// objects that open it. Tests set `status` (kModem* bits) and read the
// outputs and the call history.
struct FakePortState {
  bool exists = true;
  bool open = false;               // held by a device object now
  std::uint32_t status = 0;        // modem-status word the device reports
  bool status_read_fails = false;  // e.g. the adapter was unplugged
  bool dtr = false;
  bool rts = false;
  int opens = 0;  // successful opens so far
  int dtr_raises = 0;
  std::vector<bool> rts_writes;  // every SetRts call, in order
  // Every set-up and output call, in order: "set up", "DTR on", "DTR off",
  // "RTS on", "RTS off".
  std::vector<std::string> line_calls;
  // Calls that fail with ERROR_GEN_FAILURE (31), as a device that refuses
  // them does: SetCommState, or the escape function for DTR or for RTS. A
  // failed call changes no output.
  bool set_up_fails = false;
  bool dtr_fails = false;
  bool rts_fails = false;
};

class FakeSerialPorts final : public SerialPorts {
 public:
  // The status bit of hardware button 1..4 under the default line
  // assignment (DCD, DSR, CTS, RI).
  static std::uint32_t LineOf(int hardware_button) {
    constexpr std::uint32_t kBits[] = {kModemDcd, kModemDsr, kModemCts, kModemRing};
    return kBits[hardware_button - 1];
  }
  // Holds (or lets go of) hardware button 1..4 of port `number`.
  void Hold(int number, int hardware_button, bool down = true) {
    std::uint32_t& status = Port(number).status;
    status = down ? (status | LineOf(hardware_button)) : (status & ~LineOf(hardware_button));
  }

  // The port `number` (1..255); ports a test never touched do not exist.
  FakePortState& Port(int number) { return ports_[number]; }

  std::vector<ComPortNumber> ReportedPorts() const override { return reported; }
  std::vector<ComPortNumber> reported;  // what ReportedPorts answers

  // Fails as Windows does: a missing port with ERROR_FILE_NOT_FOUND, a held
  // one with ERROR_ACCESS_DENIED.
  Opened<SerialDevice> Open(int number) override;
  std::vector<int> open_requests;  // every port number asked for
  // Paths fail to open (the seam's default). The system is one without
  // them, as Windows, unless a test plays one that has them: then they count
  // as openable and `devices` is what ReportedDevices answers.
  bool OpensPaths() const override { return opens_paths; }
  bool opens_paths = false;
  std::vector<SerialDeviceName> ReportedDevices() const override { return devices; }
  std::vector<SerialDeviceName> devices;

 private:
  std::map<int, FakePortState> ports_;
};

}  // namespace pelorin::testing
