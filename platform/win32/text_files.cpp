#include "platform/win32/text_files.h"

#include <windows.h>

#include <climits>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

class FileLineReader final : public ChunkLineReader {
 public:
  explicit FileLineReader(HANDLE file) : file_(file) {}
  FileLineReader(const FileLineReader&) = delete;
  FileLineReader& operator=(const FileLineReader&) = delete;
  ~FileLineReader() override { ::CloseHandle(file_); }

 protected:
  std::optional<std::size_t> ReadChunk(char* buffer, std::size_t capacity) override {
    DWORD read = 0;
    const DWORD wanted = capacity > UINT_MAX ? UINT_MAX : static_cast<DWORD>(capacity);
    if (!::ReadFile(file_, buffer, wanted, &read, nullptr)) return std::nullopt;
    return read;
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<LineReader> Win32TextFiles::Open(const std::string& path) {
  HANDLE file = ::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<FileLineReader>(file);
}

std::optional<std::int64_t> Win32TextFiles::LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  ULARGE_INTEGER time;
  time.LowPart = data.ftLastWriteTime.dwLowDateTime;
  time.HighPart = data.ftLastWriteTime.dwHighDateTime;
  return static_cast<std::int64_t>(time.QuadPart);
}

}  // namespace pelorin::win32
