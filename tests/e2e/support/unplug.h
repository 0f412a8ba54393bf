#pragma once
#include <string>

namespace pelorin::e2e {

// A serial stand-in port taken away and given back as an unplugged USB
// adapter is: its status requests fail (the stand-in's state file is gone)
// and its device link in the Wine prefix (dosdevices/comN) disappears, so a
// new open fails too. Every step is checked; false when one failed.
class UnpluggablePort {
 public:
  // Port `number` of the stand-in this test runs under, in the prefix the
  // session runs (Wine puts its folder in WINECONFIGDIR).
  explicit UnpluggablePort(int number);
  // Puts the link back if a test ended while the port was away.
  ~UnpluggablePort();
  UnpluggablePort(const UnpluggablePort&) = delete;
  UnpluggablePort& operator=(const UnpluggablePort&) = delete;

  bool Unplug();
  // The port returns with the inputs in `inputs` (STANDIN_* bits) and
  // every output low, as a freshly plugged adapter.
  bool Plug(unsigned inputs);
  bool Usable() const { return !link_.empty() && !state_file_.empty(); }

 private:
  std::string link_;        // Z:\...\dosdevices\comN
  std::string state_file_;  // Z:\...\tty-<major>-<minor>
  bool away_ = false;
};

}  // namespace pelorin::e2e
