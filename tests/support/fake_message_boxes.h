#pragma once
#include <functional>
#include <vector>

#include "platform/message_box.h"

namespace pelorin::testing {

// Records every box and answers from a script (default: Ok / Yes).
class FakeMessageBoxes final : public MessageBoxes {
 public:
  MessageAnswer Show(const MessageBoxRequest& request) override {
    shown.push_back(request);
    if (on_show) on_show(request);
    if (!answers.empty()) {
      MessageAnswer answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    }
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
  }

  std::vector<MessageBoxRequest> shown;
  std::vector<MessageAnswer> answers;                       // consumed in order
  std::function<void(const MessageBoxRequest&)> on_show;   // runs while the box is "up"
};

}  // namespace pelorin::testing
