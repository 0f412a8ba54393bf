// The Help tab: the two wiring pictures, drawn by the shared drawing code,
// with the "4" / "15" toggles that choose one and a "Save..." for each.
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "ui/qt/properties_dialog.h"
#include "ui/qt/wiring_picture_writer.h"

namespace pelorin::qt {
namespace {

using H = HelpAboutControl;

// A picture that reports a press of the mouse on it.
class ClickablePicture final : public QLabel {
 public:
  ClickablePicture(const QImage& image, std::function<void()> clicked)
      : clicked_(std::move(clicked)) {
    setPixmap(QPixmap::fromImage(image));
    setFixedSize(image.size());
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    clicked_();
    QLabel::mousePressEvent(event);
  }

 private:
  std::function<void()> clicked_;
};

// Shows or hides a companion widget with the watched one: each picture
// page's "Save..." sits under the toggles and shows with its page. The
// presenter turns the pages without signals, so their own show and hide
// events are what moves the button.
class CompanionWatch final : public QObject {
 public:
  CompanionWatch(QObject* parent, QWidget* companion) : QObject(parent), companion_(companion) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShowToParent) companion_->setVisible(true);
    if (event->type() == QEvent::HideToParent) companion_->setVisible(false);
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* companion_;
};

// A picture in a scroll area that scrolls sideways only: the area is as
// tall as the picture with the scroll bar below it.
QScrollArea* PictureArea(QWidget* picture) {
  auto* area = new QScrollArea;
  area->setWidget(picture);
  area->setWidgetResizable(false);
  area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  const int frame = 2 * area->frameWidth();
  area->setFixedHeight(picture->height() + frame +
                       area->horizontalScrollBar()->sizeHint().height());
  return area;
}

}  // namespace

QWidget* PropertiesDialog::BuildHelpPage() {
  auto* page = new QWidget;
  auto* row = new QHBoxLayout(page);
  auto* toggles = new QVBoxLayout;
  row->addLayout(toggles);

  const H page_buttons[2] = {H::FourButtonsPageButton, H::FifteenButtonsPageButton};
  const H save_buttons[2] = {H::SaveFourButtonsButton, H::SaveFifteenButtonsButton};
  QPushButton* saves[2] = {};
  for (int k = 0; k < 2; ++k) {
    auto* toggle = new QPushButton;
    toggle->setCheckable(true);
    help_about_table_.Put(page_buttons[k], toggle);
    toggles->addWidget(toggle);
    saves[k] = new QPushButton;
    help_about_table_.Put(save_buttons[k], saves[k]);
  }
  toggles->addStretch(1);
  for (QPushButton* save : saves) toggles->addWidget(save);

  connect(static_cast<QPushButton*>(help_about_table_.Widget(H::FourButtonsPageButton)),
          &QPushButton::clicked, this, [this] {
            if (help_about_) help_about_->FourButtonsPageClicked();
          });
  connect(static_cast<QPushButton*>(help_about_table_.Widget(H::FifteenButtonsPageButton)),
          &QPushButton::clicked, this, [this] {
            if (help_about_) help_about_->FifteenButtonsPageClicked();
          });
  connect(saves[0], &QPushButton::clicked, this, [this] {
    if (help_about_) help_about_->SaveFourButtonsClicked();
  });
  connect(saves[1], &QPushButton::clicked, this, [this] {
    if (help_about_) help_about_->SaveFifteenButtonsClicked();
  });

  auto* pictures = new QStackedWidget;
  help_about_table_.Put(H::WiringPages, pictures);
  const WiringPicture drawn[2] = {WiringPicture::FourButtons, WiringPicture::FifteenButtons};
  for (int k = 0; k < 2; ++k) {
    auto* picture = new ClickablePicture(ImageOfRaster(WiringRaster(drawn[k])), [this] {
      if (help_about_) help_about_->WiringPictureClicked();
    });
    QScrollArea* area = PictureArea(picture);
    area->installEventFilter(new CompanionWatch(area, saves[k]));
    pictures->addWidget(area);
  }
  saves[1]->setVisible(false);
  row->addWidget(pictures, 1, Qt::AlignTop);
  return page;
}

}  // namespace pelorin::qt
