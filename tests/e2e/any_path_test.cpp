// The unchanged pelorin.exe in a folder whose name no ANSI code page holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "standin_state.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

// "C:\Prüfung\日本" in UTF-8 and as the system's wide calls take it.
constexpr const char* kFolder =
    "C:\\Pr\xC3\xBC"
    "fung\\\xE6\x97\xA5\xE6\x9C\xAC";
constexpr const wchar_t* kParentWide = L"C:\\Pr\u00FCfung";
constexpr const wchar_t* kFolderWide = L"C:\\Pr\u00FCfung\\\u65E5\u672C";

std::wstring InFolder(const wchar_t* name) {
  return std::wstring(kFolderWide) + L"\\" + name;
}

bool WriteWide(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadWide(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(1 << 20, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// The names of everything in the folder.
std::vector<std::wstring> FolderEntries() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(InFolder(L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

void RemoveFolder() {
  for (const std::wstring& name : FolderEntries()) DeleteFileW(InFolder(name.c_str()).c_str());
  RemoveDirectoryW(kFolderWide);
  RemoveDirectoryW(kParentWide);
}

TEST(AnyPathTest, AProgramInAFolderOutsideTheCodePageReadsAndWritesItsFileThere) {
  Scenario::EndRunningCopy();
  Scenario::ClearRegistry();
  RemoveFolder();
  CreateDirectoryW(kParentWide, nullptr);
  ASSERT_TRUE(CreateDirectoryW(kFolderWide, nullptr));
  const std::string built = BuiltProgramPath();
  ASSERT_TRUE(CopyFileW(std::wstring(built.begin(), built.end()).c_str(),
                        InFolder(L"pelorin.exe").c_str(), FALSE));
  ASSERT_TRUE(WriteWide(InFolder(L"Pelorin.ini"),
                        "[Primary]\r\nPort=5\r\n[Options]\r\nWarn=0\r\nAutoStartup=0\r\n"));

  // Lines as an earlier run left them would pass for this one's start-up.
  auto com5 = pelorin::testing::StandinLines::ForPort(5);
  ASSERT_TRUE(com5);
  com5->Change(0, STANDIN_INPUTS | STANDIN_OUTPUTS);

  ChildProcess program("\"" + std::string(kFolder) + "\\pelorin.exe\"", kFolder);
  ASSERT_TRUE(program.Started());
  EXPECT_TRUE(WaitUntil([&] {
    auto state = com5->Read();
    return state && (*state & STANDIN_DTR) != 0;
  })) << "the port named in the file beside the program opens";

  // A close of the hidden window ends the program and stores everything.
  ASSERT_TRUE(WaitUntil([] { return FindPropertiesWindow() != nullptr; }));
  PostMessageA(FindPropertiesWindow(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit(10000));

  const std::string config = ReadWide(InFolder(L"Pelorin.ini"));
  EXPECT_EQ(config.rfind("[Primary]\r\nPort=5\r\n", 0), 0u) << config.substr(0, 200);
  EXPECT_NE(config.find("[Port2Button15]"), std::string::npos);
  EXPECT_NE(config.find("Version=1.4"), std::string::npos) << "written by this run";
  const std::vector<std::wstring> expected{L"Pelorin.ini", L"pelorin.exe"};  // sorted
  std::vector<std::wstring> entries = FolderEntries();
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, expected) << "no file under a garbled name";

  Scenario::ClearRegistry();
  RemoveFolder();
}

}  // namespace
}  // namespace pelorin::e2e
