#pragma once

namespace pelorin {

// The keys the presenters react to, in the numbers of Windows virtual-key
// codes; each platform's view hands its keys over in these numbers.
inline constexpr int kTabKey = 9;
inline constexpr int kEnterKey = 13;
inline constexpr int kEscapeKey = 27;

}  // namespace pelorin
