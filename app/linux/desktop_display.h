#pragma once
#include <string>

namespace pelorin::linux_os {

// Whether the desktop's X display (DISPLAY) accepts a connection now. The
// toolkit ends the process when it cannot connect, so the program asks
// first; `why` then says what failed.
bool DisplayOpens(std::string* why);

}  // namespace pelorin::linux_os
