// The text pane's append contract, independent of any widget.
#pragma once

#include <cstddef>
#include <string>

namespace tarne {

// The desktop pane's limit, in characters: far beyond any report, small enough
// that the editor stays responsive.
inline constexpr std::size_t kDesktopPaneLimit = 16000000;

// The append rule on its own, for panes that keep their text elsewhere (a
// text widget): answers 1 when n characters may be appended to a pane of
// length characters under limit (0: no limit), else 0.
int PaneAccepts(std::size_t length, std::size_t n, std::size_t limit);

// Holds the pane's length and limit.  limit 0 means no limit.  An append of N
// characters to a pane of length L is refused (answer 0) when N is 0 or when
// L + N + 1 reaches the limit; otherwise it is taken (answer 1).
class PaneBuffer {
 public:
  explicit PaneBuffer(std::size_t limit = 0) : limit_(limit) {}
  int Append(const std::string& text);
  const std::string& Text() const { return text_; }
  std::size_t Length() const { return length_; }
  std::size_t Limit() const { return limit_; }
  void SetLimit(std::size_t limit) { limit_ = limit; }
  // When false the pane only counts characters (the console streams them out).
  void SetKeepText(bool keep) { keep_ = keep; }
  void Clear();

 private:
  std::size_t limit_;
  std::size_t length_ = 0;
  std::string text_;
  bool keep_ = true;
};

}  // namespace tarne
