// The properties window's frame: the tab pages, OK, Cancel and Apply, the
// window's own events and keys, and the file dialogs over it.
#include "ui/qt/properties_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/qt/file_dialogs_qt.h"

namespace pelorin::qt {

PropertiesDialog::PropertiesDialog() {
  frame_.Put(FrameControl::Window, this);
  tabs_ = new QTabWidget(this);
  frame_.Put(FrameControl::Tabs, tabs_);
  // The tab texts come from the presenter; the pages keep this order.
  tabs_->addTab(BuildComPortsPage(), QString());
  tabs_->addTab(BuildPlayerPage(), QString());
  tabs_->addTab(BuildOptionsPage(), QString());
  tabs_->addTab(BuildHelpPage(), QString());
  tabs_->addTab(BuildAboutPage(), QString());
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (window_) window_->TabSelected(index);
  });

  auto* ok = new QPushButton(this);
  auto* cancel = new QPushButton(this);
  auto* apply = new QPushButton(this);
  // Drawn as the default; Enter reaches it through keyPressEvent, since only
  // dialogs give a default button its key.
  ok->setDefault(true);
  frame_.Put(FrameControl::OkButton, ok);
  frame_.Put(FrameControl::CancelButton, cancel);
  frame_.Put(FrameControl::ApplyButton, apply);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (window_) window_->OkClicked();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    if (window_) window_->CancelClicked();
  });
  connect(apply, &QPushButton::clicked, this, [this] {
    if (window_) window_->ApplyClicked();
  });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(apply);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_, 1);
  layout->addLayout(buttons);
}

PropertiesDialog::~PropertiesDialog() {
  // The presenters may be gone already: the widgets' last signals while they
  // are destroyed must not reach them.
  window_ = nullptr;
  help_about_ = nullptr;
  // The controls go while this object is still whole: a control being
  // destroyed under the mouse still gets events, whose handlers read this
  // object, and the toolkit's own clean-up would run them only after it.
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void PropertiesDialog::Bind(PropertiesWindow& window, HelpAboutTab& help_about) {
  window_ = &window;
  help_about_ = &help_about;
}

std::optional<std::string> PropertiesDialog::Open(const FileDialogRequest& request) {
  return ShowFileDialog(this, request, FileDialogKind::Open);
}

std::optional<std::string> PropertiesDialog::Save(const FileDialogRequest& request) {
  return ShowFileDialog(this, request, FileDialogKind::Save);
}

void PropertiesDialog::closeEvent(QCloseEvent* event) {
  // While a remap dialog is up the window's controls are disabled and the
  // window takes no input, its close box included, as a disabled window on
  // Windows: the dialog is answered first.
  if (tabs_ && !tabs_->isEnabled() && event->spontaneous()) {
    event->ignore();
    return;
  }
  // The owner decides: a visible window refuses and cancels its edits
  // instead. Without an owner, the presenter answers for itself.
  bool may_close = true;
  if (close_request_) {
    may_close = close_request_();
  } else if (window_) {
    may_close = window_->OnCloseRequest(isVisible());
  }
  if (may_close) {
    event->accept();
  } else {
    event->ignore();
  }
}

void PropertiesDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A window the window manager shows again (restored from an icon) was
  // never hidden for the program: only the program's own showing counts.
  if (event->spontaneous()) return;
  // The owner's handler is the program's, which reads the settings into the
  // window (PropertiesWindow::OnShown) with the rest of its own work; calling
  // both would read the file twice.
  if (shown_) {
    shown_();
  } else if (window_) {
    window_->OnShown();
  }
  // Sized for what the lists now hold (a device's long name widens the
  // window rather than being cut), and centred the first time. The layouts
  // learn of the new entries only when asked (or at the next event).
  QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (!placed_) {
    placed_ = true;
    adjustSize();
    if (const QScreen* shown_on = screen()) {
      move(shown_on->availableGeometry().center() - rect().center());
    }
  } else if (const QSize wanted = sizeHint().expandedTo(size()); wanted != size()) {
    resize(wanted);
  }
}

void PropertiesDialog::keyPressEvent(QKeyEvent* event) {
  // Keys reach the window only when the control with the focus left them.
  const int key = event->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (!window_ || (key != Qt::Key_Escape && !enter) || event->modifiers() & ~Qt::KeypadModifier ||
      KeyFieldFocused()) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (key == Qt::Key_Escape) {
    window_->CancelClicked();
  } else if (auto* button = qobject_cast<QPushButton*>(focusWidget());
             button && button->isEnabled()) {
    // As in any dialog, Enter presses the push button that has the focus.
    button->click();
  } else {
    window_->OkClicked();
  }
  event->accept();
}

void PropertiesDialog::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (window_) window_->OnPaint();
}

bool PropertiesDialog::KeyFieldFocused() const {
  if (!window_) return false;
  for (PortRole port : kPortRoles) {
    if (window_->Editor().KeyFieldFocused(port)) return true;
  }
  return false;
}

}  // namespace pelorin::qt
