#pragma once
#include <optional>
#include <string>

namespace pelorin {

// Everything a common open or save dialog is asked to do, as plain data. The
// filter is written as alternating description and pattern separated by
// '|' ("INI files|*.ini|All files|*.*"); empty means no filter.
struct FileDialogRequest {
  std::string title;  // empty: the dialog's own title
  std::string filter;
  std::string default_extension;  // appended when the user types none
  std::string initial_directory;  // empty: the dialog's default folder
  std::string file_name;          // preset in the name field
  bool path_must_exist = false;   // the chosen folder must exist
  bool file_must_exist = false;   // the chosen file must exist
  bool hide_read_only = false;    // no "open as read-only" box
  bool prompt_overwrite = false;  // ask before choosing an existing file

  bool operator==(const FileDialogRequest&) const = default;
};

// The common file dialogs, modal over the properties window.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // Both return the chosen full path, or nothing when the user cancels or the
  // dialog could not be shown.
  virtual std::optional<std::string> Open(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> Save(const FileDialogRequest& request) = 0;
};

}  // namespace pelorin
