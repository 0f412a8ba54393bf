// Cost of decoding both ports in one poll cycle (every 25 ms), for every
// port mode, over a stream of changing line levels.
#include <benchmark/benchmark.h>

#include "input/decoder.h"

namespace pelorin {
namespace {

void BM_DecodeBothPortsPerCycle(benchmark::State& state) {
  const auto mode = ChoiceAt<PortMode>(static_cast<int>(state.range(0)));
  const LineAssignment assignment;
  int code = 0;
  for (auto _ : state) {
    for (int port = 0; port < 2; ++port) {
      const LineLevels lines{.dcd = (code & 1) != 0,
                             .dsr = (code & 2) != 0,
                             .cts = (code & 4) != 0,
                             .ri = (code & 8) != 0};
      const HardwareButtons hardware = DecodeHardwareButtons(lines, assignment);
      benchmark::DoNotOptimize(DecodeVirtualButtons(hardware, mode));
      code = (code + 7) & 15;
    }
  }
}
BENCHMARK(BM_DecodeBothPortsPerCycle)->DenseRange(0, 3);

void BM_ButtonNames(benchmark::State& state) {
  const auto mode = ChoiceAt<PortMode>(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ButtonNames(mode));
}
BENCHMARK(BM_ButtonNames)->DenseRange(0, 3);

}  // namespace
}  // namespace pelorin
