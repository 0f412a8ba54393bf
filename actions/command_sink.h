#pragma once
#include "config/port_role.h"
#include "platform/window_id.h"

namespace pelorin {

// Where a recognised button event goes: the command dispatcher.
class CommandSink {
 public:
  virtual ~CommandSink() = default;
  // Carries out the command of event `slot` (1..3) of virtual `button`
  // (1..15) of `port` (1 primary, 2 secondary); `player` is the player
  // window as looked up in the same poll cycle, kNoWindow when not running.
  virtual void SendCommand(WindowId player, PortRole port, int button, int slot) = 0;
};

}  // namespace pelorin
