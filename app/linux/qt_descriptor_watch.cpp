#include "app/linux/qt_descriptor_watch.h"

#include <QSocketNotifier>
#include <utility>

namespace pelorin::linux_os {

QtDescriptorWatch::QtDescriptorWatch() = default;

QtDescriptorWatch::~QtDescriptorWatch() = default;

void QtDescriptorWatch::Watch(int fd, Handler on_readable) {
  Unwatch(fd);
  auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, fd] { Dispatch(fd); });
  watched_.emplace(fd, Watched{std::move(notifier), std::move(on_readable)});
}

void QtDescriptorWatch::Unwatch(int fd) {
  auto node = watched_.extract(fd);
  if (node.empty()) return;
  node.mapped().notifier->setEnabled(false);
  if (dispatching_depth_ > 0) {
    retired_.push_back(std::move(node.mapped().notifier));
  }
}

void QtDescriptorWatch::Dispatch(int fd) {
  const auto found = watched_.find(fd);
  if (found == watched_.end()) return;
  // A copy: the handler may replace or remove its own entry.
  const Handler handler = found->second.handler;
  ++dispatching_depth_;
  handler();
  --dispatching_depth_;
  // A handler may run a nested loop (a message box) in which other
  // handlers run; the retired notifiers go when the outermost one returns.
  if (dispatching_depth_ == 0) retired_.clear();
}

}  // namespace pelorin::linux_os
