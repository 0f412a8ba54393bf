// The power backend against a stand-in logind on a private message bus of
// the test's own, which writes down every call it gets.
#include "platform/linux/logind_power.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "support/temp_folder.h"

namespace pelorin::linux_os {
namespace {

using namespace std::chrono_literals;

// Serves org.freedesktop.login1 on its own thread. An "old" logind
// refuses the flag that passes over inhibitor locks, as logind before 256
// does.
class StandInLogind {
 public:
  StandInLogind(const std::string& address, bool old) : old_(old) {
    if (sd_bus_new(&bus_) < 0) return;
    sd_bus_set_address(bus_, address.c_str());
    sd_bus_set_bus_client(bus_, 1);
    if (sd_bus_start(bus_) < 0 || sd_bus_request_name(bus_, "org.freedesktop.login1", 0) < 0)
      return;
    sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/login1",
                             "org.freedesktop.login1.Manager", kManager, this);
    sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/login1/session/auto",
                             "org.freedesktop.login1.Session", kSession, this);
    ready_ = true;
    thread_ = std::thread([this] {
      while (!stop_) {
        if (sd_bus_process(bus_, nullptr) == 0) sd_bus_wait(bus_, 20'000);
      }
    });
  }
  ~StandInLogind() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    sd_bus_flush_close_unref(bus_);
  }

  bool ready() const { return ready_; }
  std::string TakeCalls() {
    const std::lock_guard guard(mutex_);
    return std::exchange(calls_, {});
  }

 private:
  static int Record(sd_bus_message* m, void* self, sd_bus_error* error) {
    auto& logind = *static_cast<StandInLogind*>(self);
    std::string call = sd_bus_message_get_member(m);
    const std::string signature = sd_bus_message_get_signature(m, 1);
    if (signature == "b") {
      int interactive = 0;
      sd_bus_message_read(m, "b", &interactive);
      call += interactive ? "(true)" : "(false)";
    } else if (signature == "t") {
      std::uint64_t flags = 0;
      sd_bus_message_read(m, "t", &flags);
      if (logind.old_ && flags > 0xF) {
        return sd_bus_error_set(error, SD_BUS_ERROR_INVALID_ARGS, "Invalid flags parameter");
      }
      call += "(" + std::to_string(flags) + ")";
    }
    const std::lock_guard guard(logind.mutex_);
    logind.calls_ += call + " ";
    return sd_bus_reply_method_return(m, "");
  }

  static constexpr sd_bus_vtable kManager[] = {
      SD_BUS_VTABLE_START(0),
      SD_BUS_METHOD("PowerOff", "b", "", Record, 0),
      SD_BUS_METHOD("Reboot", "b", "", Record, 0),
      SD_BUS_METHOD("PowerOffWithFlags", "t", "", Record, 0),
      SD_BUS_METHOD("RebootWithFlags", "t", "", Record, 0),
      SD_BUS_VTABLE_END};
  static constexpr sd_bus_vtable kSession[] = {
      SD_BUS_VTABLE_START(0), SD_BUS_METHOD("Terminate", "", "", Record, 0), SD_BUS_VTABLE_END};

  sd_bus* bus_ = nullptr;
  bool old_;
  bool ready_ = false;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::string calls_;
};

TEST(LogindPowerTest, EachEndGoesToItsLogindCallWithoutAskingForAPassword) {
  testing::TempFolder folder;
  const std::string socket = folder.File("bus");
  const std::string listen = "--address=unix:path=" + socket;
  const char* argv[] = {"dbus-daemon", "--session",    "--nofork",
                        "--nopidfile", listen.c_str(), nullptr};
  pid_t daemon = 0;
  if (posix_spawnp(&daemon, "dbus-daemon", nullptr, nullptr, const_cast<char**>(argv), environ) !=
      0) {
    GTEST_SKIP() << "no dbus-daemon";
  }
  for (int i = 0; i < 500 && !std::filesystem::exists(socket); ++i)
    std::this_thread::sleep_for(10ms);
  const std::string address = "unix:path=" + socket;
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);

  LogindPower power(2s);
  EXPECT_TRUE(power.EnableShutdownPrivilege());
  {
    StandInLogind logind(address, /*old=*/false);
    ASSERT_TRUE(logind.ready());
    power.EndSession(kExitPowerOff);
    power.EndSession(kExitPowerOff | kExitForceIfHung);
    power.EndSession(kExitReboot);
    power.EndSession(kExitReboot | kExitForceIfHung);
    power.EndSession(0);
    EXPECT_EQ(logind.TakeCalls(),
              "PowerOff(false) PowerOffWithFlags(16) Reboot(false) RebootWithFlags(16) Terminate ");
  }
  {
    StandInLogind logind(address, /*old=*/true);
    ASSERT_TRUE(logind.ready());
    power.EndSession(kExitReboot | kExitForceIfHung);
    EXPECT_EQ(logind.TakeCalls(), "Reboot(false) ") << "an older logind is asked without the flag";
  }
  ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  ::kill(daemon, SIGTERM);
  ::waitpid(daemon, nullptr, 0);
}

}  // namespace
}  // namespace pelorin::linux_os
