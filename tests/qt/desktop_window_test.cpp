// The desktop's main window: its timers, the tray icon's clicks and menu,
// and the properties window's close and show reaching the program.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "indicators/tray_clicks.h"
#include "ui/qt/desktop_window.h"

namespace pelorin::qt {
namespace {

// The program's handlers, noting what reaches them. A tick of the tray
// click timer may start it again, as a late second click does.
class RecordingEvents final : public ProgramWindowEvents {
 public:
  void OnTimer(WindowTimer timer) override {
    ticks.push_back(timer);
    // The program ignores a tick of a timer that does not run.
    if (window != nullptr && !window->TimerRunning(timer)) ++ticks_while_stopped;
    if (restart_on_tick && window != nullptr) window->StartTimer(timer);
  }
  std::intptr_t OnUserMessage(std::uintptr_t, std::intptr_t) override { return 0; }
  void TrayMessage(std::uint32_t mouse_message) override { clicks.push_back(mouse_message); }
  void OnTrayMenu(TrayMenuItem item) override { menu.push_back(item); }
  bool OnCloseRequest() override {
    ++close_requests;
    return allow_close;
  }
  bool OnSessionEndQuery() override { return true; }
  void OnSessionEnd() override {}
  void OnTaskbarCreated() override {}
  void OnShown() override { ++shown; }
  void PortArrived() override {}

  std::vector<WindowTimer> ticks;
  std::vector<std::uint32_t> clicks;
  std::vector<TrayMenuItem> menu;
  int ticks_while_stopped = 0;
  int close_requests = 0;
  int shown = 0;
  bool allow_close = false;
  bool restart_on_tick = false;
  DesktopWindow* window = nullptr;
};

class NoLines final : public TraceSink {
 public:
  void WriteLine(std::string_view line) override { lines.emplace_back(line); }
  std::vector<std::string> lines;
};

class DesktopWindowTest : public ::testing::Test {
 protected:
  DesktopWindowTest() : window_(dialog_, told_) {
    window_.SetEvents(events_);
    events_.window = &window_;
  }

  long Ticks(WindowTimer timer) const {
    return std::count(events_.ticks.begin(), events_.ticks.end(), timer);
  }

  PropertiesDialog dialog_;
  NoLines told_;
  DesktopWindow window_;
  RecordingEvents events_;
};

TEST_F(DesktopWindowTest, OneShotTimersTickOnceAndPeriodicOnesRepeatUntilStopped) {
  for (WindowTimer timer : {WindowTimer::StartupTimer, WindowTimer::PollTimer,
                            WindowTimer::LedTimer, WindowTimer::TrayClickTimer}) {
    window_.StartTimer(timer);
    EXPECT_TRUE(window_.TimerRunning(timer));
  }
  QTRY_VERIFY_WITH_TIMEOUT(
      Ticks(WindowTimer::TrayClickTimer) == 1 && Ticks(WindowTimer::LedTimer) >= 2, 5000);
  EXPECT_EQ(Ticks(WindowTimer::StartupTimer), 1);
  EXPECT_EQ(events_.ticks_while_stopped, 0);
  EXPECT_FALSE(window_.TimerRunning(WindowTimer::StartupTimer));
  EXPECT_FALSE(window_.TimerRunning(WindowTimer::TrayClickTimer));
  // The 25 ms cycle ran several times in the LED step's two periods.
  EXPECT_GT(Ticks(WindowTimer::PollTimer), Ticks(WindowTimer::LedTimer));
  EXPECT_TRUE(window_.TimerRunning(WindowTimer::PollTimer));
  EXPECT_TRUE(window_.TimerRunning(WindowTimer::LedTimer));

  window_.EndMessageLoop();
  for (WindowTimer timer : {WindowTimer::PollTimer, WindowTimer::LedTimer}) {
    EXPECT_FALSE(window_.TimerRunning(timer));
  }
  const std::size_t ticks_at_end = events_.ticks.size();
  QTest::qWait(250);
  EXPECT_EQ(events_.ticks.size(), ticks_at_end) << "no tick after the end";
  // The end holds until the application's loop runs again: a box now
  // returns at once. The other tests need the loops back.
  QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  QCoreApplication::exec();
}

TEST_F(DesktopWindowTest, AOneShotTimerStartedByItsOwnTickKeepsRunning) {
  events_.restart_on_tick = true;
  window_.StartTimer(WindowTimer::StartupTimer);
  QTRY_VERIFY_WITH_TIMEOUT(Ticks(WindowTimer::StartupTimer) >= 1, 5000);
  EXPECT_TRUE(window_.TimerRunning(WindowTimer::StartupTimer));
  window_.StopTimer(WindowTimer::StartupTimer);
  EXPECT_FALSE(window_.TimerRunning(WindowTimer::StartupTimer));
}

TEST_F(DesktopWindowTest, TrayClicksArriveAsTheWindowsMouseMessages) {
  QSystemTrayIcon& icon = window_.Tray().Icon();
  emit icon.activated(QSystemTrayIcon::Trigger);
  emit icon.activated(QSystemTrayIcon::DoubleClick);
  emit icon.activated(QSystemTrayIcon::Context);
  emit icon.activated(QSystemTrayIcon::MiddleClick);
  EXPECT_EQ(events_.clicks,
            (std::vector<std::uint32_t>{kMouseLeftDown, kMouseLeftDoubleClick, kMouseRightDown}));
}

TEST_F(DesktopWindowTest, TrayMenuHasTheWindowsItemsInTheLinuxWordingAndEachReachesTheProgram) {
  const QList<QAction*> actions = window_.Tray().Menu().actions();
  std::vector<QString> texts;
  for (const QAction* action : actions) texts.push_back(action->text());
  EXPECT_EQ(texts, (std::vector<QString>{"P&roperties", "Start the &player", "&Volume", "E&xit"}));
  EXPECT_EQ(window_.Tray().Menu().defaultAction(), actions.front());

  window_.EnableTrayMenuItem(TrayMenuItem::Volume, false);
  EXPECT_FALSE(actions[2]->isEnabled());
  EXPECT_TRUE(actions[1]->isEnabled());
  for (QAction* action : actions) action->trigger();
  EXPECT_EQ(events_.menu,
            (std::vector<TrayMenuItem>{TrayMenuItem::Properties, TrayMenuItem::StartPlayer,
                                       TrayMenuItem::Exit}))
      << "a disabled item does nothing";
}

TEST_F(DesktopWindowTest, WithoutATrayTheIconWaitsAndTheUserIsToldOnce) {
  // The test's X server has no tray.
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
  window_.AddTrayIcon();
  window_.AddTrayIcon();
  EXPECT_TRUE(window_.Tray().WaitingForTray());
  ASSERT_EQ(told_.lines.size(), 1U);
  EXPECT_NE(told_.lines[0].find("pelorin show"), std::string::npos);
  window_.RemoveTrayIcon();
  EXPECT_FALSE(window_.Tray().WaitingForTray());
}

TEST_F(DesktopWindowTest, ShowingAndClosingThePropertiesWindowReachTheProgram) {
  window_.SetCaption("Pelorin Properties");
  window_.Show();
  EXPECT_TRUE(window_.Visible());
  EXPECT_EQ(events_.shown, 1);
  EXPECT_EQ(dialog_.windowTitle(), "Pelorin Properties");

  EXPECT_FALSE(dialog_.close()) << "the program refused";
  EXPECT_EQ(events_.close_requests, 1);
  EXPECT_TRUE(window_.Visible());
  window_.Hide();
  EXPECT_FALSE(window_.Visible());
}

}  // namespace
}  // namespace pelorin::qt
