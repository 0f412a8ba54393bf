#include "platform/linux/pulse_library.h"

#include "platform/linux/loaded_library.h"

namespace pelorin::linux_os {
namespace {

PulseLibrary loaded_pulse;
bool pulse_loaded = false;

}  // namespace

const PulseLibrary* LoadPulseLibrary(std::string& why) {
  if (pulse_loaded) return &loaded_pulse;
  // The run-time name its package installs.
  LoadedLibrary library("libpulse.so.0");
  PulseLibrary table;
#define PELORIN_PULSE_FIND(name) library.Find(#name, table.name);
  PELORIN_PULSE_FUNCTIONS(PELORIN_PULSE_FIND)
#undef PELORIN_PULSE_FIND
  if (!library.Complete()) {
    why = "its client library does not load: " + library.Why();
    return nullptr;
  }
  library.Keep();
  loaded_pulse = table;
  pulse_loaded = true;
  return &loaded_pulse;
}

const PulseLibrary& Pulse() {
  return loaded_pulse;
}

}  // namespace pelorin::linux_os
