#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

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

// Writes the whole temporary file; false leaves a file that the caller removes.
bool WriteTemporary(const std::string& temporary, std::string_view bytes) {
  UniqueHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  bool written = WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
  return file.Close() && written;
}

}  // namespace

FileContents Win32FileSystem::ReadWholeFile(const std::string& path) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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

bool Win32FileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  const std::string temporary = path + ".new";
  if (WriteTemporary(temporary, bytes) &&
      MoveFileExA(temporary.c_str(), path.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileA(temporary.c_str());  // may not exist; nothing to report either way
  return false;
}

bool Win32FileSystem::CreateNewFile(const std::string& path, std::string_view bytes) {
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  if (WriteAll(file.Get(), bytes) && file.Close()) return true;
  if (file.Valid()) file.Close();
  DeleteFileA(path.c_str());
  return false;
}

bool Win32FileSystem::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace pelorin::win32
