#include "fake_serial.h"

#include <string>

#include "fake_errors.h"

namespace pelorin::testing {
namespace {

class FakeDevice final : public SerialDevice {
 public:
  FakeDevice(FakePortState& state, int number) : state_(state), number_(number) {
    state_.open = true;
    ++state_.opens;
  }
  ~FakeDevice() override {
    state_.open = false;
    state_.dtr = false;  // the device forgets its outputs once released
    state_.rts = false;
  }
  std::optional<std::uint32_t> ReadModemStatus() override {
    if (state_.status_read_fails || !state_.exists) return std::nullopt;
    return state_.status;
  }
  OsStatus SetUpModemLines() override {
    state_.line_calls.emplace_back("set up");
    if (state_.set_up_fails) return Refused("SetCommState");
    state_.rts = false;
    return {};
  }
  OsStatus SetDtr(bool raised) override {
    state_.line_calls.emplace_back(raised ? "DTR on" : "DTR off");
    if (state_.dtr_fails) return Refused("EscapeCommFunction");
    state_.dtr = raised;
    if (raised) ++state_.dtr_raises;
    return {};
  }
  OsStatus SetRts(bool raised) override {
    state_.line_calls.emplace_back(raised ? "RTS on" : "RTS off");
    state_.rts_writes.push_back(raised);
    if (state_.rts_fails) return Refused("EscapeCommFunction");
    state_.rts = raised;
    return {};
  }
  std::intptr_t RawHandle() const override { return 0x100 + number_; }

 private:
  OsError Refused(std::string_view operation) const {
    return OsError{kFakeGeneralFailure, operation, "COM" + std::to_string(number_)};
  }

  FakePortState& state_;
  int number_;
};

}  // namespace

Opened<SerialDevice> FakeSerialPorts::Open(int number) {
  open_requests.push_back(number);
  const std::string name = "COM" + std::to_string(number);
  auto it = ports_.find(number);
  if (it == ports_.end() || !it->second.exists) return OsError{kFakeNotFound, "open", name};
  if (it->second.open) return OsError{kFakeAccessDenied, "open", name};
  return std::make_unique<FakeDevice>(it->second, number);
}

}  // namespace pelorin::testing
