#pragma once
// The measuring probes' results: "result NAME VALUE" lines on standard
// output, which scripts/render-performance.py reads, and the summary of a
// series of samples.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace pelorin::measure {

inline void Result(const std::string& name, double value) {
  std::printf("result %s %.3f\n", name.c_str(), value);
  std::fflush(stdout);
}

// The value below which `share` of the sorted samples lie (nearest rank).
inline double Percentile(std::vector<double> samples, double share) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const auto rank = static_cast<std::size_t>(share * static_cast<double>(samples.size()) + 0.999);
  return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

// The count, minimum, median, 90th and 99th percentiles and maximum of
// `samples`, each as NAME_<figure>.
inline void Summary(const std::string& name, const std::vector<double>& samples) {
  Result(name + "_count", static_cast<double>(samples.size()));
  Result(name + "_min", Percentile(samples, 0));
  Result(name + "_median", Percentile(samples, 0.5));
  Result(name + "_p90", Percentile(samples, 0.9));
  Result(name + "_p99", Percentile(samples, 0.99));
  Result(name + "_max", Percentile(samples, 1));
}

}  // namespace pelorin::measure
