#pragma once
#include "platform/message_box.h"

namespace pelorin::win32 {

// The MessageBoxW style flags for a request: icon, buttons and task-modal,
// and always in front of other programs' windows.
unsigned MessageBoxFlags(const MessageBoxRequest& request);
// The answer for MessageBoxW's result. A box that could not be shown (0)
// answers as if dismissed: the last button the box offers.
MessageAnswer AnswerFromResult(int result, MessageButtons buttons);

// Modal boxes through MessageBoxW; the texts are UTF-8.
class MessageBoxes final : public pelorin::MessageBoxes {
 public:
  MessageAnswer Show(const MessageBoxRequest& request) override;
};

}  // namespace pelorin::win32
