#pragma once
#include <string>
#include <string_view>

namespace pelorin {

// The Linux edition shows the program's texts as Windows does, except those
// that name Windows or the Winamp player where the Linux program talks to
// any media player: this table gives their Linux wording. Any other text
// comes back unchanged, so the views can pass every text through it.
std::string EditionText(std::string_view windows_text);

}  // namespace pelorin
