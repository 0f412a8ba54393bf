// The "COM ports" tab: each port's group (port, wiring mode, "Remap",
// the line and button indicators) and the "Use secondary COM-port" box
// between the two groups.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/properties_dialog.h"

namespace pelorin::qt {
namespace {

using C = ComPortsControl;

// An indicator: a button drawn pressed while its line or button is active.
// It takes no focus and lets clicks through, so the user cannot change it.
QPushButton* NewIndicator(QWidget* parent, const QString& widest_text) {
  auto* indicator = new QPushButton(parent);
  indicator->setCheckable(true);
  indicator->setFocusPolicy(Qt::NoFocus);
  indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
  const int margin = indicator->fontMetrics().height();
  indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(widest_text) + margin);
  return indicator;
}

}  // namespace

QWidget* PropertiesDialog::BuildComPortsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(BuildComPortsGroup(PortRole::Primary));
  auto* use_secondary = new QCheckBox(page);
  com_ports_.Put(C::UseSecondaryCheck, use_secondary);
  connect(use_secondary, &QCheckBox::clicked, this, [this](bool ticked) {
    if (window_) window_->UseSecondaryClicked(ticked);
  });
  layout->addWidget(use_secondary);
  layout->addWidget(BuildComPortsGroup(PortRole::Secondary));
  layout->addStretch(1);
  return page;
}

QWidget* PropertiesDialog::BuildComPortsGroup(PortRole port) {
  auto id = [port](C primary) { return ComPortsControlOf(port, primary); };
  auto* group = new QGroupBox;
  com_ports_.Put(id(C::PrimaryGroup), group);
  auto label = [&](C control, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* text = new QLabel(group);
    text->setAlignment(align);
    com_ports_.Put(id(control), text);
    return text;
  };
  auto indicator = [&](C control, const QString& widest_text) {
    QPushButton* button = NewIndicator(group, widest_text);
    com_ports_.Put(id(control), button);
    return button;
  };

  auto* port_list = new QComboBox(group);
  auto* mode_list = new QComboBox(group);
  auto* remap = new QPushButton(group);
  com_ports_.Put(id(C::PrimaryPortList), port_list);
  com_ports_.Put(id(C::PrimaryModeList), mode_list);
  com_ports_.Put(id(C::PrimaryRemapButton), remap);
  connect(port_list, &QComboBox::currentIndexChanged, this, [this, port](int index) {
    if (window_) window_->ComPorts().PortSelected(port, index);
  });
  connect(mode_list, &QComboBox::currentIndexChanged, this, [this, port](int index) {
    if (window_) window_->ComPorts().PortModeSelected(port, index);
  });
  connect(remap, &QPushButton::clicked, this, [this, port] {
    if (!window_) return;
    if (port == PortRole::Primary) {
      window_->PrimaryRemapClicked();
    } else {
      window_->SecondaryRemapClicked();
    }
  });

  auto* grid = new QGridLayout(group);
  grid->addWidget(label(C::PrimaryPortLabel), 0, 0);
  // A device's stable name is long: the list takes the row's room and
  // widens the window rather than cut the name.
  port_list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* port_row = new QHBoxLayout;
  port_row->addWidget(port_list, 1);
  port_row->addWidget(remap);
  grid->addLayout(port_row, 0, 1);
  grid->addWidget(label(C::PrimaryModeLabel), 1, 0);
  grid->addWidget(mode_list, 1, 1);
  QLabel* heading = label(C::PrimaryIndicatorsLabel, Qt::AlignCenter);
  QFont underlined = heading->font();
  underlined.setUnderline(true);
  heading->setFont(underlined);
  grid->addWidget(heading, 2, 0, 1, 2);

  grid->addWidget(label(C::PrimaryLinesLabel), 3, 0);
  auto* lines = new QHBoxLayout;
  for (C line : {C::PrimaryDcdIndicator, C::PrimaryDsrIndicator, C::PrimaryCtsIndicator,
                 C::PrimaryRiIndicator}) {
    lines->addWidget(indicator(line, "DSR"));
  }
  lines->addStretch(1);
  grid->addLayout(lines, 3, 1);

  grid->addWidget(label(C::PrimaryButtonsLabel), 4, 0);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(label(C::PrimaryFourButtonsLabel));
  for (C button : {C::PrimaryButton1Indicator, C::PrimaryButton2Indicator,
                   C::PrimaryButton3Indicator, C::PrimaryButton4Indicator}) {
    buttons->addWidget(indicator(button, "8"));
  }
  buttons->addSpacing(buttons->spacing() * 2);
  buttons->addWidget(label(C::PrimaryCombinationLabel));
  buttons->addWidget(indicator(C::PrimaryCombinationIndicator, "15"));
  buttons->addStretch(1);
  grid->addLayout(buttons, 4, 1);
  grid->setColumnStretch(1, 1);
  return group;
}

}  // namespace pelorin::qt
