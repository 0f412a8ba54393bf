#pragma once
#include <QMessageBox>
#include <QString>

#include "platform/message_box.h"

namespace pelorin::qt {

// What a box shows for a request: the texts in the Linux edition's wording
// with plain line breaks, the icon, the buttons, the one Enter presses and
// the one Escape or the window's close button presses.
struct BoxLook {
  QString title;
  QString text;
  // The cause behind the text (the request's detail), below it.
  QString informative_text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  QMessageBox::StandardButton escape_button = QMessageBox::NoButton;
  Qt::WindowModality modality = Qt::NonModal;
};

BoxLook LookOf(const MessageBoxRequest& request);

// The answer a pressed button stands for; a box closed without a button
// answers as DismissedAnswer says.
MessageAnswer AnswerOf(QMessageBox::StandardButton pressed, MessageButtons buttons);

// Message boxes as Qt dialogs. Show blocks the caller in a nested event
// loop until the user answers: the program's timers and watched
// descriptors keep running meanwhile, as they do under a Windows box. Texts
// are shown as plain text, never as markup, since they carry file names and
// the system's words.
class QtMessageBoxes final : public MessageBoxes {
 public:
  MessageAnswer Show(const MessageBoxRequest& request) override;
};

}  // namespace pelorin::qt
