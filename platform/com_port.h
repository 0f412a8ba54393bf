#pragma once
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// A COM port number as programs name the port: 1 is COM1.
struct ComPortNumber {
  int value = 0;
  friend bool operator==(ComPortNumber, ComPortNumber) = default;
  friend bool operator<(ComPortNumber a, ComPortNumber b) { return a.value < b.value; }
};

// The highest number Windows gives a COM port.
inline constexpr int kHighestComPort = 255;

constexpr bool IsComPortNumber(int number) {
  return number >= 1 && number <= kHighestComPort;
}

// The port a device name such as "COM20" names: "COM" in any case followed
// by a decimal number 1..255 without leading zeros, and nothing else.
// Anything else ("LPT1", "COM0", "COM020", "COM 3", "CNCA0") names none.
constexpr std::optional<ComPortNumber> PortNamed(std::string_view name) {
  constexpr std::string_view kPrefix = "COM";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 3) return std::nullopt;
  for (std::size_t i = 0; i < kPrefix.size(); ++i) {
    const char letter = name[i];
    const char upper =
        letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
    if (upper != kPrefix[i]) return std::nullopt;
  }
  const std::string_view digits = name.substr(kPrefix.size());
  if (digits.front() == '0') return std::nullopt;
  int number = 0;
  for (char digit : digits) {
    if (digit < '0' || digit > '9') return std::nullopt;
    number = number * 10 + (digit - '0');
  }
  if (!IsComPortNumber(number)) return std::nullopt;
  return ComPortNumber{number};
}

// The ports named in `names` (see PortNamed), in number order, each once.
inline std::vector<ComPortNumber> PortsNamed(const std::vector<std::string>& names) {
  std::vector<ComPortNumber> ports;
  for (const std::string& name : names) {
    if (auto port = PortNamed(name)) ports.push_back(*port);
  }
  std::sort(ports.begin(), ports.end());
  ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
  return ports;
}

}  // namespace pelorin
