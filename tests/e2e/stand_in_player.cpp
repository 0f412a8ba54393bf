// A stand-in for the media player, for end-to-end tests only.
//
//   stand_in_player.exe --log=FILE [--sync=EVENT] [--editor] [--slider]
//                       [--status=N] [--position=N] [--timestamps]
//                       [--playlist=FILE] [--playlist-dir=DIR] [--print=FILE]
//
// It registers the player's main window class "Winamp v1.x" (with --editor
// also "Winamp PE", with --slider also "Bluecave Winamp Slider Interface") as
// hidden top-level windows and records every player message they receive to
// FILE (without --log, stand_in_player.log in the current folder, so that
// the stand-in also runs when a program starts it as the player, with no
// arguments), one line each, in the order received:
//
//   <window> <sent|posted> <message> <wparam> <lparam>      (decimal numbers)
//
// where <window> is player, editor or slider. With --timestamps each line
// ends in one more field, the QueryPerformanceCounter value at which the
// message reached the window procedure, so that a measuring program can take
// the time of arrival from the log instead of from when it noticed the line.
// Recorded are WM_COMMAND, the key
// messages and everything from WM_USER up to WM_APP; the window system's own
// traffic is not. The player window answers the status query (WM_USER, lParam
// 104) with N of --status (default 0) and the playlist position query (lParam
// 125) with N of --position (default 0); on the write request (lParam 120) it
// copies --playlist to DIR\winamp.m3u (DIR defaults to the folder of this
// program) before it returns.
//
// With --print, the same messages also go to a second FILE in words, one
// line each ("Next track"), for a person watching a demo: equal messages
// posted in one go make one line, counted ("Volume up (8 steps)" for the
// eight volume steps that "Volume 1/8 up" sends). A
// message sent to it is printed at once, a posted one when no other has
// followed for a moment.
//
// The test steers it with messages to the player window that are not
// recorded: WM_APP+1 sets the status to wParam, WM_APP+2 the position,
// WM_APP+3 signals the named event EVENT once every message posted before it
// has been recorded, WM_APP+4 stops answering for wParam milliseconds (a hung
// player), WM_APP+5 ends the program. EVENT is also signalled once the
// windows exist.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "support/player_message_text.h"

namespace {

using pelorin::testing::Target;

constexpr UINT kSetStatus = WM_APP + 1;
constexpr UINT kSetPosition = WM_APP + 2;
constexpr UINT kSync = WM_APP + 3;
constexpr UINT kHang = WM_APP + 4;
constexpr UINT kQuit = WM_APP + 5;

struct Options {
  std::string log;
  std::string sync;
  std::string playlist;
  std::string playlist_dir;
  std::string print;
  bool editor = false;
  bool slider = false;
  bool timestamps = false;
  LRESULT status = 0;
  LRESULT position = 0;
};

Options g_options;
FILE* g_log = nullptr;
FILE* g_print = nullptr;

// Posted messages wait here until a different one arrives or none has come
// for kBurstGapMs, so that a burst prints as one line. The gap is well below
// the program's 25 ms poll cycle, which separates one command's burst from
// the next repeat.
struct PendingBurst {
  pelorin::testing::ReceivedMessage message;
  int count = 0;
};
std::optional<PendingBurst> g_pending;
constexpr UINT kBurstGapMs = 10;
UINT_PTR g_burst_timer = 0;
HANDLE g_sync = nullptr;

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.rfind('\\'));
}

bool Recorded(UINT message) {
  return message == WM_COMMAND || message == WM_KEYDOWN || message == WM_KEYUP ||
         message == WM_CHAR || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
         (message >= WM_USER && message < WM_APP);
}

bool SameMessage(const pelorin::testing::ReceivedMessage& a,
                 const pelorin::testing::ReceivedMessage& b) {
  return a.target == b.target && a.message == b.message && a.wparam == b.wparam &&
         a.lparam == b.lparam;
}

void FlushPrinted() {
  if (g_burst_timer != 0) KillTimer(nullptr, g_burst_timer);
  g_burst_timer = 0;
  if (!g_print || !g_pending) return;
  std::fprintf(g_print, "%s\n",
               pelorin::testing::DescribeBurst(g_pending->message, g_pending->count).c_str());
  std::fflush(g_print);
  g_pending.reset();
}

void Print(Target target, UINT message, WPARAM wparam, LPARAM lparam, bool sent) {
  if (!g_print) return;
  const pelorin::testing::ReceivedMessage received{target, message, wparam, lparam};
  if (g_pending && SameMessage(g_pending->message, received) && !sent) {
    ++g_pending->count;
  } else {
    FlushPrinted();
    g_pending = PendingBurst{received, 1};
  }
  // The sender of a sent message waits for it: nothing follows in its burst.
  if (sent) {
    FlushPrinted();
    return;
  }
  // A thread timer of the same id starts over: the gap counts from the last message.
  g_burst_timer = SetTimer(nullptr, g_burst_timer, kBurstGapMs,
                           [](HWND, UINT, UINT_PTR, DWORD) { FlushPrinted(); });
}

const char* WindowName(Target target) {
  switch (target) {
    case Target::Player:
      return "player";
    case Target::PlaylistEditor:
      return "editor";
    default:
      return "slider";
  }
}

void Record(Target target, UINT message, WPARAM wparam, LPARAM lparam) {
  LARGE_INTEGER arrival{};
  QueryPerformanceCounter(&arrival);
  const bool sent = InSendMessage();
  std::fprintf(g_log, "%s %s %u %llu %lld", WindowName(target), sent ? "sent" : "posted", message,
               static_cast<unsigned long long>(wparam), static_cast<long long>(lparam));
  if (g_options.timestamps) std::fprintf(g_log, " %lld", static_cast<long long>(arrival.QuadPart));
  std::fputc('\n', g_log);
  std::fflush(g_log);
  Print(target, message, wparam, lparam, sent);
}

void WritePlaylistFile() {
  if (g_options.playlist.empty()) return;
  const std::string dir = g_options.playlist_dir.empty() ? ProgramFolder() : g_options.playlist_dir;
  CopyFileA(g_options.playlist.c_str(), (dir + "\\winamp.m3u").c_str(), FALSE);
}

LRESULT AnswerPlayerRequest(LPARAM request) {
  switch (request) {
    case 104:
      return g_options.status;
    case 125:
      return g_options.position;
    case 120:
      WritePlaylistFile();
      return 1;
    default:
      return 0;
  }
}

bool Steer(UINT message, WPARAM wparam) {
  switch (message) {
    case kSetStatus:
      g_options.status = static_cast<LRESULT>(wparam);
      return true;
    case kSetPosition:
      g_options.position = static_cast<LRESULT>(wparam);
      return true;
    case kSync:
      SetEvent(g_sync);
      return true;
    case kHang:
      Sleep(static_cast<DWORD>(wparam));
      return true;
    case kQuit:
      PostQuitMessage(0);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (Steer(message, wparam)) return 0;
  if (!Recorded(message)) return DefWindowProcA(window, message, wparam, lparam);
  Record(Target::Player, message, wparam, lparam);
  return message == WM_USER ? AnswerPlayerRequest(lparam) : 0;
}

LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!Recorded(message)) return DefWindowProcA(window, message, wparam, lparam);
  Record(Target::PlaylistEditor, message, wparam, lparam);
  return 0;
}

LRESULT CALLBACK SliderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!Recorded(message)) return DefWindowProcA(window, message, wparam, lparam);
  Record(Target::Slider, message, wparam, lparam);
  return 0;
}

HWND CreateHiddenWindow(const char* class_name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = class_name;
  RegisterClassA(&wc);
  return CreateWindowExA(0, class_name, class_name, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                         nullptr, wc.hInstance, nullptr);
}

std::string Value(const std::string& arg, const char* name) {
  const std::string prefix = std::string(name) + "=";
  return arg.rfind(prefix, 0) == 0 ? arg.substr(prefix.size()) : std::string();
}

void ParseArguments() {
  for (int i = 1; i < __argc; ++i) {
    const std::string arg = __argv[i];
    if (arg == "--editor") g_options.editor = true;
    if (arg == "--slider") g_options.slider = true;
    if (arg == "--timestamps") g_options.timestamps = true;
    if (auto v = Value(arg, "--log"); !v.empty()) g_options.log = v;
    if (auto v = Value(arg, "--sync"); !v.empty()) g_options.sync = v;
    if (auto v = Value(arg, "--playlist"); !v.empty()) g_options.playlist = v;
    if (auto v = Value(arg, "--playlist-dir"); !v.empty()) g_options.playlist_dir = v;
    if (auto v = Value(arg, "--print"); !v.empty()) g_options.print = v;
    if (auto v = Value(arg, "--status"); !v.empty()) g_options.status = std::stoll(v);
    if (auto v = Value(arg, "--position"); !v.empty()) g_options.position = std::stoll(v);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ParseArguments();
  if (g_options.log.empty()) g_options.log = "stand_in_player.log";
  g_log = std::fopen(g_options.log.c_str(), "a");
  if (!g_log) return 3;
  if (!g_options.print.empty() && !(g_print = std::fopen(g_options.print.c_str(), "a"))) return 3;
  if (!g_options.sync.empty())
    g_sync = OpenEventA(EVENT_MODIFY_STATE, FALSE, g_options.sync.c_str());

  CreateHiddenWindow("Winamp v1.x", PlayerProc);
  if (g_options.editor) CreateHiddenWindow("Winamp PE", EditorProc);
  if (g_options.slider) CreateHiddenWindow("Bluecave Winamp Slider Interface", SliderProc);
  if (g_sync) SetEvent(g_sync);

  // No TranslateMessage: a posted key must not turn into extra characters.
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  FlushPrinted();
  std::fclose(g_log);
  if (g_print) std::fclose(g_print);
  if (g_sync) CloseHandle(g_sync);
  return 0;
}
