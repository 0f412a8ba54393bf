#include "support/controls.h"

#include <commctrl.h>

#include <vector>

namespace pelorin::e2e {
namespace {

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  if (GetDlgCtrlID(hwnd) != search->id) return TRUE;
  search->found = hwnd;
  return FALSE;
}

std::string Narrow(const std::wstring& wide) {
  std::string text;
  for (wchar_t c : wide) text.push_back(c < 256 ? static_cast<char>(c) : '?');
  return text;
}

}  // namespace

HWND FindControl(HWND root, int id) {
  Search search{id, nullptr};
  EnumChildWindows(root, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ChooseListEntry(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

int ListSelection(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

int ListCount(HWND combo) {
  return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
}

std::string ListEntryText(HWND combo, int index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Narrow(text);
}

void Click(HWND button) {
  // What a click does to an automatic box, then the notification it sends.
  const LONG_PTR type = GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_AUTOCHECKBOX) {
    SendMessageW(button, BM_SETCHECK, IsTicked(button) ? BST_UNCHECKED : BST_CHECKED, 0);
  } else if (type == BS_AUTORADIOBUTTON) {
    SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
  }
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void ClickWithoutWaiting(HWND button) {
  PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void EnterList(HWND combo) {
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SETFOCUS),
               reinterpret_cast<LPARAM>(combo));
}

bool IsTicked(HWND button) {
  return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string TextOf(HWND hwnd) {
  // GetWindowText does not ask a control of another process for its text;
  // the message does.
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(SendMessageW(
      hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
  return Narrow(text);
}

void TypeText(HWND edit, const std::string& text) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Focus(HWND root, HWND control) {
  SendMessageW(root, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void PressKey(HWND control, int virtual_key) {
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(virtual_key), MAPVK_VK_TO_VSC);
  PostMessageW(control, WM_KEYDOWN, static_cast<WPARAM>(virtual_key), 1 | (scan << 16));
  PostMessageW(control, WM_KEYUP, static_cast<WPARAM>(virtual_key),
               1 | (scan << 16) | (1u << 30) | (1u << 31));
  Settle(GetAncestor(control, GA_ROOT));
}

void Settle(HWND window) {
  // A sent message is handled after everything posted before it.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

std::vector<RECT> TabItemRects(HWND tabs) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(tabs, &process_id);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return {};
  std::vector<RECT> rects;
  void* remote =
      VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote) {
    const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      RECT rect{};
      SIZE_T read = 0;
      if (!SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i),
                        reinterpret_cast<LPARAM>(remote)) ||
          !ReadProcessMemory(process, remote, &rect, sizeof(rect), &read)) {
        rects.clear();
        break;
      }
      rects.push_back(rect);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return rects;
}

bool ShowsChildOfClass(HWND parent, const char* window_class) {
  for (HWND child = FindWindowExA(parent, nullptr, window_class, nullptr); child;
       child = FindWindowExA(parent, child, window_class, nullptr)) {
    if (IsWindowVisible(child)) return true;
  }
  return false;
}

}  // namespace pelorin::e2e
