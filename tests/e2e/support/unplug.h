#pragma once
#include <string>

namespace pelorin::e2e {

// A serial stand-in port taken away and given back as an unplugged USB
// adapter is: its status requests fail (the stand-in's state file is gone)
// and its device link in the Wine prefix (dosdevices/comN) leads nowhere
// (the stand-in's plug folder is renamed), so a new open fails too. Every
// step is checked; false when one failed.
class UnpluggablePort {
 public:
  // Port `number` of the stand-in this test runs under (with --wine).
  explicit UnpluggablePort(int number);
  // Puts the link back if a test ended while the port was away.
  ~UnpluggablePort();
  UnpluggablePort(const UnpluggablePort&) = delete;
  UnpluggablePort& operator=(const UnpluggablePort&) = delete;

  bool Unplug();
  // The port returns with the inputs in `inputs` (STANDIN_* bits) and
  // every output low, as a freshly plugged adapter.
  bool Plug(unsigned inputs);
  bool Usable() const { return !plug_.empty(); }

 private:
  std::string plug_;        // Z:\...\com<N>-plug, the folder whose name makes the link whole
  std::string state_file_;  // Z:\...\tty-<major>-<minor>
  bool away_ = false;
};

}  // namespace pelorin::e2e
