#include "document_pane.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include "shell/pane.h"
#include "text_decoding.h"

namespace tarne::desktop {

DocumentPane::DocumentPane(QWidget* parent) : QPlainTextEdit(parent), limit_(kDesktopPaneLimit) {
  // Reports are laid out in columns: a fixed-pitch font and no wrapping keep
  // them lined up.
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setObjectName("pane");
}

std::size_t DocumentPane::Length() const {
  const int n = document()->characterCount();
  return n > 0 ? static_cast<std::size_t>(n - 1) : 0;
}

bool DocumentPane::Fits(std::size_t n) const { return PaneAccepts(Length(), n, limit_) == 1; }

int DocumentPane::Append(const std::string& bytes) {
  if (bytes.empty()) return 0;
  const QString text = QString::fromStdString(PlainLineEnds(DisplayUtf8(bytes)));
  if (!PaneAccepts(Length(), static_cast<std::size_t>(text.size()), limit_)) return 0;
  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  // A report is not the user's edit: Undo must not take it back line by line,
  // so it goes in outside the undo history (which Qt clears as it does so).
  document()->setUndoRedoEnabled(false);
  end.insertText(text);
  document()->setUndoRedoEnabled(true);
  // The caret follows the report, as it does while the user types.
  setTextCursor(end);
  ensureCursorVisible();
  return 1;
}

void DocumentPane::Load(const QString& text) {
  const bool blocked = document()->blockSignals(true);
  setPlainText(text);
  document()->blockSignals(blocked);
  // setPlainText bypassed the change signals; the view still needs its layout.
  viewport()->update();
}

void DocumentPane::insertFromMimeData(const QMimeData* source) {
  if (source && source->hasText()) {
    const std::size_t selected = static_cast<std::size_t>(textCursor().selectedText().size());
    const std::size_t n = static_cast<std::size_t>(source->text().size());
    if (n > 0 && !PaneAccepts(Length() - selected, n, limit_)) {
      if (onOutOfSpace) onOutOfSpace();
      return;
    }
  }
  QPlainTextEdit::insertFromMimeData(source);
}

void DocumentPane::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
    if (onDeleteKey) onDeleteKey();
    event->accept();
    return;
  }
  if (!isReadOnly() && !event->text().isEmpty() && event->text().at(0).isPrint() &&
      !textCursor().hasSelection() && !Fits(static_cast<std::size_t>(event->text().size()))) {
    if (onOutOfSpace) onOutOfSpace();
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace tarne::desktop
