#pragma once
#include <optional>
#include <string>

namespace pelorin::testing {

// The modem lines of one port of the serial stand-in
// (tools/serial-standin), read and driven through its state file, as a test
// sees them from Linux or from inside Wine. Bits are the STANDIN_* values
// of tools/serial-standin/standin_state.h.
class StandinLines {
 public:
  // The lines of port `number` of the stand-in this test runs under, found
  // through PELORIN_STANDIN_COM<number>; nothing when the test does not run
  // under the stand-in. Under Windows the file is reached through the Z:
  // drive, which Wine maps to the Linux root.
  static std::optional<StandinLines> ForPort(int number);

  explicit StandinLines(std::string path) : path_(std::move(path)) {}

  // Asserts the lines in `set` and releases those in `clear`, under the
  // file's lock. False when the file cannot be updated.
  bool Change(unsigned set, unsigned clear);
  // Sets the four inputs to exactly `inputs` (other input bits released).
  bool SetInputs(unsigned inputs);
  // All six lines, or nothing when the file cannot be read.
  std::optional<unsigned> Read() const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace pelorin::testing
