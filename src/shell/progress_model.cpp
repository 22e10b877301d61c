#include "shell/progress_model.h"

#include <algorithm>

namespace tarne {

ProgressHandle ProgressModel::Init(const std::string& caption) {
  const ProgressHandle handle = next_++;
  Window& window = windows_[handle];
  window.caption = caption;
  window.cancelled = cancelAll_;
  return handle;
}

bool ProgressModel::Set(ProgressHandle window, int percent, const std::string& text) {
  auto it = windows_.find(window);
  // A closed window has no bar to move; leaving the shared position alone
  // keeps the next window's first update honest.
  if (it == windows_.end()) return false;
  const int position = std::clamp(percent, 0, 100);
  bool sent = false;
  if (position != lastPosition_) {
    it->second.position = position;
    lastPosition_ = position;
    sent = true;
  }
  it->second.status = text;
  return sent;
}

void ProgressModel::Shutdown(ProgressHandle window) { windows_.erase(window); }

int ProgressModel::IsCancelled(ProgressHandle window) const {
  if (cancelAll_) return 1;
  auto it = windows_.find(window);
  if (it == windows_.end()) return 1;
  return it->second.cancelled ? 1 : 0;
}

void ProgressModel::Cancel(ProgressHandle window) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.cancelled = true;
}

const ProgressModel::Window* ProgressModel::Find(ProgressHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

}  // namespace tarne
