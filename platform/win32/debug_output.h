#pragma once
#include "platform/trace.h"

namespace pelorin::win32 {

// Trace lines to the debugger through OutputDebugString: a debugger or
// DebugView shows them, and Wine prints them with WINEDEBUG=+debugstr.
class DebugOutput final : public TraceSink {
 public:
  void WriteLine(std::string_view line) override;
};

}  // namespace pelorin::win32
