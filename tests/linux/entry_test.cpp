// The Linux program's own parts: its event loop and the timers in it, its command
// line, where its configuration lives and how it finds the player to start.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/linux/config_location.h"
#include "app/linux/headless_window.h"
#include "app/linux/options.h"
#include "app/linux/player_command.h"

namespace pelorin::linux_os {
namespace {

using namespace std::chrono_literals;

// Records the ticks the loop delivers and lets each test act inside one.
class TickRecorder final : public ProgramWindowEvents {
 public:
  std::function<void(WindowTimer)> on_tick;
  std::vector<WindowTimer> ticks;

  void OnTimer(WindowTimer timer) override {
    ticks.push_back(timer);
    if (on_tick) on_tick(timer);
  }
  std::intptr_t OnUserMessage(std::uintptr_t, std::intptr_t) override { return 0; }
  void TrayMessage(std::uint32_t) override {}
  void OnTrayMenu(TrayMenuItem) override {}
  bool OnCloseRequest() override { return true; }
  bool OnSessionEndQuery() override { return true; }
  void OnSessionEnd() override {}
  void OnTaskbarCreated() override {}
  void OnShown() override {}
  void PortArrived() override {}
};

// A stall longer than many poll periods (a suspend, a slow player) gives one
// poll tick, not a burst; a one-shot timer runs out; ending the loop from a
// tick stops every timer and no later handler of that wake-up runs.
TEST(HeadlessWindow, TicksOncePerWakeUpAndEndsQuietly) {
  EventLoop loop;
  const std::unique_ptr<HeadlessWindow> window = HeadlessWindow::Create(loop);
  ASSERT_TRUE(window);
  TickRecorder events;
  window->SetEvents(events);
  int polls = 0;
  events.on_tick = [&](WindowTimer timer) {
    if (timer == WindowTimer::StartupTimer) {
      window->StartTimer(WindowTimer::PollTimer);
      std::this_thread::sleep_for(200ms);  // eight poll periods pass here
    } else if (timer == WindowTimer::PollTimer && ++polls == 2) {
      window->StartTimer(WindowTimer::LedTimer);
      window->EndMessageLoop();
    }
  };
  window->StartTimer(WindowTimer::StartupTimer);
  ASSERT_TRUE(loop.Run());

  EXPECT_EQ(events.ticks, (std::vector{WindowTimer::StartupTimer, WindowTimer::PollTimer,
                                       WindowTimer::PollTimer}));
  EXPECT_FALSE(window->TimerRunning(WindowTimer::StartupTimer)) << "a one-shot runs out";
  for (WindowTimer timer : {WindowTimer::PollTimer, WindowTimer::LedTimer}) {
    EXPECT_FALSE(window->TimerRunning(timer));
  }
}

// A handler may unwatch a descriptor that woke with it, and replace its own
// handler while it runs: the one unwatched does not run, and the replacement
// runs at the next wake-up. A descriptor the kernel cannot watch (a regular
// file) makes Run fail rather than never wake.
TEST(EventLoop, HandlersChangedInsideAWakeUpAndUnwatchableDescriptors) {
  int a[2];
  int b[2];
  ASSERT_EQ(::pipe(a), 0);
  ASSERT_EQ(::pipe(b), 0);
  ASSERT_EQ(::write(a[1], "x", 1), 1);
  ASSERT_EQ(::write(b[1], "x", 1), 1);
  EventLoop loop;
  std::vector<std::string> ran;
  const auto first = [&](int mine, int other, const char* name) {
    return [&loop, &ran, mine, other, name] {
      ran.emplace_back(name);
      loop.Unwatch(other);
      loop.Watch(mine, [&loop, &ran] {
        ran.emplace_back("replacement");
        loop.Stop();
      });
    };
  };
  loop.Watch(a[0], first(a[0], b[0], "a"));
  loop.Watch(b[0], first(b[0], a[0], "b"));
  ASSERT_TRUE(loop.Run());
  ASSERT_EQ(ran.size(), 2u);
  EXPECT_EQ(ran[1], "replacement");
  for (int fd : {a[0], a[1], b[0], b[1]}) ::close(fd);

  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EventLoop refusing;
  refusing.Watch(::fileno(file), [] {});
  EXPECT_FALSE(refusing.Run());
  std::fclose(file);
}

TEST(LinuxCommandLine, ReadsEveryForm) {
  struct Case {
    std::vector<std::string_view> arguments;
    CommandLineAction action;
    StartRequest request = StartRequest::Run;
    std::string config = {};
    bool headless = false;
  };
  const Case cases[] = {
      {{}, CommandLineAction::Run},
      {{"--headless", "show"}, CommandLineAction::Run, StartRequest::Show, "", true},
      {{"--config", "/tmp/a b.ini", "quit"},
       CommandLineAction::Run,
       StartRequest::Quit,
       "/tmp/a b.ini"},
      {{"--config=x.ini"}, CommandLineAction::Run, StartRequest::Run, "x.ini"},
      {{"--", "show"}, CommandLineAction::Run, StartRequest::Show},
      {{"--bogus", "--help"}, CommandLineAction::PrintHelp},
      {{"show", "--version"}, CommandLineAction::PrintVersion},
      {{"--config"}, CommandLineAction::Refuse},
      {{"--config="}, CommandLineAction::Refuse},
      {{"--bogus"}, CommandLineAction::Refuse},
      {{"show", "quit"}, CommandLineAction::Refuse},
      {{"start"}, CommandLineAction::Refuse},
      {{"--", "--help"}, CommandLineAction::Refuse},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
    const std::string line = ::testing::PrintToString(c.arguments);
    EXPECT_EQ(parsed.action, c.action) << line;
    EXPECT_EQ(parsed.action == CommandLineAction::Refuse, !parsed.error.empty()) << line;
    if (parsed.action != CommandLineAction::Run) continue;
    EXPECT_EQ(parsed.options.request, c.request) << line;
    EXPECT_EQ(parsed.options.config_path, c.config) << line;
    EXPECT_EQ(parsed.options.headless, c.headless) << line;
  }
}

TEST(LinuxConfigLocation, FollowsTheBaseDirectoryRules) {
  EXPECT_EQ(DefaultConfigPath("/x/cfg/", "/home/u"), "/x/cfg/pelorin/pelorin.ini");
  EXPECT_EQ(DefaultConfigPath("relative", "/home/u"), "/home/u/.config/pelorin/pelorin.ini");
  EXPECT_EQ(DefaultConfigPath(nullptr, "/home/u"), "/home/u/.config/pelorin/pelorin.ini");
  EXPECT_EQ(DefaultConfigPath("", nullptr), "");

  char folder[] = "/tmp/pelorin-config.XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string file = std::string(folder) + "/a/pelorin/pelorin.ini";
  EXPECT_TRUE(CreateFolderOf(file));
  EXPECT_TRUE(CreateFolderOf(file)) << "folders that exist are fine";
  EXPECT_EQ(access((std::string(folder) + "/a/pelorin").c_str(), W_OK), 0);
  std::ofstream(std::string(folder) + "/plain") << "a file";
  EXPECT_FALSE(CreateFolderOf(std::string(folder) + "/plain/pelorin.ini"))
      << "a file where a folder should be";
  std::filesystem::remove_all(folder);
}

TEST(PlayerCommand, SplitsLikeALauncherAndFallsBack) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine(R"(/usr/bin/vlc --started-from-file %U)"),
            (Words{"/usr/bin/vlc", "--started-from-file"}));
  EXPECT_EQ(SplitCommandLine(R"("/opt/My Player/run" -x "a \"b\" \\c" 100%%)"),
            (Words{"/opt/My Player/run", "-x", R"(a "b" \c)", "100%"}));
  EXPECT_EQ(SplitCommandLine(R"(p "" %f)"), (Words{"p", ""}));
  EXPECT_EQ(SplitCommandLine("  \t "), Words{});

  EXPECT_EQ(DesktopEntryExec("[Desktop Action new]\nExec=wrong\n[Desktop Entry]\n"
                             "Name=Player\nExecutable=no\nExec = player %U\r\n"),
            "player %U");
  EXPECT_EQ(DesktopEntryExec("[Desktop Entry]\nName=No exec\n"), std::nullopt);

  EXPECT_EQ(PlayerCommandLine("mpv --idle", "vlc %U"), (Words{"mpv", "--idle"}));
  EXPECT_EQ(PlayerCommandLine("", "audacious %U"), Words{"audacious"});
  EXPECT_EQ(PlayerCommandLine(" ", std::nullopt), Words{"vlc"});

  EXPECT_EQ(ApplicationFolders(nullptr, "/home/u", "/a:rel:/b/"),
            (Words{"/home/u/.local/share/applications", "/a/applications", "/b/applications"}));
}

}  // namespace
}  // namespace pelorin::linux_os
