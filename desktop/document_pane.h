// The main window's text pane: every report is appended here, and the user
// may edit, save, open and print its text.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <string>

namespace tarne::desktop {

class DocumentPane : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit DocumentPane(QWidget* parent = nullptr);

  // The append contract: text (bytes from the core, CR LF lines) goes at the
  // end.  Answers 1 when appended, 0 when it was empty or would not fit.
  int Append(const std::string& bytes);
  // Characters the pane holds.
  std::size_t Length() const;
  // Whether text of n characters would fit on top of what is there.
  bool Fits(std::size_t n) const;
  std::size_t Limit() const { return limit_; }
  void SetLimit(std::size_t limit) { limit_ = limit; }
  // Replaces the whole text without counting as a user edit.
  void Load(const QString& text);

  // Called when typing or a paste would not fit (the window tells the user).
  std::function<void()> onOutOfSpace;
  // The Delete key's own command (clear the selection), run instead of the
  // editor's usual delete-forward.
  std::function<void()> onDeleteKey;

 protected:
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::size_t limit_;
};

}  // namespace tarne::desktop
