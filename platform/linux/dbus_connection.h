#pragma once
// A connection to a message bus on its socket: the bus address, the
// authentication as this user, the daemon's Hello, and whole messages sent
// and read without the reader ever waiting past a deadline.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/dbus_message.h"
#include "platform/os_error.h"
#include "platform/posix/unique_fd.h"

namespace pelorin::dbus {

// A message kept beyond the read that brought it.
struct Reply {
  Header header;
  bool big_endian = false;
  std::string body;
};

class Connection {
 public:
  using Deadline = std::chrono::steady_clock::time_point;
  // Hands over every message that is not the reply a call waits for:
  // signals, calls from other programs, late replies.
  using Handler = std::function<void(const Message&)>;

  // Connects to the first address in `addresses` (the bus's address list,
  // "unix:path=/run/user/1000/bus;unix:abstract=...") that accepts,
  // authenticates and says Hello, all before `deadline`.
  static Opened<Connection> Open(std::string_view addresses, Deadline deadline);

  ~Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Whether the connection still stands; a broken one stays broken.
  bool IsOpen() const { return !broken_; }
  // The socket, also once broken (it is closed with the connection), so
  // that a loop watching it can still tell which descriptor to drop.
  int Fd() const { return fd_.Get(); }
  void OnMessage(Handler handler) { handler_ = std::move(handler); }

  // Sends a method call (its serial is set here) and waits until `deadline`
  // for its reply, a method return or an error. Fails with ETIMEDOUT, or
  // ECONNRESET when the connection broke (it stays broken).
  Answer<Reply> Call(Header call, std::string_view body, Deadline deadline);
  // Sends a message that expects no reply.
  OsStatus Send(Header message, std::string_view body, Deadline deadline);
  // Reads what has arrived, without waiting, and hands every whole message
  // to the handler; false when the connection broke.
  bool ReadArrived();

 private:
  explicit Connection(posix::UniqueFd fd) : fd_(std::move(fd)) {}
  OsStatus Authenticate(Deadline deadline);
  OsStatus SendBytes(std::string_view bytes, Deadline deadline);
  // Reads once, after waiting for input until `deadline` if `wait`: the
  // number of bytes read, nullopt when broken or the deadline passed.
  std::optional<std::size_t> Fill(Deadline deadline, bool wait);
  // Handles the whole messages in the buffer; the reply to `awaited`, if
  // among them, goes to `reply`. False on a message that breaks the format.
  bool Dispatch(std::uint32_t awaited, std::optional<Reply>& reply);
  void Break();
  std::uint32_t NextSerial();

  posix::UniqueFd fd_;
  bool broken_ = false;
  std::string input_;
  std::uint32_t last_serial_ = 0;
  Handler handler_;
};

}  // namespace pelorin::dbus
