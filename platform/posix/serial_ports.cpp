#include "platform/posix/serial_ports.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

#include "platform/posix/serial_device_list.h"
#include "platform/posix/system_error.h"
#include "platform/posix/unique_fd.h"

namespace pelorin::posix {
namespace {

// TIOCM_* bits to the kModem* bits of the status word.
std::uint32_t ModemStatusWord(int tiocm) {
  std::uint32_t word = 0;
  if (tiocm & TIOCM_CTS) word |= kModemCts;
  if (tiocm & TIOCM_DSR) word |= kModemDsr;
  if (tiocm & TIOCM_RNG) word |= kModemRing;
  if (tiocm & TIOCM_CAR) word |= kModemDcd;
  return word;
}

class TtyPort final : public SerialDevice {
 public:
  TtyPort(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
  ~TtyPort() override {
    // Exclusive mode belongs to the tty, not to the descriptor; a
    // pseudo-terminal keeps it after the slave closes, so drop it before
    // closing or the next open of the same port would find it held.
    ::ioctl(fd_.Get(), TIOCNXCL);
  }

  std::optional<std::uint32_t> ReadModemStatus() override {
    int bits = 0;
    if (::ioctl(fd_.Get(), TIOCMGET, &bits) != 0) return std::nullopt;
    return ModemStatusWord(bits);
  }
  // Hardware flow control would let the driver switch RTS itself, software
  // flow control would stall on stray bytes, and without CLOCAL a button
  // released on DCD would count as a hang-up of the line.
  OsStatus SetUpModemLines() override {
    termios settings{};
    if (::tcgetattr(fd_.Get(), &settings) != 0) return LastError("tcgetattr", path_);
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    settings.c_cflag |= CLOCAL;
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (::tcsetattr(fd_.Get(), TCSANOW, &settings) != 0) return LastError("tcsetattr", path_);
    return Switch(TIOCM_RTS, false);
  }
  OsStatus SetDtr(bool raised) override { return Switch(TIOCM_DTR, raised); }
  OsStatus SetRts(bool raised) override { return Switch(TIOCM_RTS, raised); }
  std::intptr_t RawHandle() const override { return fd_.Get(); }

 private:
  OsStatus Switch(int bit, bool raised) {
    const unsigned long request = raised ? TIOCMBIS : TIOCMBIC;
    if (::ioctl(fd_.Get(), request, &bit) != 0) {
      return LastError(raised ? "TIOCMBIS" : "TIOCMBIC", path_);
    }
    return {};
  }

  UniqueFd fd_;
  std::string path_;
};

// Takes the tty for this descriptor alone: fails with EBUSY when another
// descriptor already holds it (exclusive mode set, or a flock taken). On
// success the lock is ours and exclusive mode is set.
OsStatus TakeExclusive(int fd, const std::string& path) {
  int already_exclusive = 0;
  if (::ioctl(fd, TIOCGEXCL, &already_exclusive) == 0 && already_exclusive) {
    return SystemError(EBUSY, "TIOCGEXCL", path);
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = errno;
    return SystemError(code == EWOULDBLOCK ? EBUSY : code, "flock", path);
  }
  if (::ioctl(fd, TIOCEXCL) != 0) return LastError("TIOCEXCL", path);
  return {};
}

}  // namespace

void SerialPorts::SetDevicePath(int number, std::string path) {
  if (path.empty()) {
    paths_.erase(number);
  } else {
    paths_[number] = std::move(path);
  }
}

std::string SerialPorts::DevicePath(int number) const {
  auto it = paths_.find(number);
  if (it != paths_.end()) return it->second;
  return "/dev/ttyS" + std::to_string(number - 1);
}

Opened<SerialDevice> SerialPorts::Open(int number) {
  if (number < 1) return SystemError(ENODEV, "open", "port " + std::to_string(number));
  return OpenPath(DevicePath(number));
}

Opened<SerialDevice> SerialPorts::OpenPath(const std::string& path) {
  // Non-blocking so that a port waiting for carrier does not hang the open;
  // no controlling terminal, since this is a device and not a session.
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) return LastError("open", path);
  if (!::isatty(fd.Get())) return LastError("isatty", path);
  if (OsStatus taken = TakeExclusive(fd.Get(), path); !taken) return taken.error();
  return std::make_unique<TtyPort>(std::move(fd), path);
}

std::vector<ComPortNumber> SerialPorts::ReportedPorts() const {
  std::vector<ComPortNumber> ports;
  for (const auto& [number, path] : paths_) {
    if (IsComPortNumber(number)) ports.push_back(ComPortNumber{number});
  }
  return ports;
}

std::vector<SerialDeviceName> SerialPorts::ReportedDevices() const {
  return ListSerialDevices("/dev");
}

}  // namespace pelorin::posix
