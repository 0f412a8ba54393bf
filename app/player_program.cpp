#include "app/player_program.h"

namespace pelorin {

void WinampProgram::Start(const std::string& directory) {
  const bool winamp = files_.FileExists(directory + "\\Winamp.exe");
  shell_.Execute(winamp ? "Winamp.exe" : "Studio.exe", "", directory, kShowShow);
}

}  // namespace pelorin
