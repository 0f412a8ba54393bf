#include "platform/linux/pulse_connection.h"

#include "platform/linux/pulse_library.h"

#include <algorithm>
#include <climits>

namespace pelorin::linux_os {
namespace {

using Clock = std::chrono::steady_clock;

bool Connected(pa_context* context) {
  return Pulse().pa_context_get_state(context) == PA_CONTEXT_READY;
}

// True once the connection is made or has failed for good.
bool Settled(pa_context* context) {
  const pa_context_state_t state = Pulse().pa_context_get_state(context);
  return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
}

}  // namespace

template <typename Done>
bool PulseConnection::RunUntil(Done done, Clock::time_point deadline) {
  while (!done(context_)) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    // The poll waits at most until the deadline; an interrupted poll counts
    // as an empty one and the loop comes round again.
    const int timeout = static_cast<int>(std::min<long long>(left.count(), INT_MAX));
    if (Pulse().pa_mainloop_prepare(loop_, timeout) < 0 || Pulse().pa_mainloop_poll(loop_) < 0 ||
        Pulse().pa_mainloop_dispatch(loop_) < 0) {
      return false;
    }
  }
  return true;
}

std::unique_ptr<PulseConnection> PulseConnection::Open(std::chrono::milliseconds limit,
                                                       std::string& why) {
  if (LoadPulseLibrary(why) == nullptr) return nullptr;
  pa_mainloop* loop = Pulse().pa_mainloop_new();
  if (loop == nullptr) {
    why = "no main loop could be made";
    return nullptr;
  }
  pa_context* context = Pulse().pa_context_new(Pulse().pa_mainloop_get_api(loop), "Pelorin");
  if (context == nullptr) {
    Pulse().pa_mainloop_free(loop);
    why = "no client context could be made";
    return nullptr;
  }
  // From here the connection owns both and frees them on every way out.
  std::unique_ptr<PulseConnection> connection(new PulseConnection(loop, context));
  // Starting a server for a volume step would leave a sound server running
  // that the user never asked for.
  if (Pulse().pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    why = Pulse().pa_strerror(Pulse().pa_context_errno(context));
    return nullptr;
  }
  if (!connection->RunUntil(Settled, Clock::now() + limit)) {
    why = "the server did not answer within " + std::to_string(limit.count()) + " ms";
    return nullptr;
  }
  if (!Connected(context)) {
    why = Pulse().pa_strerror(Pulse().pa_context_errno(context));
    return nullptr;
  }
  return connection;
}

PulseConnection::~PulseConnection() {
  Pulse().pa_context_disconnect(context_);
  Pulse().pa_context_unref(context_);
  Pulse().pa_mainloop_free(loop_);
}

bool PulseConnection::Usable() {
  if (broken_) return false;
  // Drains what arrived without blocking: a server that went away has
  // closed the socket, which turns the context to failed here. Bounded, so
  // that a server that keeps sending cannot keep the caller here.
  constexpr int kMostRounds = 64;
  for (int round = 0; round < kMostRounds && Pulse().pa_mainloop_iterate(loop_, 0, nullptr) > 0;
       ++round) {
  }
  return Connected(context_);
}

bool PulseConnection::Complete(pa_operation* operation, std::chrono::milliseconds limit) {
  if (operation == nullptr) return false;
  const bool done = RunUntil(
      [operation](pa_context* context) {
        return Pulse().pa_operation_get_state(operation) != PA_OPERATION_RUNNING ||
               !Connected(context);
      },
      Clock::now() + limit);
  const bool completed = done && Pulse().pa_operation_get_state(operation) == PA_OPERATION_DONE;
  if (!completed) {
    Pulse().pa_operation_cancel(operation);
    broken_ = true;
  }
  Pulse().pa_operation_unref(operation);
  return completed;
}

}  // namespace pelorin::linux_os
