#include "platform/posix/serial_ports.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

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
  explicit TtyPort(UniqueFd fd) : fd_(std::move(fd)) {}
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
  // Outputs feed buttons and an LED only; a failed switch is ignored on
  // purpose (the contract of SerialDevice).
  void SetDtr(bool raised) override { Switch(TIOCM_DTR, raised); }
  void SetRts(bool raised) override { Switch(TIOCM_RTS, raised); }
  std::intptr_t RawHandle() const override { return fd_.Get(); }

 private:
  void Switch(int bit, bool raised) { ::ioctl(fd_.Get(), raised ? TIOCMBIS : TIOCMBIC, &bit); }

  UniqueFd fd_;
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
  const std::string path = DevicePath(number);
  // Non-blocking so that a port waiting for carrier does not hang the open;
  // no controlling terminal, since this is a device and not a session.
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) return LastError("open", path);
  if (!::isatty(fd.Get())) return LastError("isatty", path);
  if (OsStatus taken = TakeExclusive(fd.Get(), path); !taken) return taken.error();
  return std::make_unique<TtyPort>(std::move(fd));
}

}  // namespace pelorin::posix
