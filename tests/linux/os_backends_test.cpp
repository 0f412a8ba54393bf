// The Linux backends of the shell, the single instance, autostart, message
// boxes and device arrivals, each against the real system in a folder of
// the test's own.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/identity.h"
#include "platform/linux/autostart_registry.h"
#include "platform/linux/device_watch.h"
#include "platform/linux/event_loop.h"
#include "platform/linux/instance_files.h"
#include "platform/linux/instance_messaging.h"
#include "platform/linux/loaded_library.h"
#include "platform/linux/spawn_shell.h"
#include "platform/linux/terminal_boxes.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/unique_fd.h"
#include "support/temp_folder.h"

namespace pelorin::linux_os {
namespace {

using pelorin::testing::TempFolder;
using namespace std::chrono_literals;

std::string ReadFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// Waits up to five seconds for `path` to hold a complete last line.
std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    const std::string text = ReadFile(path);
    if (!text.empty() && text.back() == '\n') return text;
    std::this_thread::sleep_for(10ms);
  }
  return "<nothing>";
}

std::string Executable(const TempFolder& folder, const std::string& name, const std::string& body) {
  const std::string path = folder.Write(name, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
  return path;
}

TEST(SpawnShellTest, ProgramsGetTheirWordsAloneAndDocumentsGoToTheOpener) {
  TempFolder folder;
  // Writes its arguments, its folder, whether it leads a session of its own
  // and whether it sees the descriptor the test leaves open without
  // close-on-exec.
  const int leaked = ::open("/dev/null", O_RDONLY);
  const std::string report = folder.File("report");
  const std::string program = Executable(
      folder, "show args",
      "out=" + report +
          ".tmp\nfor a in \"$@\"; do echo \"[$a]\"; done > $out\npwd >> $out\n"
          "sid=$(cut -d' ' -f6 /proc/$$/stat)\n[ \"$sid\" = $$ ] && echo leader >> $out\n"
          "[ -e /proc/$$/fd/" +
          std::to_string(leaked) +
          " ] && echo leaked >> $out\n"
          "mv $out " +
          report + "\n");
  Executable(folder, "xdg-open", "echo \"opened $*\" > " + folder.File("opened") + "\n");
  std::filesystem::create_directory(folder.File("work"));

  SpawnShell shell;
  shell.Execute(program, R"(one "two  words" 'it''s' back\ slash "" "q\"x" $HOME)",
                folder.File("work"), kShowNormal);
  EXPECT_EQ(WaitForFile(report), "[one]\n[two  words]\n[its]\n[back slash]\n[]\n[q\"x]\n[$HOME]\n" +
                                     folder.File("work") + "\nleader\n");

  // A document is no program: the opener first on PATH gets it alone.
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", (folder.path() + ":" + path).c_str(), 1);
  shell.Execute("song.mp3", "--ignored", folder.File("work"), kShowNormal);
  ::setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(WaitForFile(folder.File("opened")), "opened song.mp3\n");
  ::close(leaked);

  for (int i = 0; i < 500 && shell.running() > 0; ++i) {
    std::this_thread::sleep_for(10ms);
    shell.Reap();
  }
  EXPECT_EQ(shell.running(), 0U) << "every finished child is reaped";
}

// Serves one request on `server` within five seconds.
std::optional<InstanceRequest> Serve(InstanceRequestServer& server) {
  pollfd wake{server.fd(), POLLIN, 0};
  if (::poll(&wake, 1, 5000) != 1) return std::nullopt;
  return server.Accept();
}

TEST(InstanceFilesTest, OneCopyHoldsTheLockAndHearsTheOthersRequests) {
  TempFolder folder;
  RuntimeInstanceLocks first(folder.path());
  RuntimeInstanceLocks second(folder.path());
  auto lock = first.Acquire(kInstanceMutexName);
  ASSERT_NE(lock, nullptr);
  EXPECT_EQ(second.Acquire(kInstanceMutexName), nullptr);
  EXPECT_EQ(second.ListenForRequests().error().code, ENOLCK) << "only the holder listens";

  // A socket file left by a copy that crashed is taken over.
  const std::string socket_path = folder.File("pelorin.socket");
  {
    sockaddr_un address{AF_UNIX, {}};
    socket_path.copy(address.sun_path, socket_path.size());
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(stale);
  }
  InstanceMessaging messaging(folder.path());
  EXPECT_EQ(messaging.FindWindow(kMainWindowClass, kMainWindowCaption), kNoWindow);
  auto server = first.ListenForRequests();
  ASSERT_TRUE(server) << Describe(server.error());
  EXPECT_EQ(first.ListenForRequests().error().code, EADDRINUSE);

  const WindowId running = messaging.FindWindow(kMainWindowClass, kMainWindowCaption);
  EXPECT_EQ(running, InstanceMessaging::kRunningCopy);
  EXPECT_EQ(messaging.FindWindow("Winamp v1.x", ""), kNoWindow);
  // Looking whether a copy listens (the second listener above, FindWindow
  // here) asks nothing of it.
  EXPECT_EQ(server->Accept(), std::nullopt);
  EXPECT_EQ(server->Accept(), std::nullopt);

  auto shown = std::async(std::launch::async,
                          [&] { return messaging.Send(running, kWmUser, kShowRequest, 0); });
  EXPECT_EQ(Serve(*server), InstanceRequest::Show);
  EXPECT_EQ(shown.get(), 0);
  auto quit = std::async(std::launch::async,
                         [&] { return SendInstanceRequest(InstanceRequest::Quit, folder.path()); });
  EXPECT_EQ(Serve(*server), InstanceRequest::Quit);
  EXPECT_TRUE(quit.get());

  server.Release().reset();
  EXPECT_FALSE(std::filesystem::exists(socket_path));
  EXPECT_EQ(SendInstanceRequest(InstanceRequest::Show, folder.path()).error().code, ENOENT);
  lock.reset();
  EXPECT_NE(second.Acquire(kInstanceMutexName), nullptr) << "an ended copy's lock is free";
}

TEST(AutostartRegistryTest, TheRunValueIsTheDesktopsAutostartEntry) {
  TempFolder folder;
  posix::PosixFileSystem files;
  const std::string entry = folder.File("autostart/pelorin.desktop");
  AutostartRegistry registry(files, folder.File("autostart"), "/opt/my $apps/pelorin");
  EXPECT_EQ(registry.Open(RegistryRoot::CurrentUser, kSettingsKeyPath, KeyAccess::Full, true)
                .error()
                .code,
            ENOENT);
  EXPECT_FALSE(registry.Open(RegistryRoot::LocalMachine, kRunKeyPath, KeyAccess::Full, true));
  auto run = registry.Open(RegistryRoot::CurrentUser, kRunKeyPath, KeyAccess::Full, true);
  ASSERT_TRUE(run);
  EXPECT_EQ(run->ReadString(kAutostartValueName), std::nullopt);

  ASSERT_TRUE(run->WriteString("pelorin", "\"c:\\whatever.exe\""));
  EXPECT_EQ(ReadFile(entry),
            "[Desktop Entry]\nType=Application\nName=Pelorin\n"
            "Exec=\"/opt/my \\\\$apps/pelorin\"\nX-GNOME-Autostart-enabled=true\n");
  EXPECT_EQ(run->ReadString(kAutostartValueName), "\"/opt/my \\$apps/pelorin\"");
  EXPECT_FALSE(run->WriteString("Other", "x"));

  // Turned off in the desktop's settings, the entry no longer counts, and a
  // save does not turn it on again.
  std::ofstream(entry, std::ios::app) << "Hidden=true\n";
  EXPECT_EQ(run->ReadString(kAutostartValueName), std::nullopt);
  EXPECT_TRUE(run->WriteString("pelorin", "\"c:\\whatever.exe\""));
  EXPECT_EQ(run->ReadString(kAutostartValueName), std::nullopt);
  EXPECT_TRUE(run->DeleteValue(kAutostartValueName));
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_FALSE(run->DeleteValue(kAutostartValueName));
}

class RecordingSink final : public TraceSink {
 public:
  void WriteLine(std::string_view line) override { lines += std::string(line) + "|"; }
  std::string lines;
};

TEST(TerminalMessageBoxesTest, EachBoxIsToldOnceAndAnswersAsDismissed) {
  RecordingSink errors;
  TerminalMessageBoxes boxes(errors, TerminalMessageBoxes::Journal::Never);
  MessageBoxRequest question{.text = "Start the player?\r\nIt is not running.",
                             .caption = "Pelorin",
                             .icon = MessageIcon::Question,
                             .buttons = MessageButtons::YesNo,
                             .detail = "vlc: not found"};
  EXPECT_EQ(boxes.Show(question), MessageAnswer::No);
  EXPECT_EQ(boxes.Show(question), MessageAnswer::No);
  EXPECT_EQ(errors.lines, "Pelorin: Start the player?|  It is not running.|  vlc: not found|");
  EXPECT_EQ(boxes.Show({.text = "Go on?", .buttons = MessageButtons::OkCancel}),
            MessageAnswer::Cancel);
  EXPECT_EQ(boxes.Show({.text = "a\rb"}), MessageAnswer::Ok);
  EXPECT_EQ(errors.lines,
            "Pelorin: Start the player?|  It is not running.|  vlc: not found|Go on?|a|  b|");
}

// The entry as the journal reads it: plain fields, and the text with its
// line ends as a sized field.
TEST(TerminalMessageBoxesTest, AJournalEntryKeepsTheLinesOfItsText) {
  TempFolder folder;
  const std::string path = folder.File("journal");
  posix::UniqueFd journal(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(::bind(journal.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_TRUE(SendJournalEntry(path.c_str(), "Pelorin: Port lost\n  COM7", 3));
  char entry[256];
  const auto size = ::recv(journal.Get(), entry, sizeof entry, 0);
  const std::string expected = std::string("PRIORITY=3\nSYSLOG_IDENTIFIER=pelorin\nMESSAGE\n") +
                               std::string("\x19\0\0\0\0\0\0\0", 8) + "Pelorin: Port lost\n  COM7\n";
  EXPECT_EQ(std::string(entry, size > 0 ? static_cast<std::size_t>(size) : 0), expected);
  EXPECT_FALSE(SendJournalEntry(folder.File("absent").c_str(), "x", 6));
}

TEST(DeviceArrivalWatchTest, SeesNodesAndSerialLinksInFoldersThatAppearLater) {
  TempFolder dev;
  auto watch = DeviceArrivalWatch::Open(dev.path());
  ASSERT_TRUE(watch) << Describe(watch.error());
  EXPECT_FALSE(watch->Drain());
  dev.Write("ttyUSB0", "");
  EXPECT_TRUE(watch->Drain());
  EXPECT_FALSE(watch->Drain()) << "told once";
  ::chmod(dev.File("ttyUSB0").c_str(), 0660);
  EXPECT_TRUE(watch->Drain()) << "udev gave it its group";
  std::filesystem::create_directories(dev.File("serial/by-id"));
  watch->Drain();
  dev.Write("serial/by-id/usb-FTDI-if00", "");
  EXPECT_TRUE(watch->Drain());
  std::filesystem::remove_all(dev.File("serial"));
  watch->Drain();
  std::filesystem::create_directory(dev.File("serial"));
  std::filesystem::create_directory(dev.File("serial/by-id"));
  watch->Drain();
  dev.Write("serial/by-id/usb-FTDI-if00", "");
  EXPECT_TRUE(watch->Drain()) << "a folder that came back is watched again";
}

// The libraries loaded at first use: a library that is not there, and one
// that lacks a function the table names, each say why and are not used.
TEST(LoadedLibrary, NamesTheMissingLibraryOrFunction) {
  LoadedLibrary absent("libpelorin-absent.so.0");
  EXPECT_FALSE(absent.IsOpen());
  EXPECT_FALSE(absent.Complete());
  EXPECT_NE(absent.Why().find("libpelorin-absent.so.0"), std::string::npos) << absent.Why();

  LoadedLibrary c_library("libc.so.6");
  ASSERT_TRUE(c_library.IsOpen()) << c_library.Why();
  std::size_t (*length)(const char*) = nullptr;
  c_library.Find("strlen", length);
  ASSERT_NE(length, nullptr);
  EXPECT_EQ(length("four"), 4U);
  EXPECT_TRUE(c_library.Complete());
  void (*missing)() = nullptr;
  c_library.Find("pelorin_no_such_function", missing);
  EXPECT_EQ(missing, nullptr);
  EXPECT_FALSE(c_library.Complete());
  EXPECT_EQ(c_library.Why(), "libc.so.6 lacks pelorin_no_such_function");
}

// Periodic timers tick on multiples of their period: armed at different
// moments, every tick of the longer one (the LED's) still falls on a tick of
// the shorter one (the poll's), so the program wakes once for both.
TEST(TimerFdTest, PeriodicTimersWhosePeriodsDivideTickTogether) {
  using namespace std::chrono_literals;
  std::optional<TimerFd> poll_timer = TimerFd::Create();
  std::optional<TimerFd> led_timer = TimerFd::Create();
  ASSERT_TRUE(poll_timer && led_timer);
  ASSERT_TRUE(poll_timer->Arm(10ms, true));
  std::this_thread::sleep_for(3ms);
  ASSERT_TRUE(led_timer->Arm(40ms, true));
  auto next_tick_ns = [](const TimerFd& timer) {
    itimerspec left{};
    EXPECT_EQ(::timerfd_gettime(timer.Fd(), &left), 0);
    return left.it_value.tv_sec * 1'000'000'000LL + left.it_value.tv_nsec;
  };
  const long long apart_ns = (next_tick_ns(*led_timer) - next_tick_ns(*poll_timer)) % 10'000'000;
  EXPECT_TRUE(apart_ns < 500'000 || apart_ns > 9'500'000)
      << "the LED's next tick is " << apart_ns << " ns past one of the poll timer's";
}

}  // namespace
}  // namespace pelorin::linux_os
