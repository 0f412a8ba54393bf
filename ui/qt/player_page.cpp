// The player tab: the mapping editor's two port groups, laid out as on
// Windows (the button list on top, the three rows of commands on the right,
// the click mode and the inactive policy on the left, the key or file
// settings under the rows), and every user event passed to the editor.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/qt/key_field.h"
#include "ui/qt/properties_dialog.h"

namespace pelorin::qt {
namespace {

using W = WinampControl;

constexpr W kRowLabels[3] = {W::PrimaryRow1Label, W::PrimaryRow2Label, W::PrimaryRow3Label};
constexpr W kRowLists[3] = {W::PrimaryRow1List, W::PrimaryRow2List, W::PrimaryRow3List};
constexpr W kModifierChecks[3] = {W::PrimaryShiftCheck, W::PrimaryCtrlCheck, W::PrimaryAltCheck};
constexpr KeyModifier kModifiers[3] = {KeyModifier::Shift, KeyModifier::Ctrl, KeyModifier::Alt};

// Calls `entered` whenever the watched widget gets the focus, except when a
// list's own drop-down gives it back: the Windows list keeps its focus while
// it drops down, so that is no new entry.
class FocusWatch final : public QObject {
 public:
  FocusWatch(QObject* parent, std::function<void()> entered)
      : QObject(parent), entered_(std::move(entered)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
      entered_();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> entered_;
};

// A list as wide as `characters` characters whatever its entries: the
// command names are long, and the drop-down shows them whole.
// Width in characters, then the drop-down's length in entries.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
QComboBox* NarrowList(QWidget* parent, int characters, int visible_items) {
  auto* list = new QComboBox(parent);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(characters);
  list->setMaxVisibleItems(visible_items);
  return list;
}

// Rows hidden for a click mode keep their place, as on Windows, so the
// group's layout does not jump when the mode changes.
void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

}  // namespace

QWidget* PropertiesDialog::BuildPlayerPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(BuildPlayerGroup(PortRole::Primary));
  layout->addWidget(BuildPlayerGroup(PortRole::Secondary));
  layout->addStretch(1);
  return page;
}

QWidget* PropertiesDialog::BuildPlayerGroup(PortRole port) {
  auto id = [port](W primary) { return WinampControlOf(port, primary); };
  auto* group = new QGroupBox;
  player_.Put(id(W::PrimaryGroup), group);
  auto* grid = new QGridLayout(group);
  grid->setColumnStretch(2, 1);

  auto* button_label = new QLabel(group);
  QComboBox* buttons = NarrowList(group, 24, 15);
  player_.Put(id(W::PrimaryButtonLabel), button_label);
  player_.Put(id(W::PrimaryButtonList), buttons);
  button_label->setBuddy(buttons);
  grid->addWidget(button_label, 0, 0);
  grid->addWidget(buttons, 0, 1, 1, 2);
  connect(buttons, &QComboBox::activated, this, [this, port](int index) {
    if (window_) window_->Editor().ButtonSelected(port, index);
  });

  grid->addLayout(BuildButtonArrows(port), 1, 0);

  auto* mode_label = new QLabel(group);
  QComboBox* modes = NarrowList(group, 8, 5);
  player_.Put(id(W::PrimaryClickModeLabel), mode_label);
  player_.Put(id(W::PrimaryClickModeList), modes);
  grid->addWidget(mode_label, 2, 0);
  grid->addWidget(modes, 3, 0);
  connect(modes, &QComboBox::activated, this, [this, port](int index) {
    if (window_) window_->Editor().ClickModeSelected(port, index);
  });

  for (int row = 1; row <= 3; ++row) AddCommandRow(grid, port, row);

  auto* inactive_label = new QLabel(group);
  QComboBox* inactive = NarrowList(group, 16, 6);
  player_.Put(id(W::PrimaryInactiveLabel), inactive_label);
  player_.Put(id(W::PrimaryInactiveList), inactive);
  grid->addWidget(inactive_label, 4, 0, 1, 2);
  grid->addWidget(inactive, 5, 0, 1, 2);
  connect(inactive, &QComboBox::activated, this, [this, port](int index) {
    if (window_) window_->Editor().InactiveSelected(port, index);
  });

  grid->addWidget(BuildExtraPages(port), 5, 2);
  return group;
}

QLayout* PropertiesDialog::BuildButtonArrows(PortRole port) {
  auto* arrows = new QHBoxLayout;
  for (const bool next : {false, true}) {
    // The toolkit's style draws the triangles: no symbol font is needed.
    auto* arrow = new QToolButton;
    arrow->setArrowType(next ? Qt::DownArrow : Qt::UpArrow);
    arrow->setFocusPolicy(Qt::StrongFocus);
    player_.Put(WinampControlOf(port, next ? W::PrimaryNextButton : W::PrimaryPreviousButton),
                arrow);
    arrows->addWidget(arrow);
    // The step happens on the press, and again on each press of a double click.
    connect(arrow, &QToolButton::pressed, this, [this, port, next] {
      if (!window_) return;
      if (next) {
        window_->Editor().NextButtonPressed(port);
      } else {
        window_->Editor().PreviousButtonPressed(port);
      }
    });
  }
  arrows->addStretch(1);
  return arrows;
}

void PropertiesDialog::AddCommandRow(QGridLayout* grid, PortRole port, int row) {
  const auto k = static_cast<std::size_t>(row - 1);
  auto* label = new QLabel;
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QComboBox* list = NarrowList(nullptr, 18, 20);
  label->setBuddy(list);
  KeepPlaceWhenHidden(label);
  KeepPlaceWhenHidden(list);
  player_.Put(WinampControlOf(port, kRowLabels[k]), label);
  player_.Put(WinampControlOf(port, kRowLists[k]), list);
  grid->addWidget(label, row, 1);
  grid->addWidget(list, row, 2);
  connect(list, &QComboBox::activated, this, [this, port, row](int index) {
    if (window_) window_->Editor().RowSelected(port, row, index);
  });
  list->installEventFilter(new FocusWatch(list, [this, port, row] {
    if (window_) window_->Editor().RowEntered(port, row);
  }));
}

QWidget* PropertiesDialog::BuildExtraPages(PortRole port) {
  auto id = [port](W primary) { return WinampControlOf(port, primary); };
  auto* pages = new QStackedWidget;
  player_.Put(id(W::PrimaryExtraPages), pages);
  pages->addWidget(new QWidget);  // "No": nothing more to set

  auto* key_page = new QWidget;
  auto* key_row = new QHBoxLayout(key_page);
  key_row->setContentsMargins(0, 0, 0, 0);
  auto* key = new KeyField(key_page);
  player_.Put(id(W::PrimaryKeyField), key);
  key_row->addWidget(key, 1);
  key->OnKeyDown([this, port](int virtual_key) {
    return window_ != nullptr && window_->Editor().KeyDown(port, virtual_key);
  });
  for (std::size_t k = 0; k < 3; ++k) {
    auto* check = new QCheckBox(key_page);
    player_.Put(id(kModifierChecks[k]), check);
    key_row->addWidget(check);
    connect(check, &QCheckBox::clicked, this, [this, port, k](bool ticked) {
      if (window_) window_->Editor().ModifierClicked(port, kModifiers[k], ticked);
    });
  }
  pages->addWidget(key_page);

  auto* file_page = new QWidget;
  auto* file_row = new QHBoxLayout(file_page);
  file_row->setContentsMargins(0, 0, 0, 0);
  auto* file = new QLineEdit(file_page);
  auto* browse = new QToolButton(file_page);
  player_.Put(id(W::PrimaryFileField), file);
  player_.Put(id(W::PrimaryBrowseFileButton), browse);
  file_row->addWidget(file, 1);
  file_row->addWidget(browse);
  // Edits only: a text the editor shows is no change of the user's.
  connect(file, &QLineEdit::textEdited, this, [this, port](const QString& text) {
    if (window_) window_->Editor().FileTextChanged(port, text.toStdString());
  });
  connect(browse, &QToolButton::clicked, this, [this, port] {
    if (window_) window_->Editor().BrowseFileClicked(port);
  });
  pages->addWidget(file_page);
  return pages;
}

}  // namespace pelorin::qt
