#include "fake_file_system.h"

namespace pelorin::testing {
namespace {

std::string FolderOf(const std::string& path) {
  std::size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

}  // namespace

FileContents FakeFileSystem::ReadWholeFile(const std::string& path) {
  auto found = files.find(path);
  if (found == files.end()) return {ReadStatus::NotFound, {}};
  if (unreadable.count(path) != 0 || found->second.size() > kMaxFileBytes) {
    return {ReadStatus::Failed, {}};
  }
  return {ReadStatus::Ok, found->second};
}

bool FakeFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (disk_full || read_only.count(path) != 0 || missing_folders.count(FolderOf(path)) != 0) {
    ++failed_replacements;
    return false;
  }
  files[path] = std::string(bytes);
  ++replacements;
  return true;
}

bool FakeFileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
  if (disk_full || files.count(path) != 0 || missing_folders.count(FolderOf(path)) != 0) {
    return false;
  }
  files[path] = std::string(bytes);
  return true;
}

}  // namespace pelorin::testing
