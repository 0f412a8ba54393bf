#pragma once
#include "config/settings.h"
#include "input/port_channel.h"

namespace pelorin {

// The part of the properties window that ApplySettings needs.
class PropertiesWindowOpener {
 public:
  virtual ~PropertiesWindowOpener() = default;
  // Shows the properties window as the tray's "P&roperties" does; does
  // nothing while it is already visible.
  virtual void ShowPropertiesWindow() = 0;
};

// Makes the port choices take effect: opens the primary port and, when
// `UsePort2` is on, the secondary port. The channels report their own
// failures; on the first failure the properties window is shown so that the
// user can correct the choice, and the result is false. Every other field is
// read live by its users and needs no step here. An open secondary port is
// left open when `UsePort2` is off.
bool ApplySettings(const Settings& settings, PortChannel& primary, PortChannel& secondary,
                   PropertiesWindowOpener& window);

}  // namespace pelorin
