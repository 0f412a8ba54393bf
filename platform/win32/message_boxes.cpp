#include "platform/win32/message_boxes.h"

#include <windows.h>

#include <cwchar>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

// Raises a message box above every other window as it is activated.
LRESULT CALLBACK RaiseBoxOnActivate(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wparam);
    wchar_t class_name[8] = {};
    GetClassNameW(window, class_name, 8);
    if (std::wcscmp(class_name, L"#32770") == 0) {
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Windows makes a box shown with MB_TOPMOST a topmost window; Wine (8.0 and
// older) does so only for system-modal boxes and ownerless task-modal ones.
// While this lives, boxes this thread opens are raised on every system.
class BoxesRaisedOnThisThread {
 public:
  BoxesRaisedOnThisThread()
      : hook_(SetWindowsHookExW(WH_CBT, RaiseBoxOnActivate, nullptr, GetCurrentThreadId())) {}
  ~BoxesRaisedOnThisThread() {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  BoxesRaisedOnThisThread(const BoxesRaisedOnThisThread&) = delete;
  BoxesRaisedOnThisThread& operator=(const BoxesRaisedOnThisThread&) = delete;

 private:
  HHOOK hook_;
};

unsigned IconFlag(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
    case MessageIcon::Warning:
      return MB_ICONWARNING;
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::None:
      break;
  }
  return 0;
}

unsigned ButtonsFlag(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return MB_OKCANCEL;
    case MessageButtons::YesNo:
      return MB_YESNO;
    case MessageButtons::Ok:
      break;
  }
  return MB_OK;
}

}  // namespace

unsigned MessageBoxFlags(const MessageBoxRequest& request) {
  // Every box this program shows comes from a resident program in the
  // background, which Windows does not let take the foreground: without
  // these flags a question opens behind the active window while the buttons
  // wait for its answer.
  unsigned flags =
      IconFlag(request.icon) | ButtonsFlag(request.buttons) | MB_TOPMOST | MB_SETFOREGROUND;
  if (request.task_modal) flags |= MB_TASKMODAL;
  if (request.default_button == 2) flags |= MB_DEFBUTTON2;
  return flags;
}

MessageAnswer AnswerFromResult(int result, MessageButtons buttons) {
  switch (result) {
    case IDOK:
      return MessageAnswer::Ok;
    case IDCANCEL:
      return MessageAnswer::Cancel;
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    default:
      return DismissedAnswer(buttons);
  }
}

MessageAnswer MessageBoxes::Show(const MessageBoxRequest& request) {
  HWND owner = reinterpret_cast<HWND>(request.owner);
  // Without the hook (a refused hook) the flags alone still hold on Windows.
  const BoxesRaisedOnThisThread raised;
  const int result = MessageBoxW(owner, Widen(request.text).c_str(), Widen(request.caption).c_str(),
                                 MessageBoxFlags(request));
  return AnswerFromResult(result, request.buttons);
}

}  // namespace pelorin::win32
