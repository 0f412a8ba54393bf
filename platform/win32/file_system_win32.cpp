#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include <cstdio>
#include <optional>

#include "platform/win32/profile_encoding.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// How many fresh names a save tries before it gives up: another name is
// taken only when a file of the previous one exists already.
constexpr int kNewNameTries = 8;

// The old file's attributes that a replacement carries over. ReplaceFile
// merges them on Windows but not on every implementation of it (Wine's moves
// the file only), so the save sets them itself. The archive bit is set as on
// any write: the content has changed and wants backing up.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A file this save created, open for writing, under a name nobody else uses.
struct NewFile {
  UniqueHandle file;
  std::string name;
  DWORD error = ERROR_SUCCESS;  // why no file could be created
};

// "<path>.<process>-<tick>-<count>.tmp": unique within the process through the
// count, between copies of the program through the process id.
std::string FreshNameBeside(const std::string& path) {
  static unsigned count = 0;
  char unique[48];
  std::snprintf(unique, sizeof unique, ".%lx-%lx-%x.tmp", GetCurrentProcessId(), GetTickCount(),
                ++count);
  return path + unique;
}

// Creates a new file beside `path` with CREATE_NEW, so that an existing file
// of the same name (a user's, or one left by a crash) is never opened, and
// tries another name when the first is taken.
NewFile CreateFileBeside(const std::string& path) {
  NewFile created;
  for (int attempt = 0; attempt < kNewNameTries; ++attempt) {
    created.name = FreshNameBeside(path);
    created.file.Reset(CreateFileW(Widen(created.name).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (created.file.Valid()) return created;
    created.error = GetLastError();
    if (created.error != ERROR_FILE_EXISTS && created.error != ERROR_ALREADY_EXISTS) break;
  }
  return created;
}

bool SetLength(HANDLE file, LONGLONG length) {
  LARGE_INTEGER position{};
  position.QuadPart = length;
  return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Overwrites an existing file where it is, as the profile functions do: the
// one way left when its folder takes no new files. Not atomic; the room for a
// longer content is taken first, so that a full disk fails the save before
// any old byte changes.
OsStatus WriteInPlace(const std::string& path, std::string_view bytes) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return LastError("CreateFile", path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return LastError("GetFileSizeEx", path);
  const auto length = static_cast<LONGLONG>(bytes.size());
  if (length > size.QuadPart && !SetLength(file.Get(), length)) {
    return LastError("SetEndOfFile", path);
  }
  if (!SetFilePointerEx(file.Get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
      !WriteAll(file.Get(), bytes) || !SetEndOfFile(file.Get()) || !FlushFileBuffers(file.Get())) {
    OsError error = LastError("WriteFile", path);
    (void)file.Close();  // the write has failed already
    return error;
  }
  if (!file.Close()) return LastError("CloseHandle", path);
  return {};
}

// Puts the written temporary in the place of the existing file with
// ReplaceFile, which keeps the old file's security, creation time and
// streams. The old file goes to a backup name reserved beside it first, so
// that every failure ReplaceFile documents leaves it whole under its own name:
// after ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 it sits under the backup name and is
// moved back; after the others both files still have their own names.
OsStatus ReplaceExisting(const std::string& path, const std::string& temporary, DWORD attributes) {
  NewFile backup = CreateFileBeside(path);
  if (!backup.file.Valid()) {
    OsError error = SystemError(backup.error, "CreateFile", backup.name);
    (void)DeleteFileW(Widen(temporary).c_str());  // best effort: the save has failed already
    return error;
  }
  backup.file.Reset();  // an empty placeholder: there is nothing to flush
  // A failure here only loses the attributes; the save itself goes on.
  (void)SetFileAttributesW(Widen(temporary).c_str(),
                           (attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
  // Merge errors (no WRITE_DAC on the new file) cost the old security, not the save.
  if (ReplaceFileW(Widen(path).c_str(), Widen(temporary).c_str(), Widen(backup.name).c_str(),
                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    (void)DeleteFileW(
        Widen(backup.name).c_str());  // the old content; the save stands even if it stays
    return {};
  }
  OsError error = LastError("ReplaceFile", path);
  if (error.code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
      !MoveFileExW(Widen(backup.name).c_str(), Widen(path).c_str(), MOVEFILE_WRITE_THROUGH)) {
    return error;  // neither copy can go back to its place: keep both rather than lose one
  }
  (void)DeleteFileW(Widen(temporary).c_str());  // best effort: the old file is back in its place
  (void)DeleteFileW(Widen(backup.name).c_str());
  return error;
}

}  // namespace

FileContents Win32FileSystem::ReadWholeFile(const std::string& path) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    DWORD error = GetLastError();
    bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? ReadStatus::NotFound : ReadStatus::Failed, {}};
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxFileBytes) {
    return {ReadStatus::Failed, {}};
  }
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    DWORD wanted = static_cast<DWORD>(bytes.size() - done);
    if (!ReadFile(file.Get(), bytes.data() + done, wanted, &read, nullptr)) {
      return {ReadStatus::Failed, {}};
    }
    if (read == 0) break;  // the file shrank meanwhile: take what is there
    done += read;
  }
  bytes.resize(done);
  return {ReadStatus::Ok, std::move(bytes)};
}

OsStatus Win32FileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    // What CreateFile would answer for either; the save does not try.
    return SystemError(ERROR_ACCESS_DENIED,
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? "replace a folder"
                                                                    : "replace a read-only file",
                       path);
  }
  NewFile temporary = CreateFileBeside(path);
  if (!temporary.file.Valid()) {
    // A folder that refuses new files (no right to add one) may still hold
    // a file the user may write.
    if (exists && temporary.error == ERROR_ACCESS_DENIED) return WriteInPlace(path, bytes);
    return SystemError(temporary.error, "CreateFile", temporary.name);
  }
  std::optional<OsError> failure;
  if (!WriteAll(temporary.file.Get(), bytes) || !FlushFileBuffers(temporary.file.Get())) {
    failure = LastError("WriteFile", temporary.name);
  }
  if (!temporary.file.Close() && !failure) failure = LastError("CloseHandle", temporary.name);
  if (failure) {
    (void)DeleteFileW(Widen(temporary.name).c_str());  // best effort: the save has failed already
    return *failure;
  }
  if (exists) return ReplaceExisting(path, temporary.name, attributes);
  // No MOVEFILE_REPLACE_EXISTING: a file that appeared meanwhile is not ours to replace.
  if (MoveFileExW(Widen(temporary.name).c_str(), Widen(path).c_str(), MOVEFILE_WRITE_THROUGH)) {
    return {};
  }
  OsError error = LastError("MoveFileEx", path);
  (void)DeleteFileW(Widen(temporary.name).c_str());
  return error;
}

OsStatus Win32FileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return LastError("CreateFile", path);
  if (WriteAll(file.Get(), bytes) && file.Close()) return {};
  OsError error = LastError("WriteFile", path);
  if (file.Valid()) (void)file.Close();
  (void)DeleteFileW(Widen(path).c_str());  // a partly written file is not left behind
  return error;
}

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::FolderTakesNewFiles(const std::string& folder) {
  // The system removes the probe when its handle closes, even if this
  // process ends in between. A name that exists already is tried again.
  for (int attempt = 0; attempt < kNewNameTries; ++attempt) {
    UniqueHandle probe(CreateFileW(Widen(FreshNameBeside(folder + "\\pelorin")).c_str(),
                                   GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (probe.Valid()) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

OsStatus Win32FileSystem::CreateFolder(const std::string& folder) {
  if (CreateDirectoryW(Widen(folder).c_str(), nullptr)) return {};
  OsError error = LastError("CreateDirectory", folder);
  const DWORD attributes = GetFileAttributesW(Widen(folder).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {};  // there already
  }
  return error;
}

FileContents Win32FileSystem::ReadProfileFile(const std::string& path) {
  FileContents contents = ReadWholeFile(path);
  if (contents.status == ReadStatus::Ok) contents.bytes = ProfileBytesToUtf8(contents.bytes);
  return contents;
}

OsStatus Win32FileSystem::WriteProfileFileAtomically(const std::string& path,
                                                     std::string_view text) {
  return WriteFileAtomically(path, Utf8ToProfileBytes(text));
}

}  // namespace pelorin::win32
