// The questions and notices as Qt boxes: what each request shows, and a
// real box answered from the keyboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "ui/qt/message_boxes_qt.h"

namespace pelorin::qt {
namespace {

struct LookCase {
  const char* name;
  MessageBoxRequest request;
  BoxLook expected;
};

MessageBoxRequest Request(std::string text, MessageIcon icon, MessageButtons buttons,
                          int default_button, bool task_modal, std::string detail = "") {
  MessageBoxRequest request;
  request.text = std::move(text);
  request.caption = "Pelorin";
  request.icon = icon;
  request.buttons = buttons;
  request.default_button = default_button;
  request.task_modal = task_modal;
  request.detail = std::move(detail);
  return request;
}

TEST(QtMessageBoxLook, EachRequestShowsItsTextsButtonsIconAndDefaults) {
  const LookCase cases[] = {
      {"question in the Linux wording, task-modal",
       Request("Start Winamp?", MessageIcon::Question, MessageButtons::YesNo, 1, true),
       {"Pelorin", "Start the player?", "", QMessageBox::Question,
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No,
        Qt::ApplicationModal}},
      {"second button as default, Windows line breaks",
       Request("Do you really want to uninstall\r\nPelorin?\rNow?", MessageIcon::Warning,
               MessageButtons::OkCancel, 2, false),
       {"Pelorin", "Do you really want to uninstall\nPelorin?\nNow?", "", QMessageBox::Warning,
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, QMessageBox::Cancel,
        Qt::WindowModal}},
      {"one button keeps it as default, detail below",
       Request("Cannot open port", MessageIcon::Error, MessageButtons::Ok, 2, false,
               "/dev/ttyUSB9: No such file or directory"),
       {"Pelorin", "Cannot open port", "/dev/ttyUSB9: No such file or directory",
        QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok, Qt::WindowModal}},
      {"no icon",
       Request("Saved", MessageIcon::None, MessageButtons::Ok, 1, false),
       {"Pelorin", "Saved", "", QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok,
        QMessageBox::Ok, Qt::WindowModal}},
  };
  for (const LookCase& c : cases) {
    const BoxLook look = LookOf(c.request);
    EXPECT_EQ(look.title, c.expected.title) << c.name;
    EXPECT_EQ(look.text, c.expected.text) << c.name;
    EXPECT_EQ(look.informative_text, c.expected.informative_text) << c.name;
    EXPECT_EQ(look.icon, c.expected.icon) << c.name;
    EXPECT_EQ(look.buttons, c.expected.buttons) << c.name;
    EXPECT_EQ(look.default_button, c.expected.default_button) << c.name;
    EXPECT_EQ(look.escape_button, c.expected.escape_button) << c.name;
    EXPECT_EQ(look.modality, c.expected.modality) << c.name;
  }
}

// A key pressed in the box and the answer it must give.
struct KeyPress {
  Qt::Key key;
  MessageAnswer expected;
};

TEST(QtMessageBoxes, RealBoxAnswersEscapeAsDismissedAndEnterWithTheDefault) {
  const struct {
    MessageButtons buttons;
    int default_button;
    KeyPress press;
  } cases[] = {
      {MessageButtons::YesNo, 1, {Qt::Key_Escape, MessageAnswer::No}},
      {MessageButtons::OkCancel, 1, {Qt::Key_Escape, MessageAnswer::Cancel}},
      {MessageButtons::YesNo, 2, {Qt::Key_Return, MessageAnswer::No}},
      {MessageButtons::YesNo, 1, {Qt::Key_Return, MessageAnswer::Yes}},
  };
  for (const auto& c : cases) {
    QString shown_text;
    QString shown_detail;
    bool shown_as_plain_text = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shown_text = box->text();
      shown_detail = box->informativeText();
      // File names and the system's words are never taken as markup.
      const auto* detail_label = box->findChild<QLabel*>("qt_msgbox_informativelabel");
      shown_as_plain_text = box->textFormat() == Qt::PlainText && detail_label != nullptr &&
                            detail_label->textFormat() == Qt::PlainText;
      QTest::keyClick(box, c.press.key);
    });
    QtMessageBoxes boxes;
    const MessageAnswer answer =
        boxes.Show(Request("<b>Start</b>\r\nnow", MessageIcon::Question, c.buttons,
                           c.default_button, true, "<i>why</i>"));
    EXPECT_EQ(answer, c.press.expected);
    EXPECT_EQ(shown_text, "<b>Start</b>\nnow");
    EXPECT_EQ(shown_detail, "<i>why</i>");
    EXPECT_TRUE(shown_as_plain_text);
  }
}

}  // namespace
}  // namespace pelorin::qt
