#include "ui/win32/remap_dialog_view.h"

#include <string>
#include <vector>

#include "ui/win32/control_ids.h"

namespace pelorin::win32 {
namespace {

using R = RemapControl;

constexpr int kClientWidth = 361;
constexpr int kClientHeight = 235;
// Below the centre of the screen, so the properties window stays in view.
constexpr int kBelowCentre = 120;

bool RegisterDialogClass(HINSTANCE instance, const wchar_t* name) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefDlgProcW;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// An empty dialog template of window class `name`, in the shell's dialog font.
std::vector<WORD> DialogTemplate(const wchar_t* name) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  header->dwExtendedStyle = WS_EX_CONTROLPARENT;
  auto text = [&](const wchar_t* s) {
    for (; *s; ++s) words.push_back(static_cast<WORD>(*s));
    words.push_back(0);
  };
  words.push_back(0);  // no menu
  text(name);          // window class
  words.push_back(0);  // no title yet: the presenter gives it
  words.push_back(8);  // point size
  text(L"MS Shell Dlg");
  return words;
}

}  // namespace

RemapDialogView::RemapDialogView() : RemapTable(style_) {}

RemapDialogView::~RemapDialogView() {
  presenter_ = nullptr;  // it may be gone already
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool RemapDialogView::Create(HINSTANCE instance, PortRole port, HWND owner) {
  instance_ = instance;
  class_name_ = port == PortRole::Primary ? L"TForm2" : L"TForm3";
  owner_ = owner;
  return RegisterDialogClass(instance, class_name_);
}

bool RemapDialogView::MakeWindow() {
  if (hwnd_) return true;
  if (!class_name_) return false;
  const std::vector<WORD> tpl = DialogTemplate(class_name_);
  if (!CreateDialogIndirectParamW(instance_, reinterpret_cast<const DLGTEMPLATE*>(tpl.data()),
                                  owner_, DialogProc, reinterpret_cast<LPARAM>(this))) {
    return false;
  }
  // The presenter filled the dialog before it existed: its caption, texts
  // and page are set on the new window now, before it shows.
  style_.Pending().DoForBuiltControls();
  return true;
}

INT_PTR CALLBACK RemapDialogView::DialogProc(HWND hwnd, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, lparam);
    auto* self = reinterpret_cast<RemapDialogView*>(lparam);
    self->hwnd_ = hwnd;
    self->style_.Create(hwnd, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    ControlBuilder b(self->style_, *self, ScreenDpi());
    self->Build(b);
    return FALSE;
  }
  auto* self = reinterpret_cast<RemapDialogView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return self ? self->Handle(message, wparam, lparam) : FALSE;
}

void RemapDialogView::Build(ControlBuilder& b) {
  const int dpi = ScreenDpi();
  RECT r{0, 0, MulDiv(kClientWidth, dpi, 96), MulDiv(kClientHeight, dpi, 96)};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Entry(R::Dialog) = {hwnd_, ControlKind::Window};

  HWND manual = b.Panel(hwnd_, 0, 0, kClientWidth, kClientHeight);
  HWND automatic = b.Panel(hwnd_, 0, 0, kClientWidth, kClientHeight);
  ControlEntry& notebook = Entry(R::Pages);
  notebook.kind = ControlKind::Notebook;
  notebook.hwnd = manual;
  notebook.pages = {{manual}, {automatic}};

  const R groups[4] = {R::DcdChoice, R::DsrChoice, R::CtsChoice, R::RiChoice};
  for (int line = 0; line < 4; ++line) {
    b.RadioGroup(manual, Entry(groups[line]), kRemapRadioIdBase + line * 10, 5, 8, 6 + 46 * line,
                 345, 42);
  }
  auto button = [&](HWND page, R control, int id, int x, int y, int w, DWORD extra = 0) {
    Entry(control) = {b.Button(page, id, x, y, w, 25, extra), ControlKind::Button};
  };
  button(manual, R::AssignAutomaticallyButton, kRemapAssignId, 8, 200, 140);
  button(manual, R::OkButton, IDOK, 194, 200, 75, BS_DEFPUSHBUTTON);
  button(manual, R::CancelButton, IDCANCEL, 278, 200, 75);

  Entry(R::PressInOrderLabel) = {b.Label(automatic, -1, 0, 36, kClientWidth, 16, SS_CENTER),
                                 ControlKind::Label};
  const R prompts[4] = {R::PressButton1Label, R::PressButton2Label, R::PressButton3Label,
                        R::PressButton4Label};
  for (int k = 0; k < 4; ++k) {
    // Wide enough for the bold prompt.
    Entry(prompts[k]) = {b.Label(automatic, -1, 130, 72 + 24 * k, 160, 16), ControlKind::Label};
  }
  button(automatic, R::AutoCancelButton, kRemapAutoCancelId, 143, 196, 75);
  ShowWindow(automatic, SW_HIDE);
}

void RemapDialogView::SetVisible(RemapControl control, bool visible) {
  if (control != R::Dialog) {
    RemapTable::SetVisible(control, visible);
    return;
  }
  if (!visible) {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);  // a dialog never made is hidden already
    return;
  }
  if (!MakeWindow()) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  SetWindowPos(hwnd_, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2 + kBelowCentre, 0, 0,
               SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd_);
}

INT_PTR RemapDialogView::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      // Enter and Escape arrive here from the dialog manager, as IDOK and
      // IDCANCEL of the dialog itself.
      OnCommand(LOWORD(wparam), HIWORD(wparam), true);
      return TRUE;
    case WM_CLOSE:
      // The dialog is never destroyed by a close request; the presenter
      // decides what the close box does.
      if (presenter_) presenter_->OnCloseRequest();
      return TRUE;
    case WM_QUERYENDSESSION:
      SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT,
                        presenter_ && !presenter_->OnCloseRequest() ? FALSE : TRUE);
      return TRUE;
    default: {
      INT_PTR result = FALSE;
      return OnPanelMessage(hwnd_, message, wparam, lparam, result) ? result : FALSE;
    }
  }
}

bool RemapDialogView::OnPanelMessage(HWND, UINT message, WPARAM wparam, LPARAM, INT_PTR& result) {
  if (message != WM_COMMAND) return false;
  OnCommand(LOWORD(wparam), HIWORD(wparam), false);
  result = TRUE;
  return true;
}

void RemapDialogView::OnCommand(WORD id, WORD code, bool from_keyboard) {
  if (!presenter_ || code != BN_CLICKED) return;
  if (id >= kRemapRadioIdBase && id < kRemapRadioIdBase + 40) {
    const int line = (id - kRemapRadioIdBase) / 10;
    presenter_->LineChoiceClicked(static_cast<StatusLine>(line), (id - kRemapRadioIdBase) % 10);
    return;
  }
  switch (id) {
    case IDOK:
      // Enter presses OK only where OK is shown: on the Manual page.
      if (presenter_->Page() == RemapPage::Manual) presenter_->OkClicked();
      break;
    case IDCANCEL:
      if (from_keyboard) {
        presenter_->KeyDown(kEscapeKey);
      } else {
        presenter_->CancelClicked();
      }
      break;
    case kRemapAssignId:
      presenter_->AssignAutomatically();
      break;
    case kRemapAutoCancelId:
      presenter_->AutoCancelClicked();
      break;
    default:
      break;
  }
}

void RemapDialogView::SetFocus(RemapControl control) {
  if (control == RemapControl::Dialog && hwnd_ != nullptr) {
    SetForegroundWindow(hwnd_);
    return;
  }
  RemapTable::SetFocus(control);
}

}  // namespace pelorin::win32
