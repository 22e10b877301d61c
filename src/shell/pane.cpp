#include "shell/pane.h"

namespace tarne {

int PaneBuffer::Append(const std::string& text) {
  const std::size_t n = text.size();
  if (n == 0) return 0;
  // The "+ 1" keeps room for the terminating character the pane always holds.
  if (limit_ != 0 && length_ + n + 1 >= limit_) return 0;
  if (keep_) text_ += text;
  length_ += n;
  return 1;
}

void PaneBuffer::Clear() {
  text_.clear();
  length_ = 0;
}

}  // namespace tarne
