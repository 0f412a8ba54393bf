#include "platform/linux/bus.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

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

struct MessageUnref {
  void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using MessagePtr = std::unique_ptr<sd_bus_message, MessageUnref>;

// An error the bus answered with, freed at the end of the scope.
class ReplyError {
 public:
  ReplyError() = default;
  ~ReplyError() { sd_bus_error_free(&error_); }
  ReplyError(const ReplyError&) = delete;
  ReplyError& operator=(const ReplyError&) = delete;

  sd_bus_error* Get() { return &error_; }
  // The failure of a call that returned `result` (a negative error number),
  // with the bus's error name and message when the peer sent an error.
  OsError Describe(int result, std::string_view operation, std::string subject) const {
    OsError error = posix::SystemError(-result, operation, std::move(subject));
    if (sd_bus_error_is_set(&error_) != 0) {
      error.text = error_.name;
      if (error_.message != nullptr) error.text += std::string(": ") + error_.message;
    }
    return error;
  }

 private:
  sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

std::string Subject(const Address& at, std::string_view member) {
  std::string subject = at.destination + " " + at.path + " " + at.interface;
  subject += ".";
  subject += member;
  return subject;
}

// A method call that never starts a program to receive it: a player that
// has quit must not be brought back by a button press.
Answer<MessagePtr> NewCall(sd_bus* bus, const Address& at, std::string_view member) {
  sd_bus_message* raw = nullptr;
  const std::string name(member);
  int r = sd_bus_message_new_method_call(bus, &raw, at.destination.c_str(), at.path.c_str(),
                                         at.interface.c_str(), name.c_str());
  MessagePtr call(raw);
  if (r >= 0) r = sd_bus_message_set_auto_start(call.get(), 0);
  if (r < 0) return posix::SystemError(-r, kCall, Subject(at, member));
  return call;
}

Answer<MessagePtr> Exchange(sd_bus* bus, sd_bus_message* call, std::chrono::microseconds limit,
                            std::string subject) {
  ReplyError error;
  sd_bus_message* raw = nullptr;
  const int r =
      sd_bus_call(bus, call, static_cast<std::uint64_t>(limit.count()), error.Get(), &raw);
  MessagePtr reply(raw);
  // Messages that arrived meanwhile (the bus's own signals) are dropped
  // now, so that a long-running program never collects them.
  while (sd_bus_process(bus, nullptr) > 0) {
  }
  if (r < 0) return error.Describe(r, kCall, std::move(subject));
  return reply;
}

OsError Unexpected(std::string subject, std::string_view signature) {
  OsError error = posix::SystemError(EBADMSG, kRead, std::move(subject));
  error.text = "unexpected value type \"" + std::string(signature) + "\"";
  return error;
}

bool IsStringType(char type) {
  return type == SD_BUS_TYPE_STRING || type == SD_BUS_TYPE_OBJECT_PATH ||
         type == SD_BUS_TYPE_SIGNATURE;
}

// Reads an array of strings (of element type `type`) up to its end.
int ReadStrings(sd_bus_message* m, char type, std::vector<std::string>& out) {
  const char element[] = {type, '\0'};
  int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, element);
  while (r >= 0) {
    const char* text = nullptr;
    r = sd_bus_message_read_basic(m, type, &text);
    if (r <= 0) break;
    out.emplace_back(text);
  }
  return r < 0 ? r : sd_bus_message_exit_container(m);
}

// Reads a dictionary of string keys and variant values ("a{sv}"), keeping
// the entries whose values are strings or object paths.
int ReadStringMap(sd_bus_message* m, StringMap& out) {
  int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sv}");
  while (r >= 0) {
    r = sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv");
    if (r <= 0) break;
    const char* key = nullptr;
    char type = 0;
    const char* contents = nullptr;
    r = sd_bus_message_read_basic(m, SD_BUS_TYPE_STRING, &key);
    if (r >= 0) r = sd_bus_message_peek_type(m, &type, &contents);
    if (r < 0) break;
    if (contents != nullptr && contents[0] != '\0' && contents[1] == '\0' &&
        IsStringType(contents[0])) {
      const char* text = nullptr;
      r = sd_bus_message_read(m, "v", contents, &text);
      if (r >= 0) out[key] = text;
    } else {
      r = sd_bus_message_skip(m, "v");
    }
    if (r >= 0) r = sd_bus_message_exit_container(m);
  }
  return r < 0 ? r : sd_bus_message_exit_container(m);
}

template <typename Number>
int ReadInteger(sd_bus_message* m, char type, Value& out) {
  Number number{};
  const int r = sd_bus_message_read_basic(m, type, &number);
  out = static_cast<std::int64_t>(number);
  return r;
}

// Reads one value of the single complete type `signature` at the cursor.
int ReadValue(sd_bus_message* m, std::string_view signature, Value& out) {
  const char type = signature.empty() ? '\0' : signature[0];
  const bool single = signature.size() == 1;
  if (single && type == SD_BUS_TYPE_BOOLEAN) {
    int flag = 0;
    const int r = sd_bus_message_read_basic(m, type, &flag);
    out = flag != 0;
    return r;
  }
  if (single && type == SD_BUS_TYPE_DOUBLE) {
    double number = 0;
    const int r = sd_bus_message_read_basic(m, type, &number);
    out = number;
    return r;
  }
  if (single && IsStringType(type)) {
    const char* text = nullptr;
    const int r = sd_bus_message_read_basic(m, type, &text);
    if (r > 0) out = std::string(text);
    return r;
  }
  if (single) {
    switch (type) {
      case SD_BUS_TYPE_BYTE:
        return ReadInteger<std::uint8_t>(m, type, out);
      case SD_BUS_TYPE_INT16:
        return ReadInteger<std::int16_t>(m, type, out);
      case SD_BUS_TYPE_UINT16:
        return ReadInteger<std::uint16_t>(m, type, out);
      case SD_BUS_TYPE_INT32:
        return ReadInteger<std::int32_t>(m, type, out);
      case SD_BUS_TYPE_UINT32:
        return ReadInteger<std::uint32_t>(m, type, out);
      case SD_BUS_TYPE_INT64:
        return ReadInteger<std::int64_t>(m, type, out);
      // Larger than any count or position a player gives: read as is.
      case SD_BUS_TYPE_UINT64:
        return ReadInteger<std::uint64_t>(m, type, out);
      default:
        return -EBADMSG;
    }
  }
  if (signature.size() == 2 && type == SD_BUS_TYPE_ARRAY && IsStringType(signature[1])) {
    std::vector<std::string> strings;
    const int r = ReadStrings(m, signature[1], strings);
    out = std::move(strings);
    return r;
  }
  if (signature == "a{sv}") {
    StringMap map;
    const int r = ReadStringMap(m, map);
    out = std::move(map);
    return r;
  }
  return -EBADMSG;
}

int AppendArgument(sd_bus_message* call, const Argument& argument) {
  if (const auto* number = std::get_if<std::int64_t>(&argument)) {
    return sd_bus_message_append_basic(call, SD_BUS_TYPE_INT64, number);
  }
  if (const auto* text = std::get_if<std::string>(&argument)) {
    return sd_bus_message_append_basic(call, SD_BUS_TYPE_STRING, text->c_str());
  }
  if (const auto* flag = std::get_if<Boolean>(&argument)) {
    // The bus carries a truth value as a 32-bit integer.
    const int value = flag->value ? 1 : 0;
    return sd_bus_message_append_basic(call, SD_BUS_TYPE_BOOLEAN, &value);
  }
  if (const auto* number = std::get_if<Unsigned64>(&argument)) {
    return sd_bus_message_append_basic(call, SD_BUS_TYPE_UINT64, &number->value);
  }
  return sd_bus_message_append_basic(call, SD_BUS_TYPE_OBJECT_PATH,
                                     std::get<ObjectPath>(argument).path.c_str());
}

int AppendVariant(sd_bus_message* call, const PropertyValue& value) {
  if (const auto* flag = std::get_if<bool>(&value)) {
    return sd_bus_message_append(call, "v", "b", static_cast<int>(*flag));
  }
  if (const auto* number = std::get_if<double>(&value)) {
    return sd_bus_message_append(call, "v", "d", *number);
  }
  return sd_bus_message_append(call, "v", "s", std::get<std::string>(value).c_str());
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

}  // namespace

void Bus::Closer::operator()(sd_bus* bus) const {
  // Not flushed: every call waited for its reply, so nothing is left to
  // send, and a flush could wait on a stalled bus.
  sd_bus_close_unref(bus);
}

void Bus::SlotCloser::operator()(sd_bus_slot* slot) const {
  sd_bus_slot_unref(slot);
}

Bus::Bus(std::unique_ptr<sd_bus, Closer> bus, std::chrono::microseconds time_limit)
    : bus_(std::move(bus)), time_limit_(time_limit) {}

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
  sd_bus* raw = nullptr;
  int r = sd_bus_new(&raw);
  if (r < 0) return posix::SystemError(-r, kConnect, address);
  std::unique_ptr<sd_bus, Closer> bus(raw);
  const std::chrono::microseconds limit = time_limit;
  const auto usec = static_cast<std::uint64_t>(limit.count());
  r = sd_bus_set_address(bus.get(), address.c_str());
  if (r >= 0) r = sd_bus_set_bus_client(bus.get(), 1);
  if (r >= 0) r = sd_bus_set_method_call_timeout(bus.get(), usec);
  if (r >= 0) r = sd_bus_start(bus.get());
  // The handshake runs on; wait for it here, within the time limit, so
  // that no later call waits on it without one.
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (r >= 0 && sd_bus_is_ready(bus.get()) <= 0) {
    r = sd_bus_process(bus.get(), nullptr);
    if (r != 0) continue;  // more to do now, or failed
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      r = -ETIMEDOUT;
    else
      r = sd_bus_wait(bus.get(), static_cast<std::uint64_t>(left.count()));
  }
  if (r < 0) return posix::SystemError(-r, kConnect, address);
  return std::unique_ptr<Bus>(new Bus(std::move(bus), limit));
}

namespace {

int NoteNameOwnerChanged(sd_bus_message* /*signal*/, void* changed, sd_bus_error* /*error*/) {
  *static_cast<bool*>(changed) = true;
  return 0;
}

}  // namespace

OsStatus Bus::FollowNames(std::string_view name_namespace) {
  const std::string rule =
      "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
      "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0namespace='" +
      std::string(name_namespace) + "'";
  sd_bus_slot* slot = nullptr;
  // Synchronous: the daemon has the rule when this returns.
  if (const int r = sd_bus_add_match(bus_.get(), &slot, rule.c_str(), NoteNameOwnerChanged,
                                     names_changed_.get());
      r < 0) {
    return posix::SystemError(-r, kCall, "AddMatch " + rule);
  }
  name_match_.reset(slot);
  *names_changed_ = false;
  return {};
}

bool Bus::ReadArrived() {
  // Every message that arrived meanwhile, signals among them, is handled
  // now; none is waited for.
  for (;;) {
    const int r = sd_bus_process(bus_.get(), nullptr);
    if (r < 0) {
      // Broken for good: the descriptor would wake the loop for ever.
      ReadInputOn(nullptr);
      return false;
    }
    if (r == 0) return true;
  }
}

bool Bus::NamesChanged() {
  // With a loop reading the input as it arrives, only what a call's wait
  // for its reply put aside is left to handle here.
  std::uint64_t queued = 1;
  if (input_watch_ != nullptr) (void)sd_bus_get_n_queued_read(bus_.get(), &queued);
  if (queued > 0 && !ReadArrived()) return true;  // broken: whatever was known is stale
  if (!IsOpen()) return true;
  const bool changed = *names_changed_;
  *names_changed_ = false;
  return changed;
}

void Bus::ReadInputOn(linux_os::DescriptorWatch* watch) {
  // By the number it was watched under: a connection that broke has closed
  // its descriptor already, and the library no longer tells which it was.
  if (input_watch_ != nullptr) input_watch_->Unwatch(watched_fd_);
  input_watch_ = nullptr;
  watched_fd_ = -1;
  const int fd = sd_bus_get_fd(bus_.get());
  if (watch == nullptr || fd < 0 || !IsOpen()) return;
  input_watch_ = watch;
  watched_fd_ = fd;
  input_watch_->Watch(fd, [this] {
    if (!ReadArrived()) *names_changed_ = true;
  });
}

bool Bus::IsOpen() const {
  return sd_bus_is_open(bus_.get()) > 0;
}

OsStatus Bus::Call(const Address& at, std::string_view member,
                   const std::vector<Argument>& arguments) {
  auto call = NewCall(bus_.get(), at, member);
  if (!call) return call.error();
  for (const auto& argument : arguments) {
    if (const int r = AppendArgument(call->get(), argument); r < 0) {
      return posix::SystemError(-r, kCall, Subject(at, member));
    }
  }
  auto reply = Exchange(bus_.get(), call->get(), time_limit_, Subject(at, member));
  if (!reply) return reply.error();
  return {};
}

Answer<std::vector<StringMap>> Bus::CallForMaps(const Address& at, std::string_view member,
                                                const std::vector<std::string>& paths) {
  const std::string subject = Subject(at, member);
  auto call = NewCall(bus_.get(), at, member);
  if (!call) return call.error();
  int r = sd_bus_message_open_container(call->get(), SD_BUS_TYPE_ARRAY, "o");
  for (const std::string& path : paths) {
    if (r >= 0) r = sd_bus_message_append_basic(call->get(), SD_BUS_TYPE_OBJECT_PATH, path.c_str());
  }
  if (r >= 0) r = sd_bus_message_close_container(call->get());
  if (r < 0) return posix::SystemError(-r, kCall, subject);
  auto reply = Exchange(bus_.get(), call->get(), time_limit_, subject);
  if (!reply) return reply.error();
  sd_bus_message* m = reply->get();
  std::vector<StringMap> maps;
  r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "a{sv}");
  while (r > 0 && (r = sd_bus_message_at_end(m, 0)) == 0) {
    StringMap map;
    r = ReadStringMap(m, map);
    if (r >= 0) r = 1;
    maps.push_back(std::move(map));
  }
  if (r == -EBADMSG || r == -ENXIO) return Unexpected(subject, "");
  if (r < 0) return posix::SystemError(-r, kRead, subject);
  return maps;
}

Answer<Value> Bus::Get(const Address& at, std::string_view name) {
  const Address properties{at.destination, at.path, kPropertiesInterface};
  const std::string subject = Subject(at, name);
  auto call = NewCall(bus_.get(), properties, "Get");
  if (!call) return call.error();
  const std::string property(name);
  if (const int r =
          sd_bus_message_append(call->get(), "ss", at.interface.c_str(), property.c_str());
      r < 0) {
    return posix::SystemError(-r, kCall, subject);
  }
  auto reply = Exchange(bus_.get(), call->get(), time_limit_, subject);
  if (!reply) return reply.error();
  sd_bus_message* m = reply->get();
  char type = 0;
  const char* contents = nullptr;
  int r = sd_bus_message_peek_type(m, &type, &contents);
  if (r <= 0 || type != SD_BUS_TYPE_VARIANT || contents == nullptr) {
    return r < 0 ? posix::SystemError(-r, kRead, subject) : Unexpected(subject, "");
  }
  const std::string signature(contents);
  Value value;
  r = sd_bus_message_enter_container(m, SD_BUS_TYPE_VARIANT, contents);
  if (r >= 0) r = ReadValue(m, signature, value);
  if (r == -EBADMSG) return Unexpected(subject, signature);
  if (r < 0) return posix::SystemError(-r, kRead, subject);
  return value;
}

OsStatus Bus::Set(const Address& at, std::string_view name, const PropertyValue& value) {
  const Address properties{at.destination, at.path, kPropertiesInterface};
  const std::string subject = Subject(at, name);
  auto call = NewCall(bus_.get(), properties, "Set");
  if (!call) return call.error();
  const std::string property(name);
  int r = sd_bus_message_append(call->get(), "ss", at.interface.c_str(), property.c_str());
  if (r >= 0) r = AppendVariant(call->get(), value);
  if (r < 0) return posix::SystemError(-r, kCall, subject);
  auto reply = Exchange(bus_.get(), call->get(), time_limit_, subject);
  if (!reply) return reply.error();
  return {};
}

Answer<std::vector<std::string>> Bus::ListNames() {
  const Address daemon{kDaemonName, kDaemonPath, kDaemonName};
  auto call = NewCall(bus_.get(), daemon, "ListNames");
  if (!call) return call.error();
  auto reply = Exchange(bus_.get(), call->get(), time_limit_, Subject(daemon, "ListNames"));
  if (!reply) return reply.error();
  std::vector<std::string> names;
  if (const int r = ReadStrings(reply->get(), SD_BUS_TYPE_STRING, names); r < 0) {
    return posix::SystemError(-r, kRead, Subject(daemon, "ListNames"));
  }
  return names;
}

Answer<std::uint32_t> Bus::ProcessIdOf(std::string_view name) {
  const Address daemon{kDaemonName, kDaemonPath, kDaemonName};
  const std::string subject =
      Subject(daemon, "GetConnectionUnixProcessID") + " " + std::string(name);
  auto call = NewCall(bus_.get(), daemon, "GetConnectionUnixProcessID");
  if (!call) return call.error();
  const std::string owner(name);
  if (const int r = sd_bus_message_append_basic(call->get(), SD_BUS_TYPE_STRING, owner.c_str());
      r < 0) {
    return posix::SystemError(-r, kCall, subject);
  }
  auto reply = Exchange(bus_.get(), call->get(), time_limit_, subject);
  if (!reply) return reply.error();
  std::uint32_t pid = 0;
  if (const int r = sd_bus_message_read_basic(reply->get(), SD_BUS_TYPE_UINT32, &pid); r <= 0) {
    return r < 0 ? posix::SystemError(-r, kRead, subject) : Unexpected(subject, "");
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
