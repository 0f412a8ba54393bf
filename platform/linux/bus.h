#pragma once
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/os_error.h"

namespace pelorin::linux_os {
class DescriptorWatch;
}

namespace pelorin::dbus {

class Connection;
struct Message;
struct Reply;
struct Header;

// Where a method or a property lives on the bus.
struct Address {
  std::string destination;  // the program's bus name, e.g. "org.mpris.MediaPlayer2.vlc"
  std::string path;         // the object, e.g. "/org/mpris/MediaPlayer2"
  std::string interface;    // e.g. "org.mpris.MediaPlayer2.Player"
};

// An object path given as an argument (a track id); a plain string would
// be sent with another type, which the receiver refuses.
struct ObjectPath {
  std::string path;
};

// A truth value given as an argument ("b").
struct Boolean {
  bool value = false;
};

// An unsigned 64-bit argument ("t"), such as a set of flags.
struct Unsigned64 {
  std::uint64_t value = 0;
};

// An argument of a method call: a 64-bit integer, a string, an object path,
// a truth value or an unsigned 64-bit number.
using Argument = std::variant<std::int64_t, std::string, ObjectPath, Boolean, Unsigned64>;

// The entries of a dictionary with string keys whose values are strings or
// object paths; entries with other values are left out.
using StringMap = std::map<std::string, std::string>;

// A property's value as the bus carries it, in the few shapes this program
// reads: integers of every width as int64, strings, object paths and
// signatures as strings, arrays of those as string lists, dictionaries with
// string keys as StringMap. The shape comes from the value itself, never
// from the object's description of its properties, which some players get
// wrong.
using Value =
    std::variant<bool, std::int64_t, double, std::string, std::vector<std::string>, StringMap>;

// A value to write into a property.
using PropertyValue = std::variant<bool, double, std::string>;

// A connection to a message bus. Every call waits for its reply at most
// the time limit given at the open and then fails with ETIMEDOUT; no call
// throws. Failures keep the bus's error name and message in the error's
// text ("org.freedesktop.DBus.Error.ServiceUnknown: ..."). Used from one
// thread; not to be used in a child after fork().
class Bus {
 public:
  // Connects to the user's session bus: DBUS_SESSION_BUS_ADDRESS, else the
  // socket "bus" in XDG_RUNTIME_DIR. Waits at most `time_limit` for the bus
  // to accept the connection.
  static Opened<Bus> OpenSession(std::chrono::milliseconds time_limit);
  // Connects to the system bus: DBUS_SYSTEM_BUS_ADDRESS, else the system
  // bus's well-known socket. Waits as OpenSession does.
  static Opened<Bus> OpenSystem(std::chrono::milliseconds time_limit);

  ~Bus();
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;

  // Whether the connection still stands; a broken one stays broken.
  bool IsOpen() const;

  // Calls `member` at `at` with `arguments` and waits for the reply; the
  // reply's values are dropped.
  OsStatus Call(const Address& at, std::string_view member,
                const std::vector<Argument>& arguments = {});
  // Reads the property `name` of `at.interface` through the standard
  // properties interface.
  Answer<Value> Get(const Address& at, std::string_view name);
  // Calls method `member` with a list of object paths ("ao") and reads its
  // answer, a list of dictionaries ("aa{sv}"), as StringMaps in order.
  Answer<std::vector<StringMap>> CallForMaps(const Address& at, std::string_view member,
                                             const std::vector<std::string>& paths);
  // Writes the property `name` of `at.interface`.
  OsStatus Set(const Address& at, std::string_view name, const PropertyValue& value);

  // The names on the bus now, unique (":1.42") and well-known ones alike.
  Answer<std::vector<std::string>> ListNames();
  // The process id of the connection that owns `name`.
  Answer<std::uint32_t> ProcessIdOf(std::string_view name);

  // Whether `error` says that nobody owns the name a call went to (the
  // program has left the bus or was never there).
  static bool IsUnknownName(const OsError& error);

  // Starts following the owners of the names in `name_namespace` (such as
  // "org.mpris.MediaPlayer2": that name and every name below it). Returns
  // once the bus has taken the request, so no change after it is missed.
  OsStatus FollowNames(std::string_view name_namespace);
  // Whether a followed name was taken or given up since the last call (or
  // since FollowNames); reads what the bus has sent meanwhile, without
  // waiting. True too when the connection broke.
  bool NamesChanged();

  // Has `watch`'s loop read what the bus sends as it arrives, so that
  // NamesChanged need not read the bus (a call's wait for its reply handles
  // whatever else arrives): a poll cycle with nothing from the bus then
  // costs no system call. nullptr
  // stops it; it must be stopped before the loop goes away. A connection
  // that breaks stops it too.
  void ReadInputOn(linux_os::DescriptorWatch* watch);

 private:
  Bus(std::unique_ptr<Connection> connection, std::chrono::milliseconds time_limit);
  static Opened<Bus> Open(const std::string& address, std::chrono::milliseconds time_limit);
  // Sends a call and waits for its reply within the time limit; an error
  // the peer answered comes back as a failure with its name and message.
  Answer<Reply> Exchange(Header call, std::string_view body, const std::string& subject);
  // Takes a message that is no awaited reply: the bus's signals, and calls
  // from other programs, which are answered.
  void Receive(const Message& message);
  // Stops the loop's reading of a connection that broke.
  void StopReadingIfBroken();

  std::unique_ptr<Connection> connection_;
  std::chrono::milliseconds time_limit_;
  // Set when a followed name changed owner, read and cleared by NamesChanged.
  bool names_changed_ = false;
  // The loop that reads the bus's input as it arrives, if any. It watches
  // the connection's socket, which keeps its number until the connection
  // goes, broken or not.
  linux_os::DescriptorWatch* input_watch_ = nullptr;
};

}  // namespace pelorin::dbus
