#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The wires of the serial plug that the button wiring uses. DTR feeds the
// buttons, the four status lines are the inputs, RTS drives the LED.
enum class Signal { kDtr, kDcd, kDsr, kCts, kRi, kRts, kGround };
inline constexpr int kSignalCount = 7;

// Pin numbers of a signal on the 9-pin plug and on the 25-pin plug.
struct PlugPins {
  int pin9 = 0;
  int pin25 = 0;
};

PlugPins PinsOf(Signal signal);
std::string_view SignalName(Signal signal);

// The status line that stands for one bit of a button number in the
// 15-button wiring: bit 0 (value 1) DCD, bit 1 DSR, bit 2 CTS, bit 3 RI.
Signal StatusLineOfBit(int bit);

enum class PartKind { kButton, kDiode, kLed, kResistor };

// A two-terminal part between two nets. For diodes and LEDs `anode` is the
// net current comes from and `cathode` the one it flows into; for buttons
// and resistors the order carries no meaning.
struct Part {
  PartKind kind = PartKind::kButton;
  // The button number (1-15) for a button and for the diodes behind it;
  // 0 for the LED parts.
  int button = 0;
  int anode = 0;
  int cathode = 0;
  // What the picture writes beside an LED or resistor.
  std::string label;
};

// The wiring as a list of nets and parts; the pictures are drawn from it.
// Nets 0-6 are the plug's signals in the order of `Signal`; further nets are
// the inner nodes between a part and the next one.
struct Netlist {
  Netlist();

  static int NetOf(Signal signal) { return static_cast<int>(signal); }
  int AddNet(std::string name);

  std::vector<std::string> net_names;
  std::vector<Part> parts;
};

// Four buttons, each from DTR to one status line, an LED on RTS and an
// optional power LED with its resistor on DTR.
Netlist FourButtonWiring();

// Fifteen buttons: button k joins DTR to the status lines of k's bits, through
// one diode per line when it reaches more than one line; LEDs as above.
Netlist FifteenButtonWiring();

}  // namespace pelorin
