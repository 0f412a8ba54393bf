#pragma once
#include <array>
#include <cstddef>
#include <span>

namespace pelorin {

// Which of the two serial ports a value belongs to. The primary port always
// runs; the secondary port runs when the options turn it on.
enum class PortRole : unsigned char { Primary, Secondary };

inline constexpr std::size_t kPortCount = 2;
inline constexpr std::array<PortRole, kPortCount> kPortRoles = {PortRole::Primary,
                                                                PortRole::Secondary};

// The position of a role's entry in a per-port array: 0 primary, 1 secondary.
constexpr std::size_t IndexOf(PortRole role) {
  return static_cast<std::size_t>(role);
}
// The number that stored names and the indicator texts give a role: 1 primary,
// 2 secondary ("Port2Button1", "DCD2").
constexpr int NumberOf(PortRole role) {
  return static_cast<int>(role) + 1;
}
// The role of port 1 or 2; anything but 2 is the primary port.
constexpr PortRole RoleOfNumber(int number) {
  return number == 2 ? PortRole::Secondary : PortRole::Primary;
}
// The first `count` roles (1 or 2): the ports a poll cycle processes.
constexpr std::span<const PortRole> FirstRoles(std::size_t count) {
  return std::span<const PortRole>(kPortRoles).first(count < kPortCount ? count : kPortCount);
}

}  // namespace pelorin
