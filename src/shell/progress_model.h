// State of progress windows, shared by every front end: the clamped bar
// position, the last position sent (one value for all windows), the status
// text and the cancel flag.
#pragma once

#include <map>
#include <string>

#include "shell/port.h"

namespace tarne {

class ProgressModel {
 public:
  struct Window {
    std::string caption;
    std::string status;
    int position = 0;   // what the bar shows
    bool cancelled = false;
  };

  ProgressHandle Init(const std::string& caption);
  // Answers true when the bar position was sent (it differs from the last one).
  bool Set(ProgressHandle window, int percent, const std::string& text);
  void Shutdown(ProgressHandle window);
  // 1 when the window no longer exists or Cancel was pressed, else 0.
  int IsCancelled(ProgressHandle window) const;
  void Cancel(ProgressHandle window);
  // Cancels every window, open now or opened later (the console's Ctrl-C).
  void CancelAll() { cancelAll_ = true; for (auto& w : windows_) w.second.cancelled = true; }
  bool AllCancelled() const { return cancelAll_; }
  const Window* Find(ProgressHandle window) const;
  int LastPosition() const { return lastPosition_; }

 private:
  std::map<ProgressHandle, Window> windows_;
  ProgressHandle next_ = 1;
  int lastPosition_ = 0;
  bool cancelAll_ = false;
};

}  // namespace tarne
