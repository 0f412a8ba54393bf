#pragma once
#include <optional>
#include <string>
#include <vector>

#include "ui/file_dialogs.h"

namespace pelorin::testing {

// Records every dialog and answers with `next_choice` (nothing = cancelled).
class FakeFileDialogs final : public FileDialogs {
 public:
  std::optional<std::string> Open(const FileDialogRequest& request) override {
    opened.push_back(request);
    return next_choice;
  }
  std::optional<std::string> Save(const FileDialogRequest& request) override {
    saved.push_back(request);
    return next_choice;
  }

  std::vector<FileDialogRequest> opened;
  std::vector<FileDialogRequest> saved;
  std::optional<std::string> next_choice;
};

}  // namespace pelorin::testing
