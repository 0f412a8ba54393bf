// The Win32 text file and shell backends against real files.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/win32/file_system_win32.h"
#include "platform/win32/shell.h"
#include "platform/win32/text_files.h"

namespace pelorin::win32 {
namespace {

class Win32FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "pelorin_files_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    path_ = folder_ + "\\winamp.m3u";
  }
  void TearDown() override {
    DeleteFileA(path_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

  std::string folder_;
  std::string path_;
  Win32TextFiles files_;
  Win32Shell shell_;
  Win32FileSystem file_system_;
};

TEST_F(Win32FilesTest, ReadsLinesOfAFileLargerThanOneChunk) {
  std::string text = "#EXTM3U\r\n";
  for (int i = 0; i < 20000; ++i)
    text += "C:\\Music\\Folder\\track" + std::to_string(i) + ".mp3\r\n";
  Write(text);
  std::unique_ptr<LineReader> lines = files_.Open(path_);
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(lines->ReadLine(), "#EXTM3U");
  int count = 0;
  std::optional<std::string> last;
  while (std::optional<std::string> line = lines->ReadLine()) {
    last = line;
    ++count;
  }
  EXPECT_EQ(count, 20000);
  EXPECT_EQ(last, "C:\\Music\\Folder\\track19999.mp3");
  EXPECT_FALSE(lines->Failed());
}

TEST_F(Win32FilesTest, OpenFileCanStillBeRewrittenByThePlayer) {
  Write("#EXTM3U\r\n");
  std::unique_ptr<LineReader> lines = files_.Open(path_);
  ASSERT_NE(lines, nullptr);
  HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(writer, INVALID_HANDLE_VALUE);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

TEST_F(Win32FilesTest, MissingFileHasNoReaderAndNoWriteTime) {
  EXPECT_EQ(files_.Open(path_), nullptr);
  EXPECT_EQ(files_.LastWriteTime(path_), std::nullopt);
  EXPECT_FALSE(file_system_.FileExists(path_));
}

TEST_F(Win32FilesTest, AFolderIsNoFile) {
  EXPECT_FALSE(file_system_.FileExists(folder_));
  EXPECT_EQ(files_.LastWriteTime(folder_), std::nullopt);
  Write("x");
  EXPECT_TRUE(file_system_.FileExists(path_));
  EXPECT_TRUE(files_.LastWriteTime(path_).has_value());
}

}  // namespace
}  // namespace pelorin::win32
