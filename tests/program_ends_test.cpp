// The order of the start-up's last steps and of the program's ends, the
// session end that Windows asks about and may cancel, and ends that happen
// while the "Start Winamp?" question is up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::ProgramRig;

class EndsTest : public ::testing::Test {
 protected:
  // Notes, at each entry of the window's log, the state of the other fakes.
  void NoteStateAtEachStep() {
    rig_.window.on_log = [this](const std::string& entry) {
      const auto& port = rig_.ports.Port(1);
      const bool led = !port.rts_writes.empty() && port.rts_writes.back();
      steps_.push_back(entry + (port.open ? " | open" : " | closed") + (led ? " lit" : " dark") +
                       (rig_.files.files.count(ProgramRig::kIni) ? " stored" : "") +
                       (rig_.locks.held.count("Pelorin") ? " locked" : ""));
    };
  }
  // Lights the LED: the cycle finds its condition true, the LED step lights it.
  void LightTheLed() {
    rig_.Tick();
    rig_.program->OnTimer(WindowTimer::LedTimer);
    ASSERT_TRUE(rig_.ports.Port(1).rts);
  }

  ProgramRig rig_;
  std::vector<std::string> steps_;
};

TEST_F(EndsTest, StartUpOpensThePortBeforeThePollTimerAndAddsTheIconLast) {
  bool ready_at_poll_start = false;
  rig_.Build();
  rig_.window.on_log = [&](const std::string& entry) {
    if (entry != "start poll timer") return;
    ready_at_poll_start = rig_.ports.Port(1).open && rig_.ports.Port(1).dtr &&
                          rig_.power.privilege_requests == 1 && !rig_.window.tray_icon;
  };
  rig_.window.log.clear();
  rig_.window.StartTimer(WindowTimer::StartupTimer);
  rig_.program->OnTimer(WindowTimer::StartupTimer);
  EXPECT_TRUE(ready_at_poll_start);
  EXPECT_EQ(rig_.window.log,
            (std::vector<std::string>{"start start-up timer", "stop start-up timer",
                                      "start poll timer", "add tray icon"}));
}

// An end that comes before the start-up has read the file (a signal on
// Linux, a close from outside) leaves the file as it was.
TEST_F(EndsTest, AnEndBeforeTheStartUpKeepsTheFileAsItWas) {
  rig_.Build();
  const std::string before = "[Primary]\r\nPort=7\r\n";
  rig_.files.files[ProgramRig::kIni] = before;
  rig_.program->ExitClicked();
  EXPECT_EQ(rig_.files.files[ProgramRig::kIni], before);
}

TEST_F(EndsTest, ExitStoresThenRemovesTheIconThenDarkensTheLedsThenEnds) {
  rig_.Start();
  LightTheLed();
  rig_.files.files.erase(ProgramRig::kIni);
  NoteStateAtEachStep();
  rig_.program->OnTrayMenu(TrayMenuItem::Exit);
  EXPECT_EQ(steps_, (std::vector<std::string>{"remove tray icon | open lit stored locked",
                                              "end loop | open dark stored locked"}));
}

TEST_F(EndsTest, CloseWhileHiddenReleasesLockTimersLedsPortsThenStoresAndRemovesTheIcon) {
  rig_.Start();
  LightTheLed();
  rig_.files.files.erase(ProgramRig::kIni);
  NoteStateAtEachStep();
  EXPECT_TRUE(rig_.program->OnCloseRequest());
  EXPECT_EQ(steps_, (std::vector<std::string>{
                        "stop tray click timer | open lit",
                        "stop poll timer | open lit",
                        "stop start-up timer | open lit",
                        "stop LED timer | open lit",
                        "remove tray icon | closed dark stored",
                    }));
}

TEST_F(EndsTest, ACancelledSessionEndLeavesTheProgramRunning) {
  rig_.Start();
  rig_.files.files.erase(ProgramRig::kIni);
  EXPECT_TRUE(rig_.program->OnSessionEndQuery());
  EXPECT_TRUE(rig_.files.files.count(ProgramRig::kIni)) << "stored for a forced end";
  // The end is cancelled: nothing arrives but the next ticks.
  EXPECT_TRUE(rig_.window.tray_icon);
  EXPECT_TRUE(rig_.ports.Port(1).open);
  EXPECT_TRUE(rig_.ports.Port(1).dtr);
  EXPECT_TRUE(rig_.window.TimerRunning(WindowTimer::PollTimer));
  EXPECT_TRUE(rig_.window.TimerRunning(WindowTimer::LedTimer));
  EXPECT_TRUE(rig_.locks.held.count("Pelorin")) << "a new copy would end silently otherwise";
  EXPECT_FALSE(rig_.window.loop_ended);

  const std::size_t sent_before = rig_.messaging.messages.size();
  rig_.Hold(PortRole::Primary, 3);  // "Next track" on the press
  rig_.Tick();
  EXPECT_GT(rig_.messaging.messages.size(), sent_before) << "a button still reaches the player";
}

TEST_F(EndsTest, TheSessionEndingEndsTheProgramInOrder) {
  rig_.Start();
  LightTheLed();
  ASSERT_TRUE(rig_.program->OnSessionEndQuery());
  NoteStateAtEachStep();
  rig_.program->OnSessionEnd();
  EXPECT_EQ(steps_, (std::vector<std::string>{
                        "stop tray click timer | open lit stored",
                        "stop poll timer | open lit stored",
                        "stop start-up timer | open lit stored",
                        "stop LED timer | open lit stored",
                        "remove tray icon | closed dark stored",
                        "end loop | closed dark stored",
                    }));
}

TEST_F(EndsTest, AVisibleWindowRefusesTheSessionEndAndIsCancelled) {
  rig_.Start();
  rig_.program->OnTrayMenu(TrayMenuItem::Properties);
  ASSERT_TRUE(rig_.window.visible);
  EXPECT_FALSE(rig_.program->OnSessionEndQuery());
  EXPECT_FALSE(rig_.window.visible);
  EXPECT_TRUE(rig_.window.tray_icon);
  EXPECT_TRUE(rig_.ports.Port(1).open);
}

// One of the program's ends, run while the question box is "up".
enum class EndInsideQuestion { Exit, QuitRequest, SessionEnd };

class EndInsideQuestionTest : public EndsTest,
                              public ::testing::WithParamInterface<EndInsideQuestion> {
 protected:
  void RunEnd() {
    switch (GetParam()) {
      case EndInsideQuestion::Exit:
        rig_.program->OnTrayMenu(TrayMenuItem::Exit);
        break;
      case EndInsideQuestion::QuitRequest:
        rig_.program->OnUserMessage(kQuitRequest, 0);
        break;
      case EndInsideQuestion::SessionEnd:
        ASSERT_TRUE(rig_.program->OnSessionEndQuery());
        rig_.program->OnSessionEnd();
        break;
    }
  }
};

TEST_P(EndInsideQuestionTest, TheCycleThatAskedEndsWithoutActing) {
  // Asks at every click; button 3 presses the key "A" on the press.
  rig_.files.files[ProgramRig::kIni] +=
      "[Options]\r\nIfInactive=1\r\n[Port1Button3]\r\nMode=1\r\nFunc1=52\r\nKey1=65\r\n";
  rig_.SetPlayerRunning(false);
  rig_.Start();
  LightTheLed();
  rig_.boxes.on_show = [this](const MessageBoxRequest& box) {
    if (box.text == kStartPlayerQuestion) RunEnd();
  };
  rig_.boxes.answers = {MessageAnswer::Yes};
  const std::size_t starts_before = rig_.shell.starts.size();
  const std::size_t led_writes_before = rig_.ports.Port(1).rts_writes.size();
  rig_.Hold(PortRole::Primary, 3);
  rig_.Tick();

  ASSERT_EQ(rig_.boxes.shown.size(), 1u);
  EXPECT_FALSE(rig_.window.TimerRunning(WindowTimer::PollTimer)) << "not restarted";
  EXPECT_TRUE(rig_.keyboard.events.empty()) << "the cycle's command is not sent";
  EXPECT_EQ(rig_.shell.starts.size(), starts_before) << "nor the player started";
  const auto& writes = rig_.ports.Port(1).rts_writes;
  for (std::size_t i = led_writes_before; i < writes.size(); ++i) {
    EXPECT_FALSE(writes[i]) << "no LED step lights the LED again";
  }
  EXPECT_TRUE(rig_.window.loop_ended);
}

INSTANTIATE_TEST_SUITE_P(Ends, EndInsideQuestionTest,
                         ::testing::Values(EndInsideQuestion::Exit, EndInsideQuestion::QuitRequest,
                                           EndInsideQuestion::SessionEnd));

// SIGHUP: the file is read again and the port it names now is opened,
// while the program keeps running.
TEST_F(EndsTest, ReloadReadsTheFileAgainAndOpensItsPort) {
  rig_.ports.Port(2);
  rig_.Start();
  rig_.files.files[ProgramRig::kIni] = "[Primary]\r\nPort=2\r\n[Linux]\r\nPlayer=vlc\r\n";
  rig_.program->ReloadSettings();
  EXPECT_EQ(rig_.program->LiveSettings().Linux.Player, "vlc");
  EXPECT_FALSE(rig_.ports.Port(1).open);
  EXPECT_TRUE(rig_.ports.Port(2).open);
  EXPECT_TRUE(rig_.window.TimerRunning(WindowTimer::PollTimer));
}

}  // namespace
}  // namespace pelorin
