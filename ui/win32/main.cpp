#include <windows.h>

// The program's entry point. Start-up, the properties window and the message
// loop are wired here as they land; for now the program starts and ends.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
