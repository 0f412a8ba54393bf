#pragma once
#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>
#include <pulse/proplist.h>
#include <pulse/volume.h>

#include <string>

namespace pelorin::linux_os {

// Every function of the sound server's client library the program calls.
// A function missing here fails the build (the calls go through the table),
// so the list cannot fall behind the code.
#define PELORIN_PULSE_FUNCTIONS(F)       \
  F(pa_context_connect)                  \
  F(pa_context_disconnect)               \
  F(pa_context_errno)                    \
  F(pa_context_get_sink_info_by_index)   \
  F(pa_context_get_sink_info_by_name)    \
  F(pa_context_get_sink_input_info)      \
  F(pa_context_get_sink_input_info_list) \
  F(pa_context_get_state)                \
  F(pa_context_new)                      \
  F(pa_context_set_sink_input_volume)    \
  F(pa_context_set_sink_volume_by_index) \
  F(pa_context_unref)                    \
  F(pa_cvolume_equal)                    \
  F(pa_mainloop_dispatch)                \
  F(pa_mainloop_free)                    \
  F(pa_mainloop_get_api)                 \
  F(pa_mainloop_iterate)                 \
  F(pa_mainloop_new)                     \
  F(pa_mainloop_poll)                    \
  F(pa_mainloop_prepare)                 \
  F(pa_operation_cancel)                 \
  F(pa_operation_get_state)              \
  F(pa_operation_unref)                  \
  F(pa_proplist_gets)                    \
  F(pa_strerror)

// The sound server's client library (libpulse), loaded at the first volume
// step rather than with the program: it brings some seventeen libraries
// (the codecs its common part links among them) whose loading and
// relocation would lengthen every start and hold memory in a program that
// may never change a volume, and a machine without it still runs the
// program, with every volume "not there".
struct PulseLibrary {
#define PELORIN_PULSE_POINTER(name) decltype(&::name) name = nullptr;
  PELORIN_PULSE_FUNCTIONS(PELORIN_PULSE_POINTER)
#undef PELORIN_PULSE_POINTER
};

// The library, loaded at the first call and kept until the process ends
// (its functions may be in use anywhere). nullptr with the reason in `why`
// when it does not load or lacks a function; the next call tries again.
const PulseLibrary* LoadPulseLibrary(std::string& why);

// The loaded library; only after LoadPulseLibrary succeeded (every
// connection exists only then).
const PulseLibrary& Pulse();

}  // namespace pelorin::linux_os
