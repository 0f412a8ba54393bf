#pragma once
#include <string>

#include "platform/window_id.h"

namespace pelorin {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
  WindowId owner = kNoWindow;
  std::string text;
  std::string caption;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
  // Task-modal: every top-level window of the program is disabled while the
  // box is up, even without an owner.
  bool task_modal = false;
  // The button that Enter presses: 1 the first, 2 the second.
  int default_button = 1;
  // The cause behind the text, where there is one worth telling (the device
  // and the system's words for a port that failed to open). Windows boxes
  // leave it out; a box written to a terminal prints it below the text.
  std::string detail;
};

// The answer of a box closed without a choice (Escape, the close button, or
// no one there to ask): Cancel where there is one, No for a question, else Ok.
constexpr MessageAnswer DismissedAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return MessageAnswer::Cancel;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::Ok:
      break;
  }
  return MessageAnswer::Ok;
}

// Modal message boxes.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and blocks the caller until the user dismisses it. The
  // texts go to the system unchanged (single "\r" characters are line
  // breaks). Returns the button chosen; a box that could not be shown answers
  // as if dismissed (Cancel, No or Ok, whichever the buttons offer last).
  virtual MessageAnswer Show(const MessageBoxRequest& request) = 0;
};

}  // namespace pelorin
