#pragma once
#include <string_view>

namespace pelorin {

// Which occurrence of the character a split uses, and which side it keeps.
enum class SplitAt { First, Last };
enum class SplitTake { Before, After };

// The part of `text` before or after the first or last occurrence of `c`;
// `c` itself belongs to neither part. When `c` does not occur, the part
// before the last and the part after the first are the whole text, the part
// after the last and the part before the first are empty. The result views
// `text`.
std::string_view SplitAtChar(std::string_view text, char c, SplitAt at, SplitTake take);

}  // namespace pelorin
