#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "ui/file_dialogs.h"

namespace pelorin::win32 {

enum class FileDialogKind { Open, Save };

// Shows the common open or save dialog for `request`, modal over `owner`.
// Returns the chosen full path; nothing when the user cancels or the dialog
// cannot be shown.
std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request,
                                          FileDialogKind kind);

// The filter of a request ("Text|*.txt|All|*.*") as the dialog takes it:
// the parts separated by NUL characters and the whole ended by two, in
// UTF-16 for the wide dialog.
std::wstring DialogFilter(const std::string& filter);

}  // namespace pelorin::win32
