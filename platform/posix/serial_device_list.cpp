#include "platform/posix/serial_device_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>

#include "platform/posix/unique_fd.h"

namespace pelorin::posix {
namespace {

// The kernel's names of serial devices, in the order lists offer them.
constexpr std::string_view kFamilies[] = {"ttyUSB", "ttyACM", "ttyS"};
constexpr std::size_t kBuiltInPorts = 2;  // the index of "ttyS" above

struct KernelDevice {
  std::size_t family = 0;
  unsigned number = 0;
  std::string path;

  bool operator<(const KernelDevice& other) const {
    return std::tie(family, number) < std::tie(other.family, other.number);
  }
};

// The family and number of a device name such as "ttyUSB10"; nothing for a
// name of another kind ("ttyUSB", "ttyS1a", "tty5").
std::optional<KernelDevice> KernelDeviceOf(std::string_view name) {
  for (std::size_t family = 0; family < std::size(kFamilies); ++family) {
    if (!name.starts_with(kFamilies[family])) continue;
    const std::string_view digits = name.substr(kFamilies[family].size());
    unsigned number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size()) {
      return std::nullopt;
    }
    return KernelDevice{.family = family, .number = number, .path = {}};
  }
  return std::nullopt;
}

// `path` with "." and ".." parts and repeated slashes resolved by their
// names alone, as a link's target is read relative to its folder.
std::string NormalPath(std::string_view path) {
  const bool absolute = path.starts_with('/');
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    const std::string_view part = path.substr(0, slash);
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part != ".." || !absolute) {
      parts.push_back(part);  // ".." above the root is the root
    }
  }
  std::string normal = absolute ? "/" : "";
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) normal += '/';
    normal += parts[i];
  }
  return normal.empty() ? "." : normal;
}

std::string_view FileName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Whether the serial driver found a UART for the port `name`: its type in
// the tty class folder is a number other than 0 (PORT_UNKNOWN).
bool HasUart(const std::string& tty_classes, std::string_view name) {
  const std::string path = tty_classes + "/" + std::string(name) + "/type";
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.Valid()) return false;
  char text[32];
  const ssize_t got = ::read(file.Get(), text, sizeof text);
  if (got <= 0) return false;
  unsigned type = 0;
  const char* end = text + got;
  const auto [stop, error] = std::from_chars(text, end, type);
  return error == std::errc{} && stop != text && type != 0;
}

// The paths of the entries of `folder`, sorted; none when it is missing or
// unreadable.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> entries;
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return entries;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back(folder + "/" + std::string(name));
  }
  ::closedir(listing);
  std::sort(entries.begin(), entries.end());
  return entries;
}

// Where the link `link` points, resolved against its folder; nothing when
// it is no link.
std::optional<std::string> LinkTarget(const std::string& link) {
  char target[PATH_MAX];
  const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) return std::nullopt;
  const std::string_view text(target, static_cast<std::size_t>(length));
  if (text.starts_with('/')) return NormalPath(text);
  const std::size_t slash = link.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : link.substr(0, slash);
  return NormalPath(folder + "/" + std::string(text));
}

}  // namespace

std::vector<SerialDeviceName> ListSerialDevices(const std::string& devices,
                                                const std::string& tty_classes) {
  const std::string folder = NormalPath(devices);
  std::vector<SerialDeviceName> listed;
  std::set<std::string> stood_for;
  for (const std::string& link : Entries(folder + "/serial/by-id")) {
    // udev's stable names are links; anything else is not one.
    const std::optional<std::string> device = LinkTarget(link);
    struct stat info {};
    if (!device || ::stat(device->c_str(), &info) != 0) continue;  // unplugged, not yet removed
    listed.push_back({.path = link, .stands_for = std::string(FileName(*device))});
    stood_for.insert(*device);
  }

  std::vector<KernelDevice> kernel_devices;
  for (const std::string& path : Entries(folder)) {
    std::optional<KernelDevice> device = KernelDeviceOf(FileName(path));
    if (!device || stood_for.contains(path)) continue;
    if (device->family == kBuiltInPorts && !HasUart(tty_classes, FileName(path))) continue;
    device->path = path;
    kernel_devices.push_back(std::move(*device));
  }
  std::sort(kernel_devices.begin(), kernel_devices.end());
  for (KernelDevice& device : kernel_devices) {
    listed.push_back({.path = std::move(device.path), .stands_for = {}});
  }
  return listed;
}

}  // namespace pelorin::posix
