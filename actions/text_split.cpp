#include "actions/text_split.h"

namespace pelorin {

std::string_view SplitAtChar(std::string_view text, char c, SplitAt at, SplitTake take) {
  const std::size_t found = at == SplitAt::First ? text.find(c) : text.rfind(c);
  if (found == std::string_view::npos) {
    const bool whole = (at == SplitAt::Last) == (take == SplitTake::Before);
    return whole ? text : std::string_view{};
  }
  return take == SplitTake::Before ? text.substr(0, found) : text.substr(found + 1);
}

}  // namespace pelorin
