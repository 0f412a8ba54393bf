#include "ui/win32/common_dialogs.h"

#include <commdlg.h>

#include <vector>

#include "platform/win32/com_apartment.h"
#include "platform/win32/wide_text.h"

namespace pelorin::win32 {

std::wstring DialogFilter(const std::string& filter) {
  if (filter.empty()) return {};
  std::wstring parts = Widen(filter);
  for (wchar_t& c : parts) {
    if (c == L'|') c = L'\0';
  }
  parts.push_back(L'\0');
  parts.push_back(L'\0');
  return parts;
}

std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request,
                                          FileDialogKind kind) {
  // Room for a long path; the preset name is cut to fit.
  std::vector<wchar_t> file(32768, L'\0');
  Widen(request.file_name).copy(file.data(), file.size() - 1);
  const std::wstring filter = DialogFilter(request.filter);
  const std::wstring initial_directory = Widen(request.initial_directory);
  const std::wstring title = Widen(request.title);
  const std::wstring default_extension = Widen(request.default_extension);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = initial_directory.empty() ? nullptr : initial_directory.c_str();
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  dialog.lpstrDefExt = default_extension.empty() ? nullptr : default_extension.c_str();
  // The program keeps its own working folder whatever the user browses to.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (request.path_must_exist) dialog.Flags |= OFN_PATHMUSTEXIST;
  if (request.file_must_exist) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (request.hide_read_only) dialog.Flags |= OFN_HIDEREADONLY;
  if (request.prompt_overwrite) dialog.Flags |= OFN_OVERWRITEPROMPT;
  // The Explorer-style dialog shows the shell's folder view, a COM object.
  EnsureComOnThisThread();
  const BOOL chosen =
      kind == FileDialogKind::Open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return Narrow(file.data());
}

}  // namespace pelorin::win32
