// A stand-in for the system's volume control, for end-to-end tests only.
// Placed in the system folder under the control's name, it records each of
// its starts as one line in the file of its own path plus ".log": its
// arguments, separated by single blanks (an empty line when it had none).
// It shows nothing and ends at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char own_path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, own_path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  std::string line;
  for (int index = 1; index < __argc; ++index) {
    if (index > 1) line += ' ';
    line += __argv[index];
  }
  line += '\n';
  std::FILE* log = std::fopen((std::string(own_path, length) + ".log").c_str(), "ab");
  if (log == nullptr) return 1;
  std::fwrite(line.data(), 1, line.size(), log);
  std::fclose(log);
  return 0;
}
