#include "ui/win32/common_dialogs.h"

#include <commdlg.h>

#include <vector>

namespace pelorin::win32 {

std::string DialogFilter(const std::string& filter) {
  if (filter.empty()) return {};
  std::string parts = filter;
  for (char& c : parts) {
    if (c == '|') c = '\0';
  }
  parts.push_back('\0');
  parts.push_back('\0');
  return parts;
}

std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request,
                                          FileDialogKind kind) {
  // Room for a long path; the preset name is cut to fit.
  std::vector<char> file(32768, '\0');
  request.file_name.copy(file.data(), file.size() - 1);
  const std::string filter = DialogFilter(request.filter);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir =
      request.initial_directory.empty() ? nullptr : request.initial_directory.c_str();
  dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  dialog.lpstrDefExt =
      request.default_extension.empty() ? nullptr : request.default_extension.c_str();
  // The program keeps its own working folder whatever the user browses to.
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (request.path_must_exist) dialog.Flags |= OFN_PATHMUSTEXIST;
  if (request.file_must_exist) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (request.hide_read_only) dialog.Flags |= OFN_HIDEREADONLY;
  if (request.prompt_overwrite) dialog.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL chosen =
      kind == FileDialogKind::Open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
  if (!chosen) return std::nullopt;
  return std::string(file.data());
}

}  // namespace pelorin::win32
