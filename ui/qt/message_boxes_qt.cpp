#include "ui/qt/message_boxes_qt.h"

#include <QLabel>
#include <QPushButton>
#include <string>

#include "ui/edition_texts.h"

namespace pelorin::qt {
namespace {

// Windows takes "\r\n" and a single "\r" as line breaks; Qt only "\n".
QString PlainLines(const std::string& text) {
  QString lines = QString::fromStdString(EditionText(text));
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QChar('\r'), QChar('\n'));
  return lines;
}

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// The box's buttons in their order on Windows, first to last.
struct ButtonPair {
  QMessageBox::StandardButton first;
  QMessageBox::StandardButton second;
};

ButtonPair ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return {QMessageBox::Ok, QMessageBox::Cancel};
    case MessageButtons::YesNo:
      return {QMessageBox::Yes, QMessageBox::No};
    case MessageButtons::Ok:
      break;
  }
  return {QMessageBox::Ok, QMessageBox::NoButton};
}

QMessageBox::StandardButton ButtonOf(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Cancel:
      return QMessageBox::Cancel;
    case MessageAnswer::Yes:
      return QMessageBox::Yes;
    case MessageAnswer::No:
      return QMessageBox::No;
    case MessageAnswer::Ok:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

BoxLook LookOf(const MessageBoxRequest& request) {
  BoxLook look;
  look.title = PlainLines(request.caption);
  look.text = PlainLines(request.text);
  look.informative_text = PlainLines(request.detail);
  look.icon = IconOf(request.icon);
  const ButtonPair pair = ButtonsOf(request.buttons);
  look.buttons = pair.first | pair.second;
  // A box with one button has no second to make the default.
  look.default_button = request.default_button == 2 && pair.second != QMessageBox::NoButton
                            ? pair.second
                            : pair.first;
  look.escape_button = ButtonOf(DismissedAnswer(request.buttons));
  // Task-modal on Windows disables every window of the program; a box with
  // no owner otherwise leaves them usable.
  look.modality = request.task_modal ? Qt::ApplicationModal : Qt::WindowModal;
  return look;
}

MessageAnswer AnswerOf(QMessageBox::StandardButton pressed, MessageButtons buttons) {
  switch (pressed) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return DismissedAnswer(buttons);
  }
}

MessageAnswer QtMessageBoxes::Show(const MessageBoxRequest& request) {
  const BoxLook look = LookOf(request);
  QMessageBox box(look.icon, look.title, look.text, look.buttons);
  box.setTextFormat(Qt::PlainText);
  if (!look.informative_text.isEmpty()) {
    box.setInformativeText(look.informative_text);
    // The informative text has a label of its own, which would otherwise
    // guess whether the text is markup.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
      label->setTextFormat(Qt::PlainText);
    }
  }
  box.setDefaultButton(look.default_button);
  box.setEscapeButton(look.escape_button);
  box.setWindowModality(look.modality);
  // Once the program's loop was told to end, the box's own loop returns at
  // once (the application ends every loop), and no button was pressed.
  box.exec();
  QAbstractButton* pressed = box.clickedButton();
  if (pressed == nullptr) return DismissedAnswer(request.buttons);
  return AnswerOf(box.standardButton(pressed), request.buttons);
}

}  // namespace pelorin::qt
