#include "engine/player_absent_policy.h"

#include "platform/identity.h"

namespace pelorin {
namespace {

enum class Effect { None, Start, Ask, AskOnce };

// The effect of a policy on a press: "Start Winamp", "Ask every click to
// start", "Ask once to start"; "Do nothing" and "Send media keys" leave the
// player alone (the dispatcher sends the keys), and so does no selection.
Effect EffectOf(InactivePolicy policy) {
  switch (policy) {
    case InactivePolicy::Start:
      return Effect::Start;
    case InactivePolicy::AskEveryClick:
      return Effect::Ask;
    case InactivePolicy::AskOnce:
      return Effect::AskOnce;
    case InactivePolicy::DoNothing:
    case InactivePolicy::SendMediaKeys:
    default:
      return Effect::None;
  }
}

}  // namespace

PlayerAbsentPolicy::PlayerAbsentPolicy(MessageBoxes& boxes, WindowMessaging& messaging,
                                       PollTimerControl& timer, PlayerLauncher& launcher)
    : boxes_(boxes), messaging_(messaging), timer_(timer), launcher_(launcher) {}

void PlayerAbsentPolicy::FoldPress(std::uint8_t button_policy, InactivePolicy global_policy) {
  Effect effect = EffectOf(PolicyOfButton(button_policy, global_policy));
  if (effect == Effect::AskOnce) effect = asked_once_ ? Effect::None : Effect::Ask;
  if (effect == Effect::Start) {
    request_ = StartRequest::Start;
  } else if (effect == Effect::Ask && request_ != StartRequest::Start) {
    request_ = StartRequest::Ask;
  }
}

bool PlayerAbsentPolicy::ActOnStartRequest() {
  switch (request_) {
    case StartRequest::Ask:
      return Ask();
    // Only the window's presence is tested, so a player still coming up is
    // started again at each such press.
    case StartRequest::Start:
      launcher_.StartPlayer();
      break;
    case StartRequest::None:
      break;
  }
  return true;
}

void PlayerAbsentPolicy::TellCannotAsk() {
  if (told_cannot_ask_) return;
  told_cannot_ask_ = true;
  MessageBoxRequest box;
  box.text = kCannotAskText;
  box.caption = kProgramCaption;
  box.icon = MessageIcon::Information;
  boxes_.Show(box);
}

bool PlayerAbsentPolicy::Ask() {
  if (!can_ask_) {
    TellCannotAsk();
    return true;
  }
  // The question must not appear behind the window the user is working in.
  messaging_.SetForeground(main_window_);
  if (question_shown_) {
    asked_once_ = true;
    return true;
  }
  question_shown_ = true;
  // No cycles while the box is up: presses made meanwhile are not seen as
  // presses, only the levels when polling resumes count.
  timer_.StopPollTimer();
  MessageBoxRequest box;
  box.owner = main_window_;
  box.text = kStartPlayerQuestion;
  box.caption = kStartPlayerQuestionCaption;
  box.icon = MessageIcon::Question;
  box.buttons = MessageButtons::YesNo;
  box.task_modal = true;
  const bool start = boxes_.Show(box) == MessageAnswer::Yes;
  question_shown_ = false;
  asked_once_ = true;
  // The box runs its own message loop, in which the program may have ended
  // ("E&xit", a quit request, the session's end): then nothing starts again.
  if (!timer_.StartPollTimer()) return false;
  if (start) launcher_.StartPlayer();
  return true;
}

}  // namespace pelorin
