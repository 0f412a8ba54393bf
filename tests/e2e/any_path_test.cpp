// The unchanged pelorin.exe in a folder whose name no ANSI code page holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "standin_state.h"
#include "support/scenario.h"
#include "support/standin_lines.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

namespace fs = std::filesystem;

TEST(AnyPathTest, AProgramInAFolderOutsideTheCodePageReadsAndWritesItsFileThere) {
  const fs::path parent(L"C:\\Pr\u00FCfung");
  const fs::path folder = parent / L"\u65E5\u672C";
  Scenario::EndRunningCopy();
  Scenario::ClearRegistry();
  fs::remove_all(parent);
  fs::create_directories(folder);
  fs::copy_file(BuiltProgramPath(), folder / "pelorin.exe");
  std::ofstream(folder / "Pelorin.ini", std::ios::binary)
      << "[Primary]\r\nPort=5\r\n[Options]\r\nWarn=0\r\nAutoStartup=0\r\n";
  // Lines as an earlier run left them would pass for this one's start-up.
  auto com5 = pelorin::testing::StandinLines::ForPort(5);
  ASSERT_TRUE(com5);
  com5->Change(0, STANDIN_INPUTS | STANDIN_OUTPUTS);

  const std::u8string u8_folder = folder.u8string();
  const std::string utf8_folder(u8_folder.begin(), u8_folder.end());
  ChildProcess program("\"" + utf8_folder + "\\pelorin.exe\"", utf8_folder);
  EXPECT_TRUE(WaitUntil([&] { return (com5->Read().value_or(0) & STANDIN_DTR) != 0; }))
      << "the port named in the file beside the program opens";
  // A close of the hidden window ends the program and stores everything.
  PostMessageA(FindPropertiesWindow(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit(10000));

  std::ifstream file(folder / "Pelorin.ini", std::ios::binary);
  const std::string config{std::istreambuf_iterator<char>(file), {}};
  EXPECT_EQ(config.rfind("[Primary]\r\nPort=5\r\n", 0), 0u) << config.substr(0, 200);
  EXPECT_NE(config.find("Version=1.4"), std::string::npos) << "written by this run";
  std::vector<std::wstring> entries;
  for (const auto& entry : fs::directory_iterator(folder)) {
    entries.push_back(entry.path().filename().wstring());
  }
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::wstring>{L"Pelorin.ini", L"pelorin.exe"}))
      << "no file under a garbled name";
  file.close();
  Scenario::ClearRegistry();
  fs::remove_all(parent);
}

}  // namespace
}  // namespace pelorin::e2e
