#include "ui/qt/widget_table.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>

#include "ui/edition_texts.h"
#include "ui/qt/choice_group.h"

namespace pelorin::qt {
namespace {

QString Shown(const std::string& text) {
  return QString::fromStdString(EditionText(text));
}

}  // namespace

void SetWidgetText(QWidget* widget, const std::string& text) {
  if (!widget) return;
  const QSignalBlocker quiet(widget);
  const QString shown = Shown(text);
  if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(shown);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(shown);
  } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
    // A field shows the stored text as it is: a path or a key's name is no
    // text of the program's.
    const QString raw = QString::fromStdString(text);
    if (field->text() != raw) field->setText(raw);
  } else if (widget->isWindow()) {
    widget->setWindowTitle(shown);
  }
}

void SetWidgetHint(QWidget* widget, const std::string& hint) {
  if (widget) widget->setToolTip(Shown(hint));
}

void SetWidgetItems(QWidget* widget, const std::vector<std::string>& items) {
  if (!widget) return;
  const QSignalBlocker quiet(widget);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->clear();
    for (const std::string& item : items) combo->addItem(Shown(item));
    combo->setCurrentIndex(-1);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    const int count = std::min(tabs->count(), static_cast<int>(items.size()));
    for (int i = 0; i < count; ++i) tabs->setTabText(i, Shown(items[static_cast<std::size_t>(i)]));
  } else if (auto* choices = dynamic_cast<ChoiceGroup*>(widget)) {
    std::vector<std::string> shown;
    shown.reserve(items.size());
    for (const std::string& item : items) shown.push_back(EditionText(item));
    choices->SetItems(shown);
  }
}

void SetWidgetSelection(QWidget* widget, int index) {
  if (!widget) return;
  const QSignalBlocker quiet(widget);
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setCurrentIndex(index < combo->count() ? index : -1);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    if (index >= 0 && index < tabs->count()) tabs->setCurrentIndex(index);
  } else if (auto* pages = qobject_cast<QStackedWidget*>(widget)) {
    if (index >= 0 && index < pages->count()) pages->setCurrentIndex(index);
  } else if (auto* choices = dynamic_cast<ChoiceGroup*>(widget)) {
    choices->SetSelection(index);
  }
}

void SetWidgetChecked(QWidget* widget, bool checked) {
  auto* button = qobject_cast<QAbstractButton*>(widget);
  if (!button) return;
  const QSignalBlocker quiet(button);
  button->setCheckable(true);
  button->setChecked(checked);
}

void SetWidgetEnabled(QWidget* widget, bool enabled) {
  if (!widget) return;
  if (!widget->isWindow()) {
    widget->setEnabled(enabled);
    return;
  }
  // A disabled window takes its own controls with it, but not the dialogs
  // it owns: Qt would disable those too, and a remap dialog disables the
  // properties window while it is up.
  for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isWindow()) child->setEnabled(enabled);
  }
}

void SetWidgetVisible(QWidget* widget, bool visible) {
  if (!widget) return;
  // A window is shown by its own view (place, focus, the show handler);
  // the controls inside one only change their flag.
  widget->setVisible(visible);
}

void SetWidgetColour(QWidget* widget, Colour colour) {
  if (!widget) return;
  // A list's field takes the colour: the window's for a usable list, the
  // buttons' face for one whose port is not in use.
  QPalette palette = widget->palette();
  const QPalette standard = widget->style() ? widget->style()->standardPalette() : palette;
  palette.setColor(QPalette::Base, colour == Colour::ButtonFace ? standard.color(QPalette::Button)
                                                                : standard.color(QPalette::Base));
  widget->setPalette(palette);
}

void SetWidgetBold(QWidget* widget, bool bold) {
  if (!widget) return;
  QFont font = widget->font();
  font.setBold(bold);
  widget->setFont(font);
}

void SetWidgetUnderlined(QWidget* widget, bool underlined) {
  if (!widget) return;
  QFont font = widget->font();
  font.setUnderline(underlined);
  widget->setFont(font);
}

// The order of the presenters' request (ControlsView::SetRange).
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void SetWidgetRange(QWidget* widget, int min, int max, int page_step) {
  auto* slider = qobject_cast<QSlider*>(widget);
  if (!slider) return;
  const QSignalBlocker quiet(slider);
  slider->setRange(min, max);
  slider->setPageStep(page_step);
}

void SetWidgetPosition(QWidget* widget, int position) {
  auto* slider = qobject_cast<QSlider*>(widget);
  if (!slider) return;
  const QSignalBlocker quiet(slider);
  slider->setValue(position);
}

void SetWidgetTicks(QWidget* widget, const std::vector<int>& positions) {
  auto* slider = qobject_cast<QSlider*>(widget);
  if (!slider) return;
  // The toolkit draws evenly spaced ticks only: the spacing of the first
  // two (the track bars' ticks are even), or one tick per step.
  const int interval = positions.size() >= 2 ? positions[1] - positions[0] : 1;
  slider->setTickInterval(interval > 0 ? interval : 1);
  slider->setTickPosition(positions.empty() ? QSlider::NoTicks : QSlider::TicksBelow);
}

void SetWidgetFocus(QWidget* widget) {
  if (!widget) return;
  if (widget->isWindow()) {
    widget->raise();
    widget->activateWindow();
  }
  widget->setFocus(Qt::OtherFocusReason);
}

bool WidgetHasFocus(const QWidget* widget) {
  return widget && widget->hasFocus();
}

}  // namespace pelorin::qt
