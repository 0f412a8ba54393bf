#include "fake_file_system.h"

#include "fake_errors.h"

namespace pelorin::testing {
namespace {

std::string FolderOf(const std::string& path) {
  std::size_t last = path.find_last_of("\\/");
  return last == std::string::npos ? std::string() : path.substr(0, last);
}

}  // namespace

bool FakeFileSystem::IsFolder(const std::string& path) const {
  if (folders.count(path) != 0) return true;
  for (auto it = files.upper_bound(path); it != files.end(); ++it) {
    if (it->first.compare(0, path.size(), path) != 0) break;
    const char next = it->first[path.size()];
    if (next == '\\' || next == '/') return true;
  }
  return false;
}

OsStatus FakeFileSystem::CheckWritable(const std::string& path) const {
  if (missing_folders.count(FolderOf(path)) != 0) {
    return OsError{kFakePathNotFound, "CreateFile", path};
  }
  if (IsFolder(path) || read_only.count(path) != 0 || closed_folders.count(FolderOf(path)) != 0) {
    return OsError{kFakeAccessDenied, "CreateFile", path};
  }
  if (disk_full) return OsError{kFakeDiskFull, "WriteFile", path};
  return {};
}

FileContents FakeFileSystem::ReadWholeFile(const std::string& path) {
  auto found = files.find(path);
  if (found == files.end()) {
    return {IsFolder(path) ? ReadStatus::Failed : ReadStatus::NotFound, {}};
  }
  if (unreadable.count(path) != 0 || found->second.size() > kMaxFileBytes) {
    return {ReadStatus::Failed, {}};
  }
  return {ReadStatus::Ok, found->second};
}

OsStatus FakeFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  OsStatus writable = CheckWritable(path);
  if (!writable) {
    ++failed_replacements;
    return writable;
  }
  files[path] = std::string(bytes);
  ++replacements;
  return {};
}

bool FakeFileSystem::InMissingFolder(const std::string& path) const {
  for (std::string folder = FolderOf(path); !folder.empty(); folder = FolderOf(folder)) {
    if (missing_folders.count(folder) != 0) return true;
  }
  return false;
}

bool FakeFileSystem::FolderTakesNewFiles(const std::string& folder) {
  return missing_folders.count(folder) == 0 && !InMissingFolder(folder) &&
         closed_folders.count(folder) == 0 && files.count(folder) == 0;
}

OsStatus FakeFileSystem::CreateFolder(const std::string& folder) {
  if (IsFolder(folder)) return {};
  if (files.count(folder) != 0) return OsError{kFakeAccessDenied, "CreateDirectory", folder};
  if (InMissingFolder(folder)) return OsError{kFakePathNotFound, "CreateDirectory", folder};
  if (!FolderTakesNewFiles(FolderOf(folder))) {
    return OsError{kFakeAccessDenied, "CreateDirectory", folder};
  }
  missing_folders.erase(folder);
  folders.insert(folder);
  return {};
}

OsStatus FakeFileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
  if (files.count(path) != 0) return OsError{kFakeFileExists, "CreateFile", path};
  OsStatus writable = CheckWritable(path);
  if (!writable) return writable;
  files[path] = std::string(bytes);
  return {};
}

}  // namespace pelorin::testing
