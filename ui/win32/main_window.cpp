#include "ui/win32/main_window.h"

#include <commctrl.h>
#include <dbt.h>

#include <cwchar>
#include <iterator>
#include <string>

#include "platform/win32/wide_text.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_text.h"

namespace pelorin::win32 {
namespace {

// The tray icon is added again on this timer until the shell takes it: at
// log-on the program may start before the taskbar exists, and then NIM_ADD
// fails. Its id lies outside the program's four timers.
constexpr UINT_PTR kTrayRetryTimer = 5;
constexpr UINT kTrayRetryIntervalMs = 2000;

// The timers' ids: 1 to 4 in the enumeration's order.
UINT_PTR IdOf(WindowTimer timer) {
  return static_cast<UINT_PTR>(timer) + 1;
}

bool TimerFromId(UINT_PTR id, WindowTimer& timer) {
  if (id < 1 || id > 4) return false;
  timer = static_cast<WindowTimer>(id - 1);
  return true;
}

UINT MenuIdOf(TrayMenuItem item) {
  switch (item) {
    case TrayMenuItem::Properties:
      return IDM_TRAY_PROPERTIES;
    case TrayMenuItem::StartPlayer:
      return IDM_TRAY_START_PLAYER;
    case TrayMenuItem::Volume:
      return IDM_TRAY_VOLUME;
    case TrayMenuItem::Exit:
      return IDM_TRAY_EXIT;
  }
  return 0;
}

// The window is a dialog, and the dialog manager's DM_GETDEFID and
// DM_SETDEFID have the numbers WM_USER and WM_USER + 1, which are also the
// requests of another copy and the tray icon's callback. The dialog manager
// sends from this thread, with lParam 0; another copy sends its requests
// from its own process; the tray callback always carries a mouse message.
bool FromDialogManager(UINT message, LPARAM lparam) {
  const bool sent_by_another_thread = (InSendMessageEx(nullptr) & ISMEX_SEND) != 0;
  if (message == DM_GETDEFID) return !sent_by_another_thread;
  if (message == DM_SETDEFID) return lparam == 0;
  return false;
}

bool RegisterWindowClass(HINSTANCE instance) {
  // A dialog template with CLASS "TForm1": the class must be a dialog class.
  // Registered wide, so that every text of the window and its controls is
  // UTF-16 and no character passes through the ANSI code page.
  static const std::wstring class_name = Widen(kMainWindowClass);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefDlgProcW;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PELORIN));
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = class_name.c_str();
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

MainWindow::~MainWindow() {
  if (tray_icon_added_) RemoveTrayIcon();
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance, ProgramWindowEvents& events, DialogContent* content) {
  instance_ = instance;
  events_ = &events;
  content_ = content;
  if (!RegisterWindowClass(instance)) return false;
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  hwnd_ = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PROPERTIES), nullptr, DialogProc,
                             reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return false;
  CreateTrayMenu();
  tray_icon_ = LoadTrayIcon(instance);
  return true;
}

int MainWindow::RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TakePostedRequest(msg)) continue;
    // Every top-level window of the program is a dialog (the properties
    // window and the remap dialogs): each handles its own Tab, Enter and Esc.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (!IsDialogMessageW(root ? root : hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}

void MainWindow::StartTimer(WindowTimer timer) {
  const WindowTimerPeriod period = PeriodOf(timer);
  if (period.interval_ms == 0) {
    // SetTimer would wait at least USER_TIMER_MINIMUM (10 ms); a tick
    // posted now runs as soon as the loop turns. Its one-shot timer is
    // stopped by its handler, after which a stray tick is ignored.
    PostMessageW(hwnd_, WM_TIMER, IdOf(timer), 0);
  } else {
    SetTimer(hwnd_, IdOf(timer), static_cast<UINT>(period.interval_ms), nullptr);
  }
  timer_running_[static_cast<std::size_t>(timer)] = true;
}

void MainWindow::StopTimer(WindowTimer timer) {
  KillTimer(hwnd_, IdOf(timer));
  timer_running_[static_cast<std::size_t>(timer)] = false;
}

bool MainWindow::TimerRunning(WindowTimer timer) const {
  return timer_running_[static_cast<std::size_t>(timer)];
}

bool MainWindow::Visible() const {
  return IsWindowVisible(hwnd_) != FALSE;
}

void MainWindow::Show() {
  const bool was_visible = Visible();
  ShowWindow(hwnd_, SW_SHOW);
  if (!was_visible) events_->OnShown();
}

void MainWindow::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::BringToFront() {
  SetForegroundWindow(hwnd_);
}

void MainWindow::SetCaption(const std::string& caption) {
  SetWindowTextUtf8(hwnd_, caption);
}

void MainWindow::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // keep the loop's end for the loop
      break;
    }
    if (TakePostedRequest(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool MainWindow::TakePostedRequest(const MSG& msg) {
  // A request posted rather than sent would reach the window procedure
  // looking like the dialog manager's own message: take it here instead.
  if (msg.hwnd != hwnd_ || msg.message != WM_USER) return false;
  events_->OnUserMessage(msg.wParam, msg.lParam);
  return true;
}

void MainWindow::EndMessageLoop() {
  // No timer may run once the program is ending: a late LED step would
  // light the LED again after the program cleared it.
  for (WindowTimer timer : {WindowTimer::StartupTimer, WindowTimer::PollTimer,
                            WindowTimer::LedTimer, WindowTimer::TrayClickTimer}) {
    StopTimer(timer);
  }
  KillTimer(hwnd_, kTrayRetryTimer);
  PostQuitMessage(0);
}

UniqueIcon MainWindow::LoadTrayIcon(HINSTANCE instance) {
  // The small icon at the size the screen's DPI asks for (16 pixels at 100 %,
  // 20 at 125 %, 24 at 150 %), drawn from the nearest image in the resource.
  HICON icon = nullptr;
  if (SUCCEEDED(LoadIconMetric(instance, MAKEINTRESOURCEW(IDI_PELORIN), LIM_SMALL, &icon))) {
    return UniqueIcon(icon);
  }
  const int size = GetSystemMetrics(SM_CXSMICON);
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_PELORIN), IMAGE_ICON, size, size, 0)));
}

NOTIFYICONDATAW MainWindow::TrayRecord() const {
  NOTIFYICONDATAW record{};
  // The original, smallest form of the record: every shell version takes it.
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = hwnd_;
  record.uID = 0;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallback;
  record.hIcon = tray_icon_.get();
  std::wcsncpy(record.szTip, Widen(tray_tip_).c_str(), std::size(record.szTip) - 1);
  return record;
}

bool MainWindow::TryAddTrayIcon() {
  NOTIFYICONDATAW record = TrayRecord();
  if (Shell_NotifyIconW(NIM_ADD, &record)) return true;
  // A busy shell may time out the call and add the icon later, or the icon
  // may be there already: then it only needs to be brought up to date.
  return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

void MainWindow::AddTrayIcon() {
  tray_icon_added_ = true;
  if (TryAddTrayIcon()) {
    KillTimer(hwnd_, kTrayRetryTimer);
  } else {
    SetTimer(hwnd_, kTrayRetryTimer, kTrayRetryIntervalMs, nullptr);
  }
}

void MainWindow::RemoveTrayIcon() {
  KillTimer(hwnd_, kTrayRetryTimer);
  NOTIFYICONDATAW record = TrayRecord();
  Shell_NotifyIconW(NIM_DELETE, &record);
  tray_icon_added_ = false;
}

void MainWindow::SetTrayTip(const std::string& tip) {
  tray_tip_ = tip;
  if (!tray_icon_added_) return;
  NOTIFYICONDATAW record = TrayRecord();
  record.uFlags = NIF_TIP;
  // Not tested, as for the adding: a tip the shell did not take is no fault.
  Shell_NotifyIconW(NIM_MODIFY, &record);
}

void MainWindow::CreateTrayMenu() {
  tray_menu_.reset(CreatePopupMenu());
  HMENU menu = tray_menu_.get();
  AppendMenuW(menu, MF_STRING, IDM_TRAY_PROPERTIES, L"P&roperties");
  AppendMenuW(menu, MF_STRING, IDM_TRAY_START_PLAYER, L"Start &Winamp");
  AppendMenuW(menu, MF_STRING, IDM_TRAY_VOLUME, L"&Volume");
  AppendMenuW(menu, MF_STRING, IDM_TRAY_EXIT, L"E&xit");
  SetMenuDefaultItem(menu, IDM_TRAY_PROPERTIES, FALSE);  // drawn bold
}

void MainWindow::OpenTrayMenuAtCursor() {
  // Foreground first, also while hidden: otherwise the menu does not close
  // when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  POINT cursor{};
  GetCursorPos(&cursor);
  TrackPopupMenuEx(tray_menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x,
                   cursor.y, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void MainWindow::EnableTrayMenuItem(TrayMenuItem item, bool enabled) {
  EnableMenuItem(tray_menu_.get(), MenuIdOf(item),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::SetResult(LRESULT result) {
  SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, lparam);
    auto* self = reinterpret_cast<MainWindow*>(lparam);
    self->hwnd_ = hwnd;
    INT_PTR result = FALSE;
    if (self->content_) self->content_->HandleDialogMessage(hwnd, message, wparam, lparam, result);
    return FALSE;  // the window stays hidden; no control takes the focus yet
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->Handle(message, wparam, lparam) : FALSE;
}

bool MainWindow::HandleCommand(WORD id) {
  switch (id) {
    case IDM_TRAY_PROPERTIES:
      events_->OnTrayMenu(TrayMenuItem::Properties);
      return true;
    case IDM_TRAY_START_PLAYER:
      events_->OnTrayMenu(TrayMenuItem::StartPlayer);
      return true;
    case IDM_TRAY_VOLUME:
      events_->OnTrayMenu(TrayMenuItem::Volume);
      return true;
    case IDM_TRAY_EXIT:
      events_->OnTrayMenu(TrayMenuItem::Exit);
      return true;
    default:
      return false;
  }
}

INT_PTR MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  // The dialog manager's default button (OK) is its own business.
  if (FromDialogManager(message, lparam)) return FALSE;
  if (taskbar_created_ != 0 && message == taskbar_created_) {
    events_->OnTaskbarCreated();
    return TRUE;
  }
  switch (message) {
    case WM_TIMER: {
      if (wparam == kTrayRetryTimer) {
        if (TryAddTrayIcon()) KillTimer(hwnd_, kTrayRetryTimer);
        return TRUE;
      }
      WindowTimer timer;
      if (TimerFromId(wparam, timer)) events_->OnTimer(timer);
      return TRUE;
    }
    case WM_USER:
      SetResult(events_->OnUserMessage(wparam, lparam));
      return TRUE;
    case kTrayCallback:
      events_->TrayMessage(static_cast<std::uint32_t>(lparam));
      return TRUE;
    case WM_COMMAND:
      if (HandleCommand(LOWORD(wparam))) return TRUE;
      break;
    case WM_CLOSE:
      if (events_->OnCloseRequest()) {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
        PostQuitMessage(0);
      }
      return TRUE;
    case WM_DEVICECHANGE:
      // Ports arriving are announced to every top-level window, this hidden
      // one included, without registering for device notifications.
      if (wparam == DBT_DEVICEARRIVAL && lparam != 0 &&
          reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam)->dbch_devicetype == DBT_DEVTYP_PORT) {
        events_->PortArrived();
      }
      SetResult(TRUE);
      return TRUE;
    case WM_QUERYENDSESSION:
      SetResult(events_->OnSessionEndQuery() ? TRUE : FALSE);
      return TRUE;
    case WM_ENDSESSION:
      // FALSE: the end was cancelled, and the program simply runs on.
      if (wparam) events_->OnSessionEnd();
      SetResult(0);
      return TRUE;
    default:
      break;
  }
  INT_PTR result = FALSE;
  if (content_ && content_->HandleDialogMessage(hwnd_, message, wparam, lparam, result)) {
    return result;
  }
  return FALSE;
}

}  // namespace pelorin::win32
