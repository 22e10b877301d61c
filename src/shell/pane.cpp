#include "shell/pane.h"

namespace tarne {

int PaneAccepts(std::size_t length, std::size_t n, std::size_t limit) {
  if (n == 0) return 0;
  // The "+ 1" keeps room for the terminating character the pane always holds.
  if (limit != 0 && length + n + 1 >= limit) return 0;
  return 1;
}

int PaneBuffer::Append(const std::string& text) {
  const std::size_t n = text.size();
  if (!PaneAccepts(length_, n, limit_)) return 0;
  if (keep_) text_ += text;
  length_ += n;
  return 1;
}

void PaneBuffer::Clear() {
  text_.clear();
  length_ = 0;
}

}  // namespace tarne
