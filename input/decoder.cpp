#include "input/decoder.h"

namespace pelorin {
namespace {

void Feed(HardwareButtons& buttons, int assigned_button, bool level) {
  if (assigned_button >= 1 && assigned_button <= 4) {
    bool& pressed = buttons.pressed[static_cast<std::size_t>(assigned_button - 1)];
    pressed = pressed || level;
  }
}

}  // namespace

HardwareButtons DecodeHardwareButtons(const LineLevels& lines, const LineAssignment& assignment) {
  HardwareButtons buttons;
  Feed(buttons, assignment.dcd, lines.dcd);
  Feed(buttons, assignment.dsr, lines.dsr);
  Feed(buttons, assignment.cts, lines.cts);
  Feed(buttons, assignment.ri, lines.ri);
  for (int k = 0; k < 4; ++k) {
    if (buttons.pressed[static_cast<std::size_t>(k)]) buttons.code += 1 << k;
  }
  return buttons;
}

VirtualLevels DecodeVirtualButtons(const HardwareButtons& hardware, PortMode port_mode) {
  VirtualLevels levels{};
  const auto& h = hardware.pressed;
  switch (port_mode) {
    case PortMode::FourButtons:  // four plain buttons
      for (int k = 0; k < 4; ++k) levels[k] = h[k];
      break;
    case PortMode::Button4Shift: {  // button 4 shifts buttons 1..3 up to virtual 4..6
      const int offset = h[3] ? 3 : 0;
      for (int k = 0; k < 3; ++k) levels[offset + k] = h[k];
      break;
    }
    case PortMode::Buttons3And4Shifts: {  // buttons 3 and 4 shift buttons 1..2 by 2, 4 or 6
      const int shift = (h[2] ? 1 : 0) + (h[3] ? 2 : 0);
      for (int k = 0; k < 2; ++k) levels[2 * shift + k] = h[k];
      break;
    }
    case PortMode::Fifteen:  // every combination is a button of its own
      if (hardware.code >= 1 && hardware.code <= 15) levels[hardware.code - 1] = true;
      break;
    default:
      break;
  }
  return levels;
}

int VirtualButtonCount(PortMode port_mode) {
  switch (port_mode) {
    case PortMode::FourButtons:
      return 4;
    case PortMode::Button4Shift:
      return 6;
    case PortMode::Buttons3And4Shifts:
      return 8;
    case PortMode::Fifteen:
      return 15;
    default:
      return 0;
  }
}

std::vector<std::string> ButtonNames(PortMode port_mode) {
  struct Group {
    const char* prefix;
    int count;
  };
  std::vector<Group> groups;
  switch (port_mode) {
    case PortMode::FourButtons:
      groups = {{"Button ", 4}};
      break;
    case PortMode::Button4Shift:
      groups = {{"Button ", 3}, {"Button4(Shift) + Button ", 3}};
      break;
    case PortMode::Buttons3And4Shifts:
      groups = {{"Button ", 2},
                {"Button3 (Shift1) + Button ", 2},
                {"Button4 (Shift2) + Button ", 2},
                {"Button3 (Shift1) +Button4 (Shift2) + Button ", 2}};
      break;
    case PortMode::Fifteen:
      groups = {{"Button ", 15}};
      break;
    default:
      break;
  }
  std::vector<std::string> names;
  for (const Group& group : groups) {
    for (int n = 1; n <= group.count; ++n) names.push_back(group.prefix + std::to_string(n));
  }
  return names;
}

void PortIndicators::Update(PortRole port, const HardwareButtons& hardware,
                            PortIndicatorView& view) {
  for (int k = 0; k < 4; ++k) view.ShowHardwareButton(port, k, hardware.pressed[k]);
  if (hardware.code != previous_code_) {
    view.ShowCombinationCode(port, hardware.code);
    previous_code_ = hardware.code;
  }
}

}  // namespace pelorin
