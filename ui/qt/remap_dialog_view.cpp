#include "ui/qt/remap_dialog_view.h"

#include <functional>

#include <QBoxLayout>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/qt/choice_group.h"

namespace pelorin::qt {
namespace {

using R = RemapControl;

// Below the centre of the screen, so the properties window stays in view.
constexpr int kBelowCentre = 120;

// The dialog window: the close box and the keys go to the presenter, which
// alone decides whether and how the dialog goes.
class RemapWindow final : public QDialog {
 public:
  RemapWindow(QWidget* owner, std::function<void()> close_request,
              std::function<void(int key)> key_down)
      : QDialog(owner), close_request_(std::move(close_request)), key_down_(std::move(key_down)) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    // Never closed by the window system: the presenter hides the dialog
    // when it lets it go.
    event->ignore();
    close_request_();
  }
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
      key_down_(kEscapeKey);
    } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == 0) {
      key_down_(kEnterKey);
    } else {
      QDialog::keyPressEvent(event);
    }
  }

 private:
  std::function<void()> close_request_;
  std::function<void(int)> key_down_;
};

}  // namespace

RemapDialogView::RemapDialogView(QWidget* owner)
    : dialog_(new RemapWindow(
          owner,
          [this] {
            if (presenter_) presenter_->OnCloseRequest();
          },
          [this](int key) {
            if (!presenter_) return;
            // Enter presses OK only where OK is shown: on the Manual page.
            if (key == kEnterKey) {
              if (presenter_->Page() == RemapPage::Manual) presenter_->OkClicked();
            } else {
              presenter_->KeyDown(key);
            }
          })) {
  Put(R::Dialog, dialog_);
  auto* pages = new QStackedWidget(dialog_);
  Put(R::Pages, pages);
  pages->addWidget(BuildManualPage());
  pages->addWidget(BuildAutoPage());
  auto* layout = new QVBoxLayout(dialog_);
  layout->addWidget(pages);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

RemapDialogView::~RemapDialogView() {
  presenter_ = nullptr;   // it may be gone already
  delete dialog_.data();  // null when its owner went first
}

QWidget* RemapDialogView::BuildManualPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  const R groups[4] = {R::DcdChoice, R::DsrChoice, R::CtsChoice, R::RiChoice};
  for (int line = 0; line < 4; ++line) {
    auto* group = new ChoiceGroup(page);
    // The five choices side by side, as on Windows.
    static_cast<QBoxLayout*>(group->layout())->setDirection(QBoxLayout::LeftToRight);
    group->OnChosen([this, line](int index) {
      if (presenter_) presenter_->LineChoiceClicked(static_cast<StatusLine>(line), index);
    });
    Put(groups[line], group);
    layout->addWidget(group);
  }
  auto* buttons = new QHBoxLayout;
  auto* assign = new QPushButton(page);
  auto* ok = new QPushButton(page);
  auto* cancel = new QPushButton(page);
  Put(R::AssignAutomaticallyButton, assign);
  Put(R::OkButton, ok);
  Put(R::CancelButton, cancel);
  // Enter is handled by the dialog itself (OK on this page only).
  for (QPushButton* button : {assign, ok, cancel}) button->setAutoDefault(false);
  buttons->addWidget(assign);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  QObject::connect(assign, &QPushButton::clicked, dialog_, [this] {
    if (presenter_) presenter_->AssignAutomatically();
  });
  QObject::connect(ok, &QPushButton::clicked, dialog_, [this] {
    if (presenter_) presenter_->OkClicked();
  });
  QObject::connect(cancel, &QPushButton::clicked, dialog_, [this] {
    if (presenter_) presenter_->CancelClicked();
  });
  return page;
}

QWidget* RemapDialogView::BuildAutoPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* prompt = new QLabel(page);
  prompt->setAlignment(Qt::AlignCenter);
  Put(R::PressInOrderLabel, prompt);
  layout->addStretch(1);
  layout->addWidget(prompt);
  layout->addSpacing(prompt->fontMetrics().height());
  const R prompts[4] = {R::PressButton1Label, R::PressButton2Label, R::PressButton3Label,
                        R::PressButton4Label};
  // The prompts line up on the left in a centred column.
  auto* column = new QVBoxLayout;
  for (R control : prompts) {
    auto* label = new QLabel(page);
    Put(control, label);
    column->addWidget(label);
  }
  auto* centred = new QHBoxLayout;
  centred->addStretch(1);
  centred->addLayout(column);
  centred->addStretch(1);
  layout->addLayout(centred);
  layout->addStretch(1);
  auto* cancel = new QPushButton(page);
  cancel->setAutoDefault(false);
  Put(R::AutoCancelButton, cancel);
  layout->addWidget(cancel, 0, Qt::AlignHCenter);
  QObject::connect(cancel, &QPushButton::clicked, dialog_, [this] {
    if (presenter_) presenter_->AutoCancelClicked();
  });
  return page;
}

void RemapDialogView::SetVisible(RemapControl control, bool visible) {
  if (control != R::Dialog) {
    RemapTable::SetVisible(control, visible);
    return;
  }
  if (!visible) {
    dialog_->hide();
    return;
  }
  dialog_->adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect place = dialog_->frameGeometry();
    place.moveCenter(screen->geometry().center() + QPoint(0, kBelowCentre));
    dialog_->move(place.topLeft());
  }
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

}  // namespace pelorin::qt
