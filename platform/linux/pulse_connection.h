#pragma once
#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>

#include <chrono>
#include <memory>
#include <string>

namespace pelorin::linux_os {

// One connection to the PulseAudio server of the user's session (PipeWire's
// PulseAudio server answers the same way), on a main loop of its own that
// runs only inside these calls, on the calling thread. Every wait has a time
// limit, so a server that hangs or goes away never holds the caller longer
// than that.
class PulseConnection {
 public:
  // Connects to the server the client configuration names (PULSE_SERVER,
  // else the socket in XDG_RUNTIME_DIR), waiting at most `limit`. The server
  // is never started on demand. Answers nullptr with the reason in `why`
  // when the client library does not load, there is no server or it does
  // not answer in time.
  static std::unique_ptr<PulseConnection> Open(std::chrono::milliseconds limit, std::string& why);

  ~PulseConnection();
  PulseConnection(const PulseConnection&) = delete;
  PulseConnection& operator=(const PulseConnection&) = delete;

  // Handles what the server sent since the last call, without waiting, and
  // tells whether the connection still stands (false once the server went
  // away or a reply was not given in time).
  bool Usable();

  pa_context* Context() const { return context_; }

  // Runs the main loop until `operation` is done, at most `limit`, and
  // releases it. Answers false when it is null (the request could not be
  // made), the connection broke or the time ran out; the operation is then
  // cancelled, so that its callback never runs later, and the connection is
  // no longer Usable: a late reply would answer the wrong request.
  bool Complete(pa_operation* operation, std::chrono::milliseconds limit);

 private:
  PulseConnection(pa_mainloop* loop, pa_context* context) : loop_(loop), context_(context) {}

  // Runs the main loop until `done(context_)` holds or `deadline` passes;
  // answers whether it holds.
  template <typename Done>
  bool RunUntil(Done done, std::chrono::steady_clock::time_point deadline);

  pa_mainloop* loop_;
  pa_context* context_;
  bool broken_ = false;
};

}  // namespace pelorin::linux_os
