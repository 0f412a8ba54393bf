#include "platform/linux/instance_messaging.h"

#include <utility>

#include "platform/identity.h"
#include "platform/linux/instance_files.h"
#include "platform/trace.h"

namespace pelorin::linux_os {

InstanceMessaging::InstanceMessaging(std::string folder) : folder_(std::move(folder)) {}

WindowId InstanceMessaging::FindWindow(std::string_view class_name, std::string_view /*caption*/) {
  if (class_name != kMainWindowClass) return kNoWindow;
  return InstanceAnswers(folder_) ? kRunningCopy : kNoWindow;
}

std::intptr_t InstanceMessaging::Send(WindowId window, std::uint32_t message, std::uintptr_t wparam,
                                      std::intptr_t /*lparam*/) {
  if (window != kRunningCopy || message != kWmUser) return 0;
  if (wparam != kShowRequest && wparam != kQuitRequest) return 0;
  const OsStatus sent = SendInstanceRequest(
      wparam == kShowRequest ? InstanceRequest::Show : InstanceRequest::Quit, folder_);
  // A copy that does not answer is treated like a hung window: 0, no wait.
  if (!sent) Trace("The running copy did not take the request: " + Describe(sent.error()));
  return 0;
}

std::intptr_t InstanceMessaging::SendAndWait(WindowId window, std::uint32_t message,
                                             std::uintptr_t wparam, std::intptr_t lparam) {
  return Send(window, message, wparam, lparam);
}

}  // namespace pelorin::linux_os
