#pragma once
#include <memory>
#include <string_view>

namespace pelorin {

// The trace: lines about causes the user does not see in the program's own
// texts (why a port would not open, why a save failed). It is off unless the
// user turns it on with the environment variable PELORIN_TRACE:
//   unset, empty or "0"  off;
//   "1"                  to the platform's debug output (OutputDebugString on
//                        Windows, readable with DebugView or, under Wine, with
//                        WINEDEBUG=+debugstr; the standard error stream on Linux);
//   anything else        appended to the file of that name.
inline constexpr const char* kTraceVariable = "PELORIN_TRACE";

// Where trace lines go.
class TraceSink {
 public:
  virtual ~TraceSink() = default;
  // Writes one line; `line` carries no line break. Failures are ignored:
  // the trace must never disturb the program.
  virtual void WriteLine(std::string_view line) = 0;
};

// The standard error stream, as a sink.
TraceSink& StandardErrorTrace();

// Writes one line to the trace when a session has turned it on; does
// nothing otherwise. Called from the user-interface thread only.
void Trace(std::string_view line);

// Turns the trace on for its lifetime, as `setting` (the value of
// PELORIN_TRACE) says; `debug_output` is the platform's debug output. One
// session at a time, created by the program's entry point.
class TraceSession {
 public:
  TraceSession(TraceSink& debug_output, const char* setting);
  // Reads the setting from the environment.
  explicit TraceSession(TraceSink& debug_output);
  ~TraceSession();
  TraceSession(const TraceSession&) = delete;
  TraceSession& operator=(const TraceSession&) = delete;

 private:
  std::unique_ptr<TraceSink> file_;
};

}  // namespace pelorin
