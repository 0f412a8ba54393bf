// The "Options" tab: what to do without a player and on a tray click, the
// start-up boxes, both speed sliders with the double-click test lamp, the
// LED choices of both ports and the configuration file.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/qt/properties_dialog.h"

namespace pelorin::qt {
namespace {

using O = OptionsControl;

// The double-click test's lamp, dark or lit: the same picture as on Windows,
// a disc with a ring, drawn at the size the widget is given.
class TestLamp final : public QWidget {
 public:
  TestLamp(bool lit, QWidget* parent) : QWidget(parent), lit_(lit) {
    const int side = fontMetrics().height() * 2;
    setFixedSize(side, side);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal inset = area.width() / 8;
    if (lit_) {
      Disc(painter, area, QColor(255, 236, 120), QColor(255, 170, 0));
      Disc(painter, area.adjusted(inset, inset, -inset, -inset), QColor(255, 210, 0),
           QColor(230, 140, 0));
    } else {
      Disc(painter, area.adjusted(inset, inset, -inset, -inset), QColor(96, 96, 104),
           QColor(40, 40, 48));
      const qreal centre = area.width() * 3 / 8;
      Disc(painter, area.adjusted(centre, centre, -centre, -centre), QColor(64, 64, 72),
           QColor(64, 64, 72));
    }
  }

 private:
  static void Disc(QPainter& painter, const QRectF& box, const QColor& fill, const QColor& ring) {
    painter.setPen(ring);
    painter.setBrush(fill);
    painter.drawEllipse(box);
  }

  bool lit_;
};

// A slider's labels under it: the lowest value, the read-out, the highest.
QHBoxLayout* EndsAndReadout(QLabel* min, QLabel* readout, QLabel* max) {
  readout->setAlignment(Qt::AlignCenter);
  max->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* row = new QHBoxLayout;
  row->addWidget(min);
  row->addWidget(readout, 1);
  row->addWidget(max);
  return row;
}

}  // namespace

QWidget* PropertiesDialog::BuildOptionsPage() {
  auto* page = new QWidget;
  auto label = [&](O control) {
    auto* text = new QLabel(page);
    options_.Put(control, text);
    return text;
  };
  auto list = [&](O control) {
    auto* combo = new QComboBox(page);
    options_.Put(control, combo);
    connect(combo, &QComboBox::currentIndexChanged, this, [this, control](int index) {
      if (window_) window_->Options().ListSelected(control, index);
    });
    return combo;
  };
  auto check = [&](O control) {
    auto* box = new QCheckBox(page);
    options_.Put(control, box);
    connect(box, &QCheckBox::clicked, this, [this, control](bool ticked) {
      if (window_) window_->Options().CheckBoxClicked(control, ticked);
    });
    return box;
  };
  auto slider = [&](O control, void (OptionsTab::*moved)(int)) {
    auto* bar = new QSlider(Qt::Horizontal, page);
    options_.Put(control, bar);
    connect(bar, &QSlider::valueChanged, this, [this, moved](int position) {
      if (window_) (window_->Options().*moved)(position);
    });
    return bar;
  };

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(label(O::InactiveLabel));
  auto* lists = new QGridLayout;
  lists->addWidget(list(O::InactiveList), 0, 0);
  lists->addWidget(label(O::TrayClickLabel), 1, 0);
  lists->addWidget(list(O::TrayClickList), 2, 0);
  lists->setColumnStretch(1, 1);
  layout->addLayout(lists);

  // The start-up boxes on the left, the test lamp with its caption beside them.
  auto* boxes = new QVBoxLayout;
  boxes->addWidget(check(O::StartWithWindowsCheck));
  boxes->addWidget(check(O::StartPlayerCheck));
  boxes->addWidget(check(O::WarnPlayerMissingCheck));
  auto* test = new QVBoxLayout;
  QLabel* test_caption = label(O::DoubleClickTestLabel);
  test_caption->setAlignment(Qt::AlignCenter);
  test_caption->setWordWrap(true);
  auto* lamps = new QStackedWidget(page);
  lamps->addWidget(new TestLamp(false, lamps));
  lamps->addWidget(new TestLamp(true, lamps));
  lamps->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  options_.Put(O::DoubleClickTestPicture, lamps);
  test->addWidget(test_caption);
  test->addWidget(lamps, 0, Qt::AlignHCenter);
  auto* middle = new QHBoxLayout;
  middle->addLayout(boxes, 3);
  middle->addLayout(test, 2);
  layout->addLayout(middle);

  auto* speeds = new QGridLayout;
  speeds->addWidget(label(O::DoubleClickSpeedLabel), 0, 0);
  speeds->addWidget(slider(O::DoubleClickSpeedBar, &OptionsTab::DoubleClickSpeedMoved), 1, 0);
  speeds->addLayout(
      EndsAndReadout(label(O::DoubleClickSpeedMinLabel), label(O::DoubleClickSpeedReadout),
                     label(O::DoubleClickSpeedMaxLabel)),
      2, 0);
  speeds->addWidget(label(O::TurboSpeedLabel), 0, 1);
  speeds->addWidget(slider(O::TurboSpeedBar, &OptionsTab::TurboSpeedMoved), 1, 1);
  speeds->addLayout(EndsAndReadout(label(O::TurboSpeedMinLabel), label(O::TurboSpeedReadout),
                                   label(O::TurboSpeedMaxLabel)),
                    2, 1);
  speeds->setColumnStretch(0, 1);
  speeds->setColumnStretch(1, 1);
  layout->addLayout(speeds);
  layout->addWidget(BuildLedGroup());

  auto* config = new QHBoxLayout;
  config->addWidget(label(O::ConfigFileLabel));
  auto* field = new QLineEdit(page);
  field->setReadOnly(true);
  options_.Put(O::ConfigFileField, field);
  config->addWidget(field, 1);
  auto* browse = new QPushButton(page);
  options_.Put(O::BrowseConfigButton, browse);
  connect(browse, &QPushButton::clicked, this, [this] {
    if (window_) window_->BrowseConfigClicked();
  });
  config->addWidget(browse);
  layout->addLayout(config);

  // Never shown; it exists so that the stored connection type round-trips.
  auto* internet = new QHBoxLayout;
  internet->addWidget(label(O::InternetLabel));
  internet->addWidget(list(O::InternetList));
  layout->addLayout(internet);
  layout->addStretch(1);
  return page;
}

QWidget* PropertiesDialog::BuildLedGroup() {
  auto* group = new QGroupBox;
  options_.Put(O::LedGroup, group);
  auto* grid = new QGridLayout(group);
  const O rows[2][4] = {
      {O::PrimaryLedLabel, O::PrimaryLedModeList, O::PrimaryLedWhenLabel,
       O::PrimaryLedConditionList},
      {O::SecondaryLedLabel, O::SecondaryLedModeList, O::SecondaryLedWhenLabel,
       O::SecondaryLedConditionList},
  };
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 4; ++column) {
      const O control = rows[row][column];
      QWidget* widget = nullptr;
      if (column % 2 == 0) {
        widget = new QLabel(group);
      } else {
        auto* combo = new QComboBox(group);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, control](int index) {
          if (window_) window_->Options().ListSelected(control, index);
        });
        widget = combo;
      }
      options_.Put(control, widget);
      grid->addWidget(widget, row, column);
    }
  }
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(3, 3);
  return group;
}

}  // namespace pelorin::qt
