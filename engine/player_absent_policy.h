#pragma once
#include <cstdint>

#include "config/settings.h"

#include "platform/message_box.h"
#include "platform/window_id.h"
#include "platform/window_messaging.h"

namespace pelorin {

// The poll timer, stopped while the question box is up.
class PollTimerControl {
 public:
  virtual ~PollTimerControl() = default;
  virtual void StopPollTimer() = 0;
  // Starts the timer again; false, leaving it stopped, once the program has
  // begun to end (the question box's own message loop can run an end).
  virtual bool StartPollTimer() = 0;
};

// Starts the player the way the tray menu's "Start &Winamp" does. Returns at
// once; the player window comes up later, and a failed start shows nothing.
class PlayerLauncher {
 public:
  virtual ~PlayerLauncher() = default;
  virtual void StartPlayer() = 0;
};

// What the presses of one poll cycle ask for while the player is not running.
enum class StartRequest { None, Ask, Start };

inline constexpr const char* kStartPlayerQuestion = "Start Winamp?";
inline constexpr const char* kStartPlayerQuestionCaption = "Winamp is not running";
// Said once, instead of the question, by a program without a window.
inline constexpr const char* kCannotAskText =
    "The player is not running. Without a display Pelorin cannot ask whether to start it, so "
    "buttons set to ask do nothing.";

// What a button press does while the player is not running: start it, ask
// whether to start it, or nothing. Every press of any processed virtual
// button counts, whatever its commands; the policy never holds back a
// command. (With "Send media keys" the press starts nothing here: the
// dispatcher turns the button's player commands into media keys.)
class PlayerAbsentPolicy {
 public:
  PlayerAbsentPolicy(MessageBoxes& boxes, WindowMessaging& messaging, PollTimerControl& timer,
                     PlayerLauncher& launcher);

  // The program's main window: brought to the foreground before the question
  // and owner of the question box.
  void SetMainWindow(WindowId window) { main_window_ = window; }
  // Whether there is a display to ask in (true by default). Without one the
  // "ask" policies act as "Do nothing"; the first time one would have asked,
  // a box says so once instead (a program without a display shows its
  // boxes as text).
  void SetCanAsk(bool can_ask) { can_ask_ = can_ask; }

  // Each poll cycle's start request begins as none.
  void BeginCycle() { request_ = StartRequest::None; }

  // Folds one press into the cycle's request. `button_policy` is the
  // button's own setting (0 = use `global_policy`, 1..5 = start, ask every
  // click, ask once, do nothing, send media keys); `global_policy` is the
  // Options setting (0..4 in the same order). "Do nothing", "send media keys"
  // and other values start nothing and ask nothing. Start beats ask; "ask
  // once" counts as ask until the program has asked.
  void FoldPress(std::uint8_t button_policy, InactivePolicy global_policy);

  // Acts on the cycle's request; called only when the player window is
  // missing in this cycle. Ask: the main window comes to the foreground and,
  // unless a question is already up, the poll timer stops, "Start Winamp?"
  // is asked (Yes starts the player) and the timer starts again; either way
  // the program counts as having asked. Start: the player is started.
  // False when the program began to end while the question was up: then
  // neither the player nor the poll timer was started, and the cycle that
  // asked must end without acting.
  bool ActOnStartRequest();

  // Forgets that the program has asked, so "Ask once to start" asks again.
  // Called after settings were applied and written successfully.
  void ClearAskedOnce() { asked_once_ = false; }

  StartRequest Request() const { return request_; }
  bool AskedOnce() const { return asked_once_; }
  bool QuestionShown() const { return question_shown_; }

 private:
  bool Ask();
  void TellCannotAsk();

  MessageBoxes& boxes_;
  WindowMessaging& messaging_;
  PollTimerControl& timer_;
  PlayerLauncher& launcher_;
  WindowId main_window_ = kNoWindow;
  StartRequest request_ = StartRequest::None;
  bool asked_once_ = false;
  bool can_ask_ = true;
  bool told_cannot_ask_ = false;
  // Set while the question box is up, so that a cycle run from its nested
  // message loop cannot open a second one.
  bool question_shown_ = false;
};

}  // namespace pelorin
