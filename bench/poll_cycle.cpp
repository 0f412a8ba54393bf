// The cost of one poll cycle, with both ports open: idle, and with every
// virtual button of both ports pressed, released, double-clicked, held and
// repeating in turn. Reports ns per cycle and heap allocations per cycle,
// which must be zero.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "support/engine_rig.h"

namespace {

std::atomic<std::int64_t> g_allocations{0};

}  // namespace

// Counting replacements of the global allocation functions; the array forms
// fall back to these. GCC cannot see that the pair below matches.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace pelorin {
namespace {

using testing::EngineRig;

// One button's turn on a port in "15 buttons" mode, one entry per cycle
// (true = the button's combination is on the lines): a press, a quick second
// press (double-click), a hold of four cycles (turbo, after holding), and a
// lone press whose window runs out (single click).
constexpr bool kTurn[] = {true, false, true,  true,  true,  true,  false, false,
                          true, false, false, false, false, false, false, false};

// The modem-status word that puts combination code `code` (1..15) on the
// lines under the default assignment.
std::uint32_t StatusForCode(int code) {
  std::uint32_t status = 0;
  for (int k = 1; k <= 4; ++k) {
    if (code & (1 << (k - 1))) status |= EngineRig::LineOf(k);
  }
  return status;
}

struct BenchRig : EngineRig {
  BenchRig() {
    OpenSecondary();
    sink.keep_events = false;
    view.keep_code_updates = false;
    settings.Options.UsePort2 = true;
  }
};

void ReportAllocations(benchmark::State& state, std::int64_t before) {
  const std::int64_t allocations = g_allocations.load() - before;
  state.counters["allocs_per_cycle"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
  if (allocations != 0) state.SkipWithError("the poll cycle allocated on the heap");
}

void BM_PollCycleIdle(benchmark::State& state) {
  BenchRig rig;
  rig.Tick();  // the first cycle lights the LEDs
  const std::int64_t before = g_allocations.load();
  for (auto _ : state) rig.Tick();
  ReportAllocations(state, before);
}
BENCHMARK(BM_PollCycleIdle);

void BM_PollCycleAllButtonsBusy(benchmark::State& state) {
  BenchRig rig;
  rig.settings.Options.DblClickSpeed = 1;  // 100 ms, so lone presses end their window
  rig.settings.Options.TurboCPS = 100;
  for (PortRole port : kPortRoles) {
    rig.settings.PortSettings(port).Mode = PortMode::Fifteen;
    for (int b = 1; b <= 15; ++b)
      rig.settings.Slot(port, b).Mode = static_cast<std::uint8_t>(b % 5);
  }
  // Precomputed so that the loop touches no container.
  std::vector<std::uint32_t> script[2];
  for (int port = 0; port < 2; ++port) {
    for (int b = 0; b < 15; ++b) {
      const int code = (b + 7 * port) % 15 + 1;  // the ports are out of step
      for (bool on : kTurn) script[port].push_back(on ? StatusForCode(code) : 0);
    }
  }
  const std::size_t length = script[0].size();
  std::size_t step = 0;
  rig.Tick();  // the first cycle lights the LEDs
  const std::int64_t before = g_allocations.load();
  const std::int64_t sent_before = rig.sink.sent;
  for (auto _ : state) {
    rig.ports.Port(1).status = script[0][step];
    rig.ports.Port(2).status = script[1][step];
    step = (step + 1) % length;
    rig.Tick();
  }
  ReportAllocations(state, before);
  state.counters["commands_per_cycle"] = benchmark::Counter(
      static_cast<double>(rig.sink.sent - sent_before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PollCycleAllButtonsBusy);

// The most commands a cycle sends in steady use: all four buttons of both
// ports held in "Turbo" at 100 repeats per second.
void BM_PollCycleTurboStorm(benchmark::State& state) {
  BenchRig rig;
  rig.settings.Options.TurboCPS = 100;
  for (PortRole port : kPortRoles) {
    for (int b = 1; b <= 4; ++b) {
      rig.settings.Slot(port, b).Mode = static_cast<std::uint8_t>(ClickMode::Turbo);
      rig.Hold(port, b);
    }
  }
  rig.Tick();
  const std::int64_t before = g_allocations.load();
  const std::int64_t sent_before = rig.sink.sent;
  for (auto _ : state) rig.Tick();
  ReportAllocations(state, before);
  state.counters["commands_per_cycle"] = benchmark::Counter(
      static_cast<double>(rig.sink.sent - sent_before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PollCycleTurboStorm);

}  // namespace
}  // namespace pelorin
