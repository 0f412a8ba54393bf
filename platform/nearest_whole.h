#pragma once

namespace pelorin {

// The nearest whole number to `value`, halves away from zero: what
// std::lround gives, without the math library, which the Linux program
// would otherwise load at every start for its few roundings. Exact, since
// the part after the point of a double is itself a double; `value` must
// lie within the range of long.
constexpr long NearestWhole(double value) {
  const double magnitude = value < 0 ? -value : value;
  long whole = static_cast<long>(magnitude);
  if (magnitude - static_cast<double>(whole) >= 0.5) ++whole;
  return value < 0 ? -whole : whole;
}

}  // namespace pelorin
