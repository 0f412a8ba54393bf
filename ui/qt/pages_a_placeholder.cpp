// Stand-in for the properties window's frame and its other pages until they
// land from their own branch: just enough to build and test the player and
// Help pages. Removed when the real frame arrives.
#include <QCloseEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/qt/properties_dialog.h"

namespace pelorin::qt {

PropertiesDialog::PropertiesDialog() : tabs_(new QTabWidget(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  frame_.Put(FrameControl::Window, this);
  frame_.Put(FrameControl::Tabs, tabs_);
  tabs_->addTab(BuildComPortsPage(), QString());
  tabs_->addTab(BuildPlayerPage(), QString());
  tabs_->addTab(BuildOptionsPage(), QString());
  tabs_->addTab(BuildHelpPage(), QString());
  tabs_->addTab(BuildAboutPage(), QString());
}

PropertiesDialog::~PropertiesDialog() = default;

void PropertiesDialog::Bind(PropertiesWindow& window, HelpAboutTab& help_about) {
  window_ = &window;
  help_about_ = &help_about;
}

std::optional<std::string> PropertiesDialog::Open(const FileDialogRequest&) {
  return std::nullopt;
}
std::optional<std::string> PropertiesDialog::Save(const FileDialogRequest&) {
  return std::nullopt;
}

void PropertiesDialog::closeEvent(QCloseEvent* event) {
  event->accept();
}
void PropertiesDialog::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
}
void PropertiesDialog::keyPressEvent(QKeyEvent* event) {
  QWidget::keyPressEvent(event);
}

QWidget* PropertiesDialog::BuildComPortsPage() {
  return new QWidget;
}
QWidget* PropertiesDialog::BuildOptionsPage() {
  return new QWidget;
}
QWidget* PropertiesDialog::BuildAboutPage() {
  return new QWidget;
}

}  // namespace pelorin::qt
