#include "platform/linux/dbus_connection.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/posix/system_error.h"

namespace pelorin::dbus {

namespace {

constexpr std::string_view kConnect = "D-Bus connect";
constexpr std::string_view kCall = "D-Bus call";
// Longer lines than this in the authentication are not the bus's.
constexpr std::size_t kMaxAuthLine = 16384;
constexpr std::size_t kReadChunk = 4096;

using Clock = std::chrono::steady_clock;

OsError Failure(int code, std::string_view operation, std::string subject, std::string text = {}) {
  OsError error = posix::SystemError(code, operation, std::move(subject));
  if (!text.empty()) error.text = std::move(text);
  return error;
}

// Decodes the %XX escapes of an address value.
std::string Unescape(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size()) {
      const std::string hex(value.substr(i + 1, 2));
      char* end = nullptr;
      const long byte = std::strtol(hex.c_str(), &end, 16);
      if (end == hex.c_str() + 2) {
        out.push_back(static_cast<char>(byte));
        i += 2;
        continue;
      }
    }
    out.push_back(value[i]);
  }
  return out;
}

// The socket one entry of an address list names: a path, or an abstract
// name (with its leading NUL); nullopt for a transport this program does
// not speak.
std::optional<std::string> SocketOf(std::string_view entry) {
  if (!entry.starts_with("unix:")) return std::nullopt;
  entry.remove_prefix(5);
  while (!entry.empty()) {
    const std::size_t comma = entry.find(',');
    const std::string_view pair = entry.substr(0, comma);
    entry = comma == std::string_view::npos ? std::string_view() : entry.substr(comma + 1);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = pair.substr(0, equals);
    const std::string value = Unescape(pair.substr(equals + 1));
    if (key == "path" && !value.empty()) return value;
    if (key == "abstract" && !value.empty()) return std::string(1, '\0') + value;
    if (key == "runtime" && value == "yes") {
      const char* runtime = std::getenv("XDG_RUNTIME_DIR");  // NOLINT(concurrency-mt-unsafe)
      if (runtime != nullptr && runtime[0] != '\0') return std::string(runtime) + "/bus";
    }
  }
  return std::nullopt;
}

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 60'000));
}

// Waits for `events` on `fd` until `deadline`; false when it passed.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd, events, 0};
    const int left = MillisecondsLeft(deadline);
    const int ready = ::poll(&entry, 1, left);
    if (ready > 0) return true;
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0 && left > 0) continue;  // woke early by the rounding
    return false;
  }
}

OsStatus ConnectTo(const std::string& socket, Clock::time_point deadline, posix::UniqueFd& fd) {
  // An abstract name is shown as the tools show it, "@name".
  std::string shown = socket;
  if (shown[0] == '\0') shown[0] = '@';
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socket.size() >= sizeof address.sun_path) return Failure(ENAMETOOLONG, kConnect, shown);
  std::memcpy(address.sun_path, socket.data(), socket.size());
  // A path is given with its terminating NUL, an abstract name without.
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socket.size() +
                                             (socket[0] == '\0' ? 0 : 1));
  fd.Reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd.Valid()) return posix::LastError(kConnect, shown);
  for (;;) {
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), length) == 0) return {};
    const int error = errno;
    if (error == EINTR) continue;
    // A full queue of the bus's listening socket: try again shortly.
    if (error == EAGAIN && Clock::now() < deadline) {
      ::poll(nullptr, 0, 1);
      continue;
    }
    if (error != EINPROGRESS) return Failure(error, kConnect, shown);
    if (!WaitFor(fd.Get(), POLLOUT, deadline)) return Failure(ETIMEDOUT, kConnect, shown);
    int result = 0;
    socklen_t size = sizeof result;
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &result, &size) != 0) {
      return posix::LastError(kConnect, shown);
    }
    if (result != 0) return Failure(result, kConnect, shown);
    return {};
  }
}

// The user id as the EXTERNAL mechanism wants it: its decimal digits, in
// hexadecimal pairs.
std::string HexUserId() {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char digit : std::to_string(::getuid())) {
    hex.push_back(kDigits[(static_cast<unsigned char>(digit) >> 4U) & 0xFU]);
    hex.push_back(kDigits[static_cast<unsigned char>(digit) & 0xFU]);
  }
  return hex;
}

}  // namespace

Opened<Connection> Connection::Open(std::string_view addresses, Deadline deadline) {
  OsError last = Failure(EINVAL, kConnect, std::string(addresses), "no usable bus address");
  while (!addresses.empty()) {
    const std::size_t semicolon = addresses.find(';');
    const std::string_view entry = addresses.substr(0, semicolon);
    addresses =
        semicolon == std::string_view::npos ? std::string_view() : addresses.substr(semicolon + 1);
    const auto socket = SocketOf(entry);
    if (!socket) continue;
    posix::UniqueFd fd;
    if (auto status = ConnectTo(*socket, deadline, fd); !status) {
      last = status.error();
      continue;
    }
    std::unique_ptr<Connection> connection(new Connection(std::move(fd)));
    if (auto status = connection->Authenticate(deadline); !status) {
      last = status.error();
      continue;
    }
    Header hello;
    hello.destination = "org.freedesktop.DBus";
    hello.path = "/org/freedesktop/DBus";
    hello.interface = "org.freedesktop.DBus";
    hello.member = "Hello";
    auto reply = connection->Call(hello, {}, deadline);
    if (!reply) {
      last = reply.error();
      continue;
    }
    if (reply->header.type != MessageType::MethodReturn) {
      last = Failure(EACCES, kConnect, std::string(entry), reply->header.error_name);
      continue;
    }
    return connection;
  }
  return last;
}

OsStatus Connection::Authenticate(Deadline deadline) {
  // The NUL byte first, which would carry credentials on other systems.
  std::string request(1, '\0');
  request += "AUTH EXTERNAL " + HexUserId() + "\r\n";
  if (auto status = SendBytes(request, deadline); !status) return status;
  std::size_t end = std::string::npos;
  while ((end = input_.find("\r\n")) == std::string::npos) {
    if (input_.size() > kMaxAuthLine) return Failure(EPROTO, kConnect, "authentication");
    if (!Fill(deadline, true)) {
      return Failure(IsOpen() ? ETIMEDOUT : ECONNRESET, kConnect, "authentication");
    }
  }
  const std::string line = input_.substr(0, end);
  input_.erase(0, end + 2);
  if (!line.starts_with("OK ")) {
    return Failure(EACCES, kConnect, "authentication", "the bus refused: " + line);
  }
  return SendBytes("BEGIN\r\n", deadline);
}

std::uint32_t Connection::NextSerial() {
  if (++last_serial_ == 0) last_serial_ = 1;  // 0 is no serial
  return last_serial_;
}

OsStatus Connection::SendBytes(std::string_view bytes, Deadline deadline) {
  while (!bytes.empty()) {
    if (!IsOpen()) return Failure(ECONNRESET, kCall, "send");
    const ssize_t sent = ::send(fd_.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
      continue;
    }
    const int error = errno;
    if (error == EINTR) continue;
    if (error == EAGAIN) {
      if (WaitFor(fd_.Get(), POLLOUT, deadline)) continue;
      // Part of a message may be out: what follows it would be garbled.
      Break();
      return Failure(ETIMEDOUT, kCall, "send");
    }
    Break();
    return Failure(error, kCall, "send");
  }
  return {};
}

OsStatus Connection::Send(Header message, std::string_view body, Deadline deadline) {
  message.serial = NextSerial();
  return SendBytes(EncodeMessage(message, body), deadline);
}

std::optional<std::size_t> Connection::Fill(Deadline deadline, bool wait) {
  if (!IsOpen()) return std::nullopt;
  if (wait && !WaitFor(fd_.Get(), POLLIN, deadline)) return std::nullopt;
  // Most messages are short: they are read into a small buffer and kept
  // at their size. The rest of a long one is read in place, up to 1 MiB at
  // a time.
  ssize_t got = 0;
  int error = 0;
  const auto length = MessageLength(input_);
  if (length && *length > input_.size() + kReadChunk) {
    const std::size_t had = input_.size();
    const std::size_t want = std::min<std::size_t>(*length - had, 1U << 20U);
    input_.resize(had + want);
    got = ::recv(fd_.Get(), input_.data() + had, want, MSG_DONTWAIT);
    error = errno;
    input_.resize(had + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  } else {
    std::array<char, kReadChunk> chunk;  // NOLINT(cppcoreguidelines-pro-type-member-init)
    got = ::recv(fd_.Get(), chunk.data(), chunk.size(), MSG_DONTWAIT);
    error = errno;
    if (got > 0) input_.append(chunk.data(), static_cast<std::size_t>(got));
  }
  if (got > 0) return static_cast<std::size_t>(got);
  if (got < 0 && (error == EAGAIN || error == EINTR)) return 0;
  Break();  // the bus hung up, or the socket failed
  return std::nullopt;
}

bool Connection::Dispatch(std::uint32_t awaited, std::optional<Reply>& reply) {
  for (;;) {
    const auto length = MessageLength(input_);
    if (!length) return false;
    if (*length == 0 || input_.size() < *length) return true;
    const auto message = DecodeMessage(std::string_view(input_).substr(0, *length));
    if (!message) return false;
    const auto type = message->header.type;
    if (awaited != 0 && message->header.reply_serial == awaited &&
        (type == MessageType::MethodReturn || type == MessageType::Error)) {
      reply = Reply{message->header, message->big_endian, std::string(message->body)};
    } else if (handler_) {
      handler_(*message);
    }
    input_.erase(0, *length);
  }
}

bool Connection::ReadArrived() {
  std::optional<Reply> none;
  for (;;) {
    const auto got = Fill(Clock::now(), false);
    if (!got) return false;
    if (!Dispatch(0, none)) {
      Break();
      return false;
    }
    if (*got == 0) return true;  // nothing more has arrived
  }
}

Answer<Reply> Connection::Call(Header call, std::string_view body, Deadline deadline) {
  const std::string subject = call.destination + " " + call.member;
  call.serial = NextSerial();
  if (auto status = SendBytes(EncodeMessage(call, body), deadline); !status) return status.error();
  std::optional<Reply> reply;
  for (;;) {
    if (!Dispatch(call.serial, reply)) {
      Break();
      return Failure(EBADMSG, kCall, subject, "the bus sent a malformed message");
    }
    if (reply) return std::move(*reply);
    if (!IsOpen()) return Failure(ECONNRESET, kCall, subject);
    if (!Fill(deadline, true)) {
      return Failure(IsOpen() ? ETIMEDOUT : ECONNRESET, kCall, subject);
    }
  }
}

void Connection::Break() {
  // Shut, not closed: the descriptor's number stays this connection's
  // until it goes, and a loop still watching it sees it at its end.
  if (!broken_) ::shutdown(fd_.Get(), SHUT_RDWR);
  broken_ = true;
  input_.clear();
}

}  // namespace pelorin::dbus
