#include "ui/win32/pending_requests.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace pelorin::win32 {

void PendingRequests::Keep(const void* table, int control, ControlRequest request,
                           const HWND* target, std::function<void()> apply) {
  Kept& kept = kept_[Key{table, control, request}];
  kept.order = next_order_++;
  kept.target = target;
  kept.apply = std::move(apply);
}

void PendingRequests::DoForBuiltControls() {
  std::vector<Kept> ready;
  for (auto it = kept_.begin(); it != kept_.end();) {
    if (*it->second.target != nullptr) {
      ready.push_back(std::move(it->second));
      it = kept_.erase(it);
    } else {
      ++it;
    }
  }
  std::sort(ready.begin(), ready.end(),
            [](const Kept& a, const Kept& b) { return a.order < b.order; });
  // Taken out before any is done: a request done now reaches a control that
  // exists, so it is never kept again.
  for (Kept& kept : ready) kept.apply();
}

}  // namespace pelorin::win32
