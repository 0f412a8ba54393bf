#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/window_messaging.h"

namespace pelorin::testing {

// Windows by class name, and a record of every message in order.
class FakeWindowMessaging final : public WindowMessaging {
 public:
  enum class How { Sent, SentAndWaited, Posted };
  struct Message {
    WindowId window;
    std::uint32_t message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
    How how;
    bool operator==(const Message&) const = default;
  };

  // Makes a window of `class_name` exist (or vanish, with kNoWindow).
  void SetWindow(const std::string& class_name, WindowId id) { windows_[class_name] = id; }

  WindowId FindWindow(std::string_view class_name, std::string_view /*caption*/) override {
    ++find_calls;
    auto it = windows_.find(std::string(class_name));
    return it == windows_.end() ? kNoWindow : it->second;
  }
  std::intptr_t Send(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                     std::intptr_t lparam) override {
    return Record({window, message, wparam, lparam, How::Sent});
  }
  std::intptr_t SendAndWait(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                            std::intptr_t lparam) override {
    return Record({window, message, wparam, lparam, How::SentAndWaited});
  }
  void Post(WindowId window, std::uint32_t message, std::uintptr_t wparam,
            std::intptr_t lparam) override {
    if (window != kNoWindow) messages.push_back({window, message, wparam, lparam, How::Posted});
  }
  void SetForeground(WindowId window) override { foreground.push_back(window); }
  void AllowForeground(WindowId window) override { allowed_foreground.push_back(window); }

  // Answers to sent messages; default 0.
  std::function<std::intptr_t(const Message&)> answer;
  std::vector<Message> messages;
  std::vector<WindowId> foreground;
  std::vector<WindowId> allowed_foreground;
  int find_calls = 0;

 private:
  std::intptr_t Record(const Message& m) {
    if (m.window == kNoWindow) return 0;
    messages.push_back(m);
    return answer ? answer(m) : 0;
  }
  std::map<std::string, WindowId> windows_;
};

}  // namespace pelorin::testing
