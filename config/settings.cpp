#include "config/settings.h"

namespace pelorin {

std::array<std::array<ButtonSlot, kButtonsPerPort>, kPortCount> Settings::DefaultButtons() {
  // The first four buttons of each port: volume down and up on turbo at the
  // ends, previous and next track in between; the rest do nothing.
  std::array<ButtonSlot, kButtonsPerPort> port{};
  port[0].Mode = static_cast<std::uint8_t>(ClickMode::Turbo);
  port[0].Func3 = 9;  // "Volume down"
  port[1].Mode = static_cast<std::uint8_t>(ClickMode::DownUp);
  port[1].Func1 = 4;  // "Previous track"
  port[2].Mode = static_cast<std::uint8_t>(ClickMode::DownUp);
  port[2].Func1 = 5;  // "Next track"
  port[3].Mode = static_cast<std::uint8_t>(ClickMode::Turbo);
  port[3].Func3 = 10;  // "Volume 1/8 up"
  return {port, port};
}

}  // namespace pelorin
