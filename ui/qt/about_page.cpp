// The "About" tab: the program's picture, title and version, the link lines
// and the disclaimer.
#include <functional>

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/qt/properties_dialog.h"

namespace pelorin::qt {
namespace {

using H = HelpAboutControl;

// The page itself reports the mouse over its background (and over its plain
// texts, which pass mouse moves on to it).
class AboutPage final : public QWidget {
 public:
  explicit AboutPage(std::function<void()> mouse_over_background)
      : mouse_over_background_(std::move(mouse_over_background)) {
    setMouseTracking(true);
  }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override {
    mouse_over_background_();
    QWidget::mouseMoveEvent(event);
  }

 private:
  std::function<void()> mouse_over_background_;
};

// A word that acts as a link: blue, a pointing hand, underlined by the
// presenter while the mouse is on it; a click with the left button opens it.
// It keeps its mouse moves, which would otherwise reach the page and take
// the underline off again.
class LinkLabel final : public QLabel {
 public:
  LinkLabel(QWidget* parent, std::function<void()> entered, std::function<void()> clicked)
      : QLabel(parent), entered_(std::move(entered)), clicked_(std::move(clicked)) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 224));
    setPalette(blue);
  }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override {
    entered_();
    event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
      clicked_();
    }
    QLabel::mouseReleaseEvent(event);
  }

 private:
  std::function<void()> entered_;
  std::function<void()> clicked_;
};

// The program's icon in a sunken frame, as the window's icon is when shown
// (the program gives it after this page is built).
class IconFrame final : public QFrame {
 public:
  explicit IconFrame(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    const int side = fontMetrics().height() * 6;
    setFixedSize(side, side);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    const int side = width() * 2 / 3;
    QPainter painter(this);
    window()->windowIcon().paint(&painter, (width() - side) / 2, (height() - side) / 2, side, side);
  }
};

struct LinkLine {
  H link;
  const char* before;
  const char* after;
  void (HelpAboutTab::*clicked)();
};

constexpr LinkLine kLinkLines[] = {
    {H::NullsoftLink, "Winamp is a product of ", ".", &HelpAboutTab::NullsoftLinkClicked},
    {H::UpxLink, "The program file is packed with ", ".", &HelpAboutTab::UpxLinkClicked},
    {H::SiteLink, "Updates and news: click ", ".", &HelpAboutTab::SiteLinkClicked},
    {H::MailLink, "Mail: ", "", &HelpAboutTab::MailLinkClicked},
};

}  // namespace

QWidget* PropertiesDialog::BuildAboutPage() {
  auto* page = new AboutPage([this] {
    if (help_about_) help_about_->MouseOverBackground();
  });
  auto* title = new QLabel(page);
  auto* version = new QLabel(page);
  help_about_table_.Put(H::TitleLabel, title);
  help_about_table_.Put(H::VersionLabel, version);
  auto* heading = new QVBoxLayout;
  heading->addStretch(1);
  heading->addWidget(title);
  heading->addWidget(version);
  heading->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addWidget(new IconFrame(page));
  top->addSpacing(fontMetrics().averageCharWidth() * 2);
  top->addLayout(heading, 1);

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top);
  layout->addSpacing(fontMetrics().height());
  for (const LinkLine& line : kLinkLines) {
    auto* row = new QWidget(page);
    auto* words = new QHBoxLayout(row);
    words->setContentsMargins(0, 0, 0, 0);
    words->setSpacing(0);
    words->addWidget(new QLabel(QString::fromUtf8(line.before), row));
    auto* link = new LinkLabel(
        row,
        [this, control = line.link] {
          if (help_about_) help_about_->MouseOverLink(control);
        },
        [this, clicked = line.clicked] {
          if (help_about_) (help_about_->*clicked)();
        });
    help_about_table_.Put(line.link, link);
    words->addWidget(link);
    words->addWidget(new QLabel(QString::fromUtf8(line.after), row));
    words->addStretch(1);
    layout->addWidget(row);
    // This edition talks to any player rather than Winamp, and its program
    // file is not packed with UPX: those two lines would not be true here.
    // Their links keep their widgets, hidden, so that the presenter's
    // requests still land.
    if (line.link == H::NullsoftLink || line.link == H::UpxLink) row->hide();
  }
  layout->addSpacing(fontMetrics().height());
  auto* disclaimer = new QLabel(page);
  disclaimer->setWordWrap(true);
  QPalette red = disclaimer->palette();
  red.setColor(QPalette::WindowText, QColor(192, 0, 0));
  disclaimer->setPalette(red);
  help_about_table_.Put(H::DisclaimerLabel, disclaimer);
  layout->addWidget(disclaimer);
  layout->addStretch(1);
  return page;
}

}  // namespace pelorin::qt
