#include "ui/wiring_netlist.h"

#include <array>
#include <bit>

namespace pelorin {
namespace {

struct SignalInfo {
  std::string_view name;
  PlugPins pins;
};

// The standard pin assignment of PC serial ports.
constexpr std::array<SignalInfo, kSignalCount> kSignals = {{
    {"DTR", {4, 20}},
    {"DCD", {1, 8}},
    {"DSR", {6, 6}},
    {"CTS", {8, 5}},
    {"RI", {9, 22}},
    {"RTS", {7, 4}},
    {"GND", {5, 7}},
}};

constexpr std::array<Signal, 4> kStatusLines = {Signal::kDcd, Signal::kDsr, Signal::kCts,
                                                Signal::kRi};

// An LED is lit by current from its signal into signal ground.
void AddLeds(Netlist& netlist) {
  const int power_node = netlist.AddNet("power LED resistor");
  netlist.parts.push_back({PartKind::kResistor, 0, Netlist::NetOf(Signal::kDtr), power_node,
                           "680 \xCE\xA9 - 1 k\xCE\xA9"});
  netlist.parts.push_back(
      {PartKind::kLed, 0, power_node, Netlist::NetOf(Signal::kGround), "power LED"});
  netlist.parts.push_back({PartKind::kLed, 0, Netlist::NetOf(Signal::kRts),
                           Netlist::NetOf(Signal::kGround), "LED on RTS"});
}

}  // namespace

PlugPins PinsOf(Signal signal) {
  return kSignals[static_cast<int>(signal)].pins;
}

std::string_view SignalName(Signal signal) {
  return kSignals[static_cast<int>(signal)].name;
}

Signal StatusLineOfBit(int bit) {
  return kStatusLines[static_cast<std::size_t>(bit) & 3];
}

Netlist::Netlist() {
  for (const SignalInfo& signal : kSignals) net_names.emplace_back(signal.name);
}

int Netlist::AddNet(std::string name) {
  net_names.push_back(std::move(name));
  return static_cast<int>(net_names.size()) - 1;
}

Netlist FourButtonWiring() {
  Netlist netlist;
  for (int button = 1; button <= 4; ++button) {
    netlist.parts.push_back({PartKind::kButton,
                             button,
                             Netlist::NetOf(Signal::kDtr),
                             Netlist::NetOf(StatusLineOfBit(button - 1)),
                             {}});
  }
  AddLeds(netlist);
  return netlist;
}

Netlist FifteenButtonWiring() {
  Netlist netlist;
  const int dtr = Netlist::NetOf(Signal::kDtr);
  for (int button = 1; button <= 15; ++button) {
    const auto bits = static_cast<unsigned>(button);
    if (std::popcount(bits) == 1) {
      // A button that reaches one line needs no diode: nothing can flow back
      // through it into another line.
      const int line = Netlist::NetOf(StatusLineOfBit(std::countr_zero(bits)));
      netlist.parts.push_back({PartKind::kButton, button, dtr, line, {}});
      continue;
    }
    const int node = netlist.AddNet("button " + std::to_string(button));
    netlist.parts.push_back({PartKind::kButton, button, dtr, node, {}});
    for (int bit = 0; bit < 4; ++bit) {
      if ((bits & (1u << bit)) == 0) continue;
      netlist.parts.push_back(
          {PartKind::kDiode, button, node, Netlist::NetOf(StatusLineOfBit(bit)), {}});
    }
  }
  AddLeds(netlist);
  return netlist;
}

}  // namespace pelorin
