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
  void SetDtr(bool raised) override {
    state_.dtr = raised;
    if (raised) ++state_.dtr_raises;
  }
  void SetRts(bool raised) override {
    state_.rts = raised;
    state_.rts_writes.push_back(raised);
  }
  std::intptr_t RawHandle() const override { return 0x100 + number_; }

 private:
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
