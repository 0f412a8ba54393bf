#include "app/apply_settings.h"

namespace pelorin {
namespace {

// A device path wins over the port number. Without one, `Port` 0 (no
// port) is a number the channel reports as "no port selected".
bool OpenChosenPort(PortChannel& channel, const PortGroup& group) {
  return channel.Open(ComPortNumber{group.Port}, group.Device);
}

}  // namespace

bool ApplySettings(const Settings& settings, PortChannel& primary, PortChannel& secondary,
                   PropertiesWindowOpener& window) {
  if (!OpenChosenPort(primary, settings.Primary)) {
    window.ShowPropertiesWindow();
    return false;
  }
  if (settings.Options.UsePort2 && !OpenChosenPort(secondary, settings.Secondary)) {
    window.ShowPropertiesWindow();
    return false;
  }
  return true;
}

}  // namespace pelorin
