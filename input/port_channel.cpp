#include "input/port_channel.h"

#include <optional>
#include <string>

#include "platform/trace.h"

namespace pelorin {

std::string OpenErrorText(ComPortNumber number) {
  return OpenErrorText("COM" + std::to_string(number.value));
}

std::string OpenErrorText(const std::string& device_path) {
  return "Error opening " + device_path +
         ".\r\rMake sure the selected port\rexists and it is free.";
}

PortChannel::PortChannel(PortRole role, SerialPorts& ports, MessageBoxes& boxes)
    : role_(role), ports_(ports), boxes_(boxes) {}

bool PortChannel::Open(ComPortNumber number) {
  if (!IsComPortNumber(number.value)) {
    ShowNoPortSelected();
    return false;
  }
  Close();
  // Kept before the box below: a port that arrives while the box is up may
  // already be brought back from the box's message loop.
  wanted_ = number;
  return OpenWanted();
}

bool PortChannel::Open(ComPortNumber number, const std::string& device_path) {
  if (device_path.empty() || !ports_.OpensPaths()) return Open(number);
  Close();
  wanted_ = number;
  wanted_path_ = device_path;
  return OpenWanted();
}

bool PortChannel::OpenWanted() {
  if (OsStatus opened = OpenDevice(); !opened) {
    // The box says that the port failed; the trace, and a box that can show
    // more than its text, say why.
    Trace("Opening " + WantedName() + " failed: " + Describe(opened.error()));
    closed_handle_ = -1;  // what a failed open leaves in the handle
    ShowOpenError(opened.error());
    return false;
  }
  return true;
}

std::string PortChannel::WantedName() const {
  return wanted_path_.empty() ? "COM" + std::to_string(wanted_.value) : wanted_path_;
}

OsStatus PortChannel::OpenDevice() {
  Opened<SerialDevice> opened =
      wanted_path_.empty() ? ports_.Open(wanted_.value) : ports_.OpenPath(wanted_path_);
  if (!opened) return opened.error();
  // The lines are set up before DTR rises: a port left in DTR handshaking by
  // another program would otherwise refuse the switch or drop it again. A
  // device that fails here is released before the error box appears.
  if (OsStatus set_up = opened->SetUpModemLines(); !set_up) return set_up;
  if (OsStatus dtr = opened->SetDtr(true); !dtr) return dtr;
  device_ = opened.Release();
  rts_failing_ = false;
  rts_level_.reset();
  return {};
}

void PortChannel::Close() {
  ReleaseDevice();
  wanted_ = {};
  wanted_path_.clear();
  lines_ = {};
}

void PortChannel::ReleaseDevice() {
  if (device_) closed_handle_ = -1;
  device_.reset();
}

bool PortChannel::Reopen() {
  if (!IsLost()) return IsOpen();
  // Failures are expected here once a second while the port is away; only
  // the return is worth a line. The port is set up as on every open.
  if (!OpenDevice()) return false;
  Trace(WantedName() + " is back");
  return true;
}

LineLevels PortChannel::ReadLines() {
  std::uint32_t word = 0;
  if (device_) {
    // A failed read (an unplugged adapter) counts as all lines released.
    const std::optional<std::uint32_t> status = device_->ReadModemStatus();
    if (status) {
      word = *status;
    } else if (watch_for_return_) {
      Trace(WantedName() + " lost: its status read failed");
      ReleaseDevice();
    }
  }
  lines_.dcd = (word & kModemDcd) != 0;
  lines_.dsr = (word & kModemDsr) != 0;
  lines_.cts = (word & kModemCts) != 0;
  lines_.ri = (word & kModemRing) != 0;
  return lines_;
}

void PortChannel::SetRts(bool raised) {
  if (!device_ || rts_level_ == raised) return;
  const OsStatus switched = device_->SetRts(raised);
  if (!switched && !rts_failing_) Trace("Switching the LED failed: " + Describe(switched.error()));
  rts_failing_ = !switched;
  rts_level_ = switched ? std::optional<bool>(raised) : std::nullopt;
}

std::intptr_t PortChannel::Handle() const {
  return device_ ? device_->RawHandle() : closed_handle_;
}

void PortChannel::ShowNoPortSelected() {
  MessageBoxRequest box;
  box.owner = owner_;
  box.text = role_ == PortRole::Primary ? kSelectPrimaryPortText : kSelectSecondaryPortText;
  box.caption = kProgramCaption;
  box.icon = MessageIcon::Information;
  boxes_.Show(box);
}

void PortChannel::ShowOpenError(const OsError& cause) {
  MessageBoxRequest box;
  box.owner = owner_;
  box.text = wanted_path_.empty() ? OpenErrorText(wanted_) : OpenErrorText(wanted_path_);
  // The system's words with the device they concern; the whole trace line
  // where the system gave none.
  box.detail = cause.text.empty() ? Describe(cause) : cause.subject + ": " + cause.text;
  box.caption = kProgramCaption;
  box.icon = MessageIcon::Error;
  boxes_.Show(box);
}

}  // namespace pelorin
