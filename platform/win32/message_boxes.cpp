#include "platform/win32/message_boxes.h"

#include <windows.h>

namespace pelorin::win32 {
namespace {

unsigned IconFlag(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
    case MessageIcon::Warning:
      return MB_ICONWARNING;
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::None:
      break;
  }
  return 0;
}

unsigned ButtonsFlag(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return MB_OKCANCEL;
    case MessageButtons::YesNo:
      return MB_YESNO;
    case MessageButtons::Ok:
      break;
  }
  return MB_OK;
}

MessageAnswer Dismissed(MessageButtons buttons) {
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

}  // namespace

unsigned MessageBoxFlags(const MessageBoxRequest& request) {
  unsigned flags = IconFlag(request.icon) | ButtonsFlag(request.buttons);
  if (request.task_modal) flags |= MB_TASKMODAL;
  if (request.default_button == 2) flags |= MB_DEFBUTTON2;
  return flags;
}

MessageAnswer AnswerFromResult(int result, MessageButtons buttons) {
  switch (result) {
    case IDOK:
      return MessageAnswer::Ok;
    case IDCANCEL:
      return MessageAnswer::Cancel;
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    default:
      return Dismissed(buttons);
  }
}

MessageAnswer MessageBoxes::Show(const MessageBoxRequest& request) {
  HWND owner = reinterpret_cast<HWND>(request.owner);
  const int result =
      MessageBoxA(owner, request.text.c_str(), request.caption.c_str(), MessageBoxFlags(request));
  return AnswerFromResult(result, request.buttons);
}

}  // namespace pelorin::win32
