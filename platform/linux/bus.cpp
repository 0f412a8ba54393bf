#include "platform/linux/bus.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

#include "platform/linux/dbus_connection.h"
#include "platform/linux/dbus_message.h"
#include "platform/linux/descriptor_watch.h"
#include "platform/posix/system_error.h"

namespace pelorin::dbus {

namespace {

constexpr std::string_view kConnect = "D-Bus connect";
constexpr std::string_view kCall = "D-Bus call";
constexpr std::string_view kRead = "D-Bus read";

constexpr const char* kDaemonName = "org.freedesktop.DBus";
constexpr const char* kDaemonPath = "/org/freedesktop/DBus";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

std::string Subject(const Address& at, std::string_view member) {
  std::string subject = at.destination + " " + at.path + " " + at.interface;
  subject += ".";
  subject += member;
  return subject;
}

// A method call that never starts a program to receive it: a player that
// has quit must not be brought back by a button press.
Header NewCall(const Address& at, std::string_view member, std::string signature) {
  Header call;
  call.type = MessageType::MethodCall;
  call.flags = kNoAutoStart;
  call.destination = at.destination;
  call.path = at.path;
  call.interface = at.interface;
  call.member = std::string(member);
  call.signature = std::move(signature);
  return call;
}

OsError Unexpected(std::string subject, std::string_view signature) {
  OsError error = posix::SystemError(EBADMSG, kRead, std::move(subject));
  error.text = "unexpected value type \"" + std::string(signature) + "\"";
  return error;
}

// The error number that stands for an error the peer answered with, for
// whoever reads only the number; the text keeps the bus's own words.
int ErrorNumberOf(std::string_view name) {
  const struct {
    std::string_view name;
    int code;
  } known[] = {
      {"org.freedesktop.DBus.Error.ServiceUnknown", EHOSTUNREACH},
      {"org.freedesktop.DBus.Error.NameHasNoOwner", ENXIO},
      {"org.freedesktop.DBus.Error.NoReply", ETIMEDOUT},
      {"org.freedesktop.DBus.Error.Timeout", ETIMEDOUT},
      {"org.freedesktop.DBus.Error.AccessDenied", EACCES},
      {"org.freedesktop.DBus.Error.InvalidArgs", EINVAL},
      {"org.freedesktop.DBus.Error.NotSupported", EOPNOTSUPP},
  };
  for (const auto& entry : known) {
    if (entry.name == name) return entry.code;
  }
  return EIO;
}

// The failure a peer's error reply stands for: "name: message".
OsError PeerError(const Reply& reply, std::string subject) {
  OsError error =
      posix::SystemError(ErrorNumberOf(reply.header.error_name), kCall, std::move(subject));
  error.text = reply.header.error_name;
  std::string message;
  BodyReader body(reply.body, reply.big_endian);
  if (reply.header.signature.starts_with('s') && body.String(message)) {
    error.text += ": " + message;
  }
  return error;
}

bool IsStringType(char type) {
  return type == 's' || type == 'o' || type == 'g';
}

bool ReadText(BodyReader& body, char type, std::string& text) {
  return type == 'g' ? body.Signature(text) : body.String(text);
}

// Reads an array of strings (of element type `type`).
bool ReadStrings(BodyReader& body, char type, std::vector<std::string>& out) {
  std::size_t end = 0;
  if (!body.BeginArray(std::string_view(&type, 1), end)) return false;
  while (!body.AtEnd(end)) {
    if (!ReadText(body, type, out.emplace_back())) return false;
  }
  return body.Offset() == end;
}

// Reads a dictionary of string keys and variant values ("a{sv}"), keeping
// the entries whose values are strings or object paths.
bool ReadStringMap(BodyReader& body, StringMap& out) {
  std::size_t end = 0;
  if (!body.BeginArray("{sv}", end)) return false;
  while (!body.AtEnd(end)) {
    std::string key;
    std::string type;
    if (!body.BeginStruct() || !body.String(key) || !body.Signature(type)) return false;
    if (type.size() == 1 && IsStringType(type[0])) {
      if (!ReadText(body, type[0], out[key])) return false;
    } else if (!body.Skip(type)) {
      return false;
    }
  }
  return body.Offset() == end;
}

template <typename Number, typename Read>
bool ReadInteger(Read read, Value& out) {
  Number number{};
  if (!read(number)) return false;
  out = static_cast<std::int64_t>(number);
  return true;
}

// Reads one value of the single complete type `signature`; false for a
// type this program does not read, or a body that does not hold it.
bool ReadValue(BodyReader& body, std::string_view signature, Value& out) {
  const char type = signature.empty() ? '\0' : signature[0];
  if (signature.size() == 1) {
    switch (type) {
      case 'b': {
        bool flag = false;
        if (!body.Boolean(flag)) return false;
        out = flag;
        return true;
      }
      case 'd': {
        double number = 0;
        if (!body.Double(number)) return false;
        out = number;
        return true;
      }
      case 's':
      case 'o':
      case 'g': {
        std::string text;
        if (!ReadText(body, type, text)) return false;
        out = std::move(text);
        return true;
      }
      case 'y':
        return ReadInteger<std::uint8_t>([&](auto& n) { return body.Byte(n); }, out);
      case 'n':
        return ReadInteger<std::int16_t>([&](auto& n) { return body.Int16(n); }, out);
      case 'q':
        return ReadInteger<std::uint16_t>([&](auto& n) { return body.Uint16(n); }, out);
      case 'i':
        return ReadInteger<std::int32_t>([&](auto& n) { return body.Int32(n); }, out);
      case 'u':
        return ReadInteger<std::uint32_t>([&](auto& n) { return body.Uint32(n); }, out);
      case 'x':
        return ReadInteger<std::int64_t>([&](auto& n) { return body.Int64(n); }, out);
      // Larger than any count or position a player gives: read as is.
      case 't':
        return ReadInteger<std::uint64_t>([&](auto& n) { return body.Uint64(n); }, out);
      default:
        return false;
    }
  }
  if (signature.size() == 2 && type == 'a' && IsStringType(signature[1])) {
    std::vector<std::string> strings;
    if (!ReadStrings(body, signature[1], strings)) return false;
    out = std::move(strings);
    return true;
  }
  if (signature == "a{sv}") {
    StringMap map;
    if (!ReadStringMap(body, map)) return false;
    out = std::move(map);
    return true;
  }
  return false;
}

void WriteArgument(BodyWriter& body, std::string& signature, const Argument& argument) {
  if (const auto* number = std::get_if<std::int64_t>(&argument)) {
    signature += 'x';
    body.Int64(*number);
  } else if (const auto* text = std::get_if<std::string>(&argument)) {
    signature += 's';
    body.String(*text);
  } else if (const auto* flag = std::get_if<Boolean>(&argument)) {
    signature += 'b';
    body.Boolean(flag->value);
  } else if (const auto* unsigned_number = std::get_if<Unsigned64>(&argument)) {
    signature += 't';
    body.Uint64(unsigned_number->value);
  } else {
    signature += 'o';
    body.String(std::get<ObjectPath>(argument).path);
  }
}

void WriteVariant(BodyWriter& body, const PropertyValue& value) {
  if (const auto* flag = std::get_if<bool>(&value)) {
    body.Signature("b");
    body.Boolean(*flag);
  } else if (const auto* number = std::get_if<double>(&value)) {
    body.Signature("d");
    body.Double(*number);
  } else {
    body.Signature("s");
    body.String(std::get<std::string>(value));
  }
}

// Where the session bus listens, as the desktop's own programs find it.
Answer<std::string> SessionAddress() {
  if (const char* address =
          std::getenv("DBUS_SESSION_BUS_ADDRESS");  // NOLINT(concurrency-mt-unsafe)
      address != nullptr && address[0] != '\0') {
    return std::string(address);
  }
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");  // NOLINT(concurrency-mt-unsafe)
  if (runtime == nullptr || runtime[0] == '\0') {
    OsError error = posix::SystemError(ENOENT, kConnect, "session bus");
    error.text = "neither DBUS_SESSION_BUS_ADDRESS nor XDG_RUNTIME_DIR is set";
    return error;
  }
  return "unix:path=" + std::string(runtime) + "/bus";
}

// Where the system bus listens.
std::string SystemAddress() {
  if (const char* address =
          std::getenv("DBUS_SYSTEM_BUS_ADDRESS");  // NOLINT(concurrency-mt-unsafe)
      address != nullptr && address[0] != '\0') {
    return address;
  }
  return "unix:path=/run/dbus/system_bus_socket";
}

const Address kDaemon{kDaemonName, kDaemonPath, kDaemonName};

}  // namespace

Bus::Bus(std::unique_ptr<Connection> connection, std::chrono::milliseconds time_limit)
    : connection_(std::move(connection)), time_limit_(time_limit) {
  connection_->OnMessage([this](const Message& message) { Receive(message); });
}

Bus::~Bus() {
  ReadInputOn(nullptr);
}

Opened<Bus> Bus::OpenSession(std::chrono::milliseconds time_limit) {
  const auto address = SessionAddress();
  if (!address) return address.error();
  return Open(*address, time_limit);
}

Opened<Bus> Bus::OpenSystem(std::chrono::milliseconds time_limit) {
  return Open(SystemAddress(), time_limit);
}

Opened<Bus> Bus::Open(const std::string& address, std::chrono::milliseconds time_limit) {
  auto connection = Connection::Open(address, std::chrono::steady_clock::now() + time_limit);
  if (!connection) return connection.error();
  return std::unique_ptr<Bus>(new Bus(connection.Release(), time_limit));
}

void Bus::Receive(const Message& message) {
  const Header& header = message.header;
  if (header.type == MessageType::Signal) {
    // The only signals asked for: the daemon's word on the followed names.
    if (header.sender == kDaemonName && header.interface == kDaemonName &&
        header.member == "NameOwnerChanged") {
      names_changed_ = true;
    }
    return;
  }
  if (header.type != MessageType::MethodCall || (header.flags & kNoReplyExpected) != 0) return;
  // Other programs may ask whether this one is there; it offers nothing
  // else, and says so rather than leave them waiting.
  Header answer;
  answer.reply_serial = header.serial;
  answer.destination = header.sender;
  BodyWriter body;
  if (header.interface == "org.freedesktop.DBus.Peer" && header.member == "Ping") {
    answer.type = MessageType::MethodReturn;
  } else {
    answer.type = MessageType::Error;
    answer.error_name = "org.freedesktop.DBus.Error.UnknownMethod";
    answer.signature = "s";
    body.String("No method " + header.interface + "." + header.member + " here");
  }
  (void)connection_->Send(answer, body.Bytes(),  // a lost answer only keeps the asker waiting
                          std::chrono::steady_clock::now() + time_limit_);
}

Answer<Reply> Bus::Exchange(Header call, std::string_view body, const std::string& subject) {
  auto reply =
      connection_->Call(std::move(call), body, std::chrono::steady_clock::now() + time_limit_);
  StopReadingIfBroken();
  if (!reply) {
    OsError error = reply.error();
    error.subject = subject;
    return error;
  }
  if (reply->header.type == MessageType::Error) return PeerError(*reply, subject);
  return reply;
}

void Bus::StopReadingIfBroken() {
  if (!IsOpen()) ReadInputOn(nullptr);
}

OsStatus Bus::FollowNames(std::string_view name_namespace) {
  const std::string rule =
      "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
      "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0namespace='" +
      std::string(name_namespace) + "'";
  BodyWriter body;
  body.String(rule);
  // Synchronous: the daemon has the rule when this returns.
  auto reply = Exchange(NewCall(kDaemon, "AddMatch", "s"), body.Bytes(), "AddMatch " + rule);
  if (!reply) return reply.error();
  names_changed_ = false;
  return {};
}

bool Bus::NamesChanged() {
  // With a loop reading the input as it arrives, and every call handling
  // what arrives while it waits, nothing is left to read here.
  if (input_watch_ == nullptr) (void)connection_->ReadArrived();  // a break shows below
  if (!IsOpen()) return true;  // broken: whatever was known is stale
  return std::exchange(names_changed_, false);
}

void Bus::ReadInputOn(linux_os::DescriptorWatch* watch) {
  if (input_watch_ != nullptr) input_watch_->Unwatch(connection_->Fd());
  input_watch_ = nullptr;
  if (watch == nullptr || !IsOpen()) return;
  input_watch_ = watch;
  input_watch_->Watch(connection_->Fd(), [this] {
    if (!connection_->ReadArrived()) {
      // Broken for good: the descriptor would wake the loop for ever.
      names_changed_ = true;
      ReadInputOn(nullptr);
    }
  });
}

bool Bus::IsOpen() const {
  return connection_->IsOpen();
}

OsStatus Bus::Call(const Address& at, std::string_view member,
                   const std::vector<Argument>& arguments) {
  BodyWriter body;
  std::string signature;
  for (const auto& argument : arguments) WriteArgument(body, signature, argument);
  auto reply =
      Exchange(NewCall(at, member, std::move(signature)), body.Bytes(), Subject(at, member));
  if (!reply) return reply.error();
  return {};
}

Answer<std::vector<StringMap>> Bus::CallForMaps(const Address& at, std::string_view member,
                                                const std::vector<std::string>& paths) {
  const std::string subject = Subject(at, member);
  BodyWriter body;
  const auto array = body.BeginArray(4);
  for (const std::string& path : paths) body.String(path);
  body.EndArray(array);
  auto reply = Exchange(NewCall(at, member, "ao"), body.Bytes(), subject);
  if (!reply) return reply.error();
  if (reply->header.signature != "aa{sv}") return Unexpected(subject, reply->header.signature);
  BodyReader in(reply->body, reply->big_endian);
  std::vector<StringMap> maps;
  std::size_t end = 0;
  if (!in.BeginArray("a{sv}", end)) return Unexpected(subject, reply->header.signature);
  while (!in.AtEnd(end)) {
    if (!ReadStringMap(in, maps.emplace_back())) return Unexpected(subject, "aa{sv}");
  }
  return maps;
}

Answer<Value> Bus::Get(const Address& at, std::string_view name) {
  const Address properties{at.destination, at.path, kPropertiesInterface};
  const std::string subject = Subject(at, name);
  BodyWriter body;
  body.String(at.interface);
  body.String(name);
  auto reply = Exchange(NewCall(properties, "Get", "ss"), body.Bytes(), subject);
  if (!reply) return reply.error();
  if (reply->header.signature != "v") return Unexpected(subject, reply->header.signature);
  BodyReader in(reply->body, reply->big_endian);
  std::string signature;
  if (!in.Signature(signature)) return Unexpected(subject, "v");
  Value value;
  if (!ReadValue(in, signature, value)) return Unexpected(subject, signature);
  return value;
}

OsStatus Bus::Set(const Address& at, std::string_view name, const PropertyValue& value) {
  const Address properties{at.destination, at.path, kPropertiesInterface};
  BodyWriter body;
  body.String(at.interface);
  body.String(name);
  WriteVariant(body, value);
  auto reply = Exchange(NewCall(properties, "Set", "ssv"), body.Bytes(), Subject(at, name));
  if (!reply) return reply.error();
  return {};
}

Answer<std::vector<std::string>> Bus::ListNames() {
  const std::string subject = Subject(kDaemon, "ListNames");
  auto reply = Exchange(NewCall(kDaemon, "ListNames", ""), {}, subject);
  if (!reply) return reply.error();
  std::vector<std::string> names;
  BodyReader in(reply->body, reply->big_endian);
  if (reply->header.signature != "as" || !ReadStrings(in, 's', names)) {
    return Unexpected(subject, reply->header.signature);
  }
  return names;
}

Answer<std::uint32_t> Bus::ProcessIdOf(std::string_view name) {
  const std::string subject =
      Subject(kDaemon, "GetConnectionUnixProcessID") + " " + std::string(name);
  BodyWriter body;
  body.String(name);
  auto reply = Exchange(NewCall(kDaemon, "GetConnectionUnixProcessID", "s"), body.Bytes(), subject);
  if (!reply) return reply.error();
  std::uint32_t pid = 0;
  BodyReader in(reply->body, reply->big_endian);
  if (reply->header.signature != "u" || !in.Uint32(pid)) {
    return Unexpected(subject, reply->header.signature);
  }
  return pid;
}

bool Bus::IsUnknownName(const OsError& error) {
  // The daemon answers ServiceUnknown to a call to a name nobody owns and
  // NameHasNoOwner to questions about such a name.
  for (const std::string_view name :
       {"org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner"}) {
    if (error.text.starts_with(name) &&
        (error.text.size() == name.size() || error.text[name.size()] == ':')) {
      return true;
    }
  }
  return false;
}

}  // namespace pelorin::dbus
