#pragma once

namespace pelorin {

// A COM port number as programs name the port: 1 is COM1.
struct ComPortNumber {
  int value = 0;
  friend bool operator==(ComPortNumber, ComPortNumber) = default;
};

// A position in the list of ports the user chooses from: 0 is COM1.
struct PortListIndex {
  int value = 0;
  friend bool operator==(PortListIndex, PortListIndex) = default;
};

constexpr ComPortNumber NumberAt(PortListIndex index) {
  return {index.value + 1};
}
constexpr PortListIndex ListIndexOf(ComPortNumber number) {
  return {number.value - 1};
}

}  // namespace pelorin
