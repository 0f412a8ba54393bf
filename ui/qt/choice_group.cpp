#include "ui/qt/choice_group.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pelorin::qt {

ChoiceGroup::ChoiceGroup(QWidget* parent)
    : QGroupBox(parent), layout_(new QVBoxLayout(this)), buttons_(new QButtonGroup(this)) {
  connect(buttons_, &QButtonGroup::idClicked, this, [this](int index) {
    if (chosen_) chosen_(index);
  });
}

void ChoiceGroup::SetItems(const std::vector<std::string>& items) {
  for (QAbstractButton* button : buttons_->buttons()) {
    buttons_->removeButton(button);
    delete button;
  }
  int index = 0;
  for (const std::string& item : items) {
    auto* button = new QRadioButton(QString::fromStdString(item), this);
    buttons_->addButton(button, index++);
    layout_->addWidget(button);
  }
}

void ChoiceGroup::SetSelection(int index) {
  // Exclusive groups keep a checked button; to show none, lift it first.
  buttons_->setExclusive(false);
  for (QAbstractButton* button : buttons_->buttons()) {
    button->setChecked(buttons_->id(button) == index);
  }
  buttons_->setExclusive(true);
}

int ChoiceGroup::Selection() const {
  return buttons_->checkedId();
}

}  // namespace pelorin::qt
