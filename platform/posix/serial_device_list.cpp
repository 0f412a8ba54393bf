#include "platform/posix/serial_device_list.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>

namespace pelorin::posix {
namespace {

namespace fs = std::filesystem;

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

// Whether the serial driver found a UART for the port `name`: its type in
// the tty class folder is a number other than 0 (PORT_UNKNOWN).
bool HasUart(const fs::path& tty_classes, const std::string& name) {
  std::ifstream type_file(tty_classes / name / "type");
  unsigned type = 0;
  return static_cast<bool>(type_file >> type) && type != 0;
}

// The entries of `folder`, sorted; none when it is missing or unreadable.
std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    entries.push_back(it->path());
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace

std::vector<SerialDeviceName> ListSerialDevices(const std::string& devices,
                                                const std::string& tty_classes) {
  const fs::path folder = fs::path(devices).lexically_normal();
  std::vector<SerialDeviceName> listed;
  std::set<fs::path> stood_for;
  for (const fs::path& link : Entries(folder / "serial" / "by-id")) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    if (error) continue;  // udev's stable names are links; anything else is not one
    const fs::path device = (link.parent_path() / target).lexically_normal();
    if (!fs::exists(device, error)) continue;  // unplugged, not yet removed
    listed.push_back({.path = link.string(), .stands_for = device.filename().string()});
    stood_for.insert(device);
  }

  std::vector<KernelDevice> kernel_devices;
  for (const fs::path& path : Entries(folder)) {
    std::optional<KernelDevice> device = KernelDeviceOf(path.filename().string());
    if (!device || stood_for.contains(path)) continue;
    if (device->family == kBuiltInPorts && !HasUart(tty_classes, path.filename().string())) {
      continue;
    }
    device->path = path.string();
    kernel_devices.push_back(std::move(*device));
  }
  std::sort(kernel_devices.begin(), kernel_devices.end());
  for (KernelDevice& device : kernel_devices) {
    listed.push_back({.path = std::move(device.path), .stands_for = {}});
  }
  return listed;
}

}  // namespace pelorin::posix
