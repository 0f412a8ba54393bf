// The unchanged pelorin.exe under Wine: start-up, single instance and the
// requests another copy may send.
#include <gtest/gtest.h>

#include "support/scenario.h"
#include "support/windows.h"

namespace pelorin::e2e {
namespace {

TEST(ProgramLifecycleTest, SecondCopyEndsSilentlyAndTheFirstKeepsRunning) {
  Scenario scenario("single-instance");
  auto first = scenario.Start();
  ASSERT_TRUE(WaitUntil([] { return FindPropertiesWindow() != nullptr; }));
  HWND window = FindPropertiesWindow();
  EXPECT_FALSE(IsWindowVisible(window));

  const auto boxes_before = MessageBoxesShown().size();
  auto second = scenario.Start();
  ASSERT_TRUE(second->WaitForExit(10000));
  EXPECT_EQ(MessageBoxesShown().size(), boxes_before);
  EXPECT_TRUE(first->Running());
  EXPECT_EQ(FindPropertiesWindow(), window);
}

TEST(ProgramLifecycleTest, QuitRequestEndsTheProgram) {
  Scenario scenario("quit-request");
  auto program = scenario.Start();
  ASSERT_TRUE(WaitUntil([] { return FindPropertiesWindow() != nullptr; }));
  DWORD_PTR result = 1;
  SendMessageTimeoutA(FindPropertiesWindow(), WM_USER, 2, 0, SMTO_ABORTIFHUNG, 5000, &result);
  EXPECT_EQ(result, 0u);
  EXPECT_TRUE(program->WaitForExit(10000));
}

TEST(ProgramLifecycleTest, PortHandleQueryAnswersMinusOneForOtherIndexes) {
  Scenario scenario("handle-query");
  auto program = scenario.Start();
  ASSERT_TRUE(WaitUntil([] { return FindPropertiesWindow() != nullptr; }));
  DWORD_PTR result = 0;
  SendMessageTimeoutA(FindPropertiesWindow(), WM_USER, 1, 7, SMTO_ABORTIFHUNG, 5000, &result);
  EXPECT_EQ(static_cast<LONG_PTR>(result), -1);
}

}  // namespace
}  // namespace pelorin::e2e
