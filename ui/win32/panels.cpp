#include "ui/win32/panels.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/wide_text.h"

#include "ui/win32/scoped_win.h"

namespace pelorin::win32 {
namespace {

constexpr char kShieldClass[] = "PelorinClickShield";
constexpr char kPictureClass[] = "PelorinPictureBox";
constexpr wchar_t kShieldClassW[] = L"PelorinClickShield";
constexpr wchar_t kPictureClassW[] = L"PelorinPictureBox";

INT_PTR CALLBACK PanelProc(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(panel, GWLP_USERDATA, lparam);
    return FALSE;
  }
  auto* sink = reinterpret_cast<PanelSink*>(GetWindowLongPtrW(panel, GWLP_USERDATA));
  INT_PTR result = FALSE;
  if (sink && sink->OnPanelMessage(panel, message, wparam, lparam, result)) return result;
  return FALSE;
}

LRESULT CALLBACK ShieldProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCHITTEST:
      return HTCLIENT;  // the clicks stop here
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      ValidateRect(hwnd, nullptr);  // draws nothing: the indicators show through
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MOUSEACTIVATE:
      return message == WM_MOUSEACTIVATE ? MA_NOACTIVATE : 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

struct PictureState {
  HBITMAP bitmap = nullptr;
  int offset = 0;
};

PictureState* StateOf(HWND hwnd) {
  return reinterpret_cast<PictureState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (bitmap) GetObjectW(bitmap, sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

void UpdateScrollBar(HWND hwnd) {
  if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_HSCROLL)) return;
  PictureState* state = StateOf(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMax = BitmapSize(state->bitmap).cx - 1;
  info.nPage = static_cast<UINT>(client.right);
  info.nPos = state->offset;
  SetScrollInfo(hwnd, SB_HORZ, &info, TRUE);
}

void ScrollPicture(HWND hwnd, WORD request) {
  PictureState* state = StateOf(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  const int limit = std::max<int>(0, BitmapSize(state->bitmap).cx - client.right);
  int offset = state->offset;
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(hwnd, SB_HORZ, &info);
  switch (request) {
    case SB_LINELEFT:
      offset -= 16;
      break;
    case SB_LINERIGHT:
      offset += 16;
      break;
    case SB_PAGELEFT:
      offset -= client.right;
      break;
    case SB_PAGERIGHT:
      offset += client.right;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      offset = info.nTrackPos;
      break;
    case SB_LEFT:
      offset = 0;
      break;
    case SB_RIGHT:
      offset = limit;
      break;
    default:
      return;
  }
  state->offset = std::clamp(offset, 0, limit);
  UpdateScrollBar(hwnd);
  InvalidateRect(hwnd, nullptr, FALSE);
}

void PaintPicture(HWND hwnd) {
  PaintDc dc(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc.Get(), &client, GetSysColorBrush(COLOR_WINDOW));
  PictureState* state = StateOf(hwnd);
  if (state->bitmap) {
    MemoryDc memory(dc.Get());
    SelectedObject selected(memory.Get(), state->bitmap);
    const SIZE size = BitmapSize(state->bitmap);
    BitBlt(dc.Get(), 0, 0, size.cx - state->offset, size.cy, memory.Get(), state->offset, 0,
           SRCCOPY);
  }
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PictureState));
      break;
    case WM_NCDESTROY:
      delete StateOf(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_HSCROLL:
      ScrollPicture(hwnd, LOWORD(wparam));
      return 0;
    case WM_SIZE:
      UpdateScrollBar(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      PaintPicture(hwnd);
      return 0;
    case WM_LBUTTONDOWN:
      // A click on the picture is its parent's business (focus to the notebook).
      SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

void RegisterClasses(HINSTANCE instance) {
  static bool registered = false;
  if (registered) return;
  registered = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpfnWndProc = ShieldProc;
  wc.lpszClassName = kShieldClassW;
  RegisterClassExW(&wc);
  wc.lpfnWndProc = PictureProc;
  wc.lpszClassName = kPictureClassW;
  RegisterClassExW(&wc);
}

// An empty child dialog: tab order and keyboard navigation work across
// nested panels because of DS_CONTROL and WS_EX_CONTROLPARENT.
struct alignas(DWORD) PanelTemplate {
  DLGTEMPLATE header;
  WORD menu, window_class, title;
};

}  // namespace

int ScreenDpi() {
  WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

HWND ControlBuilder::Panel(HWND parent, int x, int y, int w, int h) {
  PanelTemplate tpl{};
  tpl.header.style = WS_CHILD | WS_VISIBLE | DS_CONTROL | WS_CLIPCHILDREN;
  tpl.header.dwExtendedStyle = WS_EX_CONTROLPARENT;
  HWND panel = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &tpl.header, parent, PanelProc,
                                          reinterpret_cast<LPARAM>(&sink_));
  if (!panel) return nullptr;
  MoveWindow(panel, Scale(x), Scale(y), Scale(w), Scale(h), FALSE);
  return panel;
}

HWND ControlBuilder::Control(HWND parent, const char* window_class, DWORD style, DWORD ex_style,
                             int id, int x, int y, int w, int h, const char* text) {
  RegisterClasses(GetModuleHandleW(nullptr));
  const std::wstring wide_class = Widen(window_class);
  const std::wstring wide_text = Widen(text ? text : "");
  HWND hwnd = CreateWindowExW(ex_style, wide_class.c_str(), text ? wide_text.c_str() : nullptr,
                              WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y), Scale(w), Scale(h),
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(style_.NormalFont()), FALSE);
  return hwnd;
}

HWND ControlBuilder::Label(HWND parent, int id, int x, int y, int w, int h, DWORD align) {
  return Control(parent, "STATIC", align | SS_NOPREFIX, 0, id, x, y, w, h);
}

HWND ControlBuilder::Button(HWND parent, int id, int x, int y, int w, int h, DWORD extra) {
  return Control(parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP | extra, 0, id, x, y, w, h);
}

HWND ControlBuilder::CheckBox(HWND parent, int id, int x, int y, int w, int h) {
  return Control(parent, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, id, x, y, w, h);
}

HWND ControlBuilder::Indicator(HWND parent, int id, int x, int y, int w, int h) {
  // A non-automatic check box with the push-button look: pressed while checked.
  return Control(parent, "BUTTON", BS_CHECKBOX | BS_PUSHLIKE, 0, id, x, y, w, h);
}

HWND ControlBuilder::Combo(HWND parent, int id, int x, int y, int w, int rows) {
  // The height of a drop-down list is that of its dropped list.
  HWND combo = Control(parent, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, id, x, y,
                       w, 24 + rows * 15);
  if (combo) SendMessageW(combo, CB_SETMINVISIBLE, static_cast<WPARAM>(rows), 0);
  return combo;
}

HWND ControlBuilder::Edit(HWND parent, int id, int x, int y, int w, int h, DWORD extra) {
  return Control(parent, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP | extra, WS_EX_CLIENTEDGE, id, x, y, w,
                 h);
}

HWND ControlBuilder::TrackBar(HWND parent, int id, int x, int y, int w, int h, DWORD extra) {
  return Control(parent, TRACKBAR_CLASSA, TBS_HORZ | TBS_BOTTOM | WS_TABSTOP | extra, 0, id, x, y,
                 w, h);
}

HWND ControlBuilder::GroupFrame(HWND parent, int x, int y, int w, int h) {
  return Control(parent, "BUTTON", BS_GROUPBOX, 0, -1, x, y, w, h);
}

HWND ControlBuilder::ClickShield(HWND parent, int x, int y, int w, int h) {
  HWND shield = Control(parent, kShieldClass, 0, WS_EX_TRANSPARENT, -1, x, y, w, h);
  SetWindowPos(shield, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return shield;
}

HWND ControlBuilder::PictureBox(HWND parent, int id, int x, int y, int w, int h,
                                bool scroll_sideways) {
  return Control(parent, kPictureClass, scroll_sideways ? WS_HSCROLL : 0, WS_EX_CLIENTEDGE, id, x,
                 y, w, h);
}

HWND ControlBuilder::Group(HWND parent, ControlEntry& entry, int id, int x, int y, int w, int h) {
  entry.kind = ControlKind::Group;
  entry.hwnd = Panel(parent, x, y, w, h);
  SetWindowLongPtrW(entry.hwnd, GWLP_ID, id);
  entry.parts = {GroupFrame(entry.hwnd, 0, 0, w, h)};
  return entry.hwnd;
}

void ControlBuilder::RadioGroup(HWND parent, ControlEntry& entry, int first_id, int items, int x,
                                int y, int w, int h) {
  entry.kind = ControlKind::RadioGroup;
  entry.hwnd = GroupFrame(parent, x, y, w, h);
  entry.parts.clear();
  const int column = (w - 16) / items;
  for (int i = 0; i < items; ++i) {
    const DWORD group = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
    entry.parts.push_back(Control(parent, "BUTTON", BS_AUTORADIOBUTTON | group, 0, first_id + i,
                                  x + 10 + i * column, y + 17, column - 4, 17));
  }
}

void SetPictureBitmap(HWND picture_box, HBITMAP bitmap) {
  PictureState* state = StateOf(picture_box);
  if (!state) return;
  state->bitmap = bitmap;
  state->offset = 0;
  UpdateScrollBar(picture_box);
  InvalidateRect(picture_box, nullptr, FALSE);
}

}  // namespace pelorin::win32
