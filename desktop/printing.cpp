// Printing the pane: one pane line per printed line, from the top left of
// the printable area, with the copies and collation the print dialog chose.
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "document_pane.h"
#include "main_window.h"

namespace tarne::desktop {

namespace {

// "Sending" / the document / "to print spooler." with Cancel.
class PrintCancelBox : public QDialog {
 public:
  PrintCancelBox(QWidget* parent, const QString& title) : QDialog(parent) {
    setObjectName("printing");
    setWindowTitle(kProgramName);
    auto* layout = new QVBoxLayout(this);
    for (const QString& line : {QString("Sending"), title, QString("to print spooler.")}) {
      auto* label = new QLabel(line, this);
      label->setAlignment(Qt::AlignCenter);
      label->setTextFormat(Qt::PlainText);
      layout->addWidget(label);
    }
    auto* cancel = new QPushButton(tr("Cancel"), this);
    layout->addWidget(cancel, 0, Qt::AlignCenter);
    connect(cancel, &QPushButton::clicked, this, [this] { cancelled = true; });
  }
  bool cancelled = false;
};

}  // namespace

void MainWindow::PrintDocument() {
  const QString title = QString::fromStdString(DocumentTitleOrUntitled());
  QPrinter printer(QPrinter::HighResolution);
  printer.setCollateCopies(true);
  printer.setDocName(title);
  if (!choosers.printSetup(printer)) return;
  const QString text = pane_->toPlainText();
  if (text.isEmpty()) return;

  PrintCancelBox box(this, title);
  box.show();
  setEnabled(false);
  box.setEnabled(true);

  bool failed = false;
  QPainter painter;
  if (!painter.begin(&printer)) {
    failed = true;
  } else {
    const QFont font(pane_->font(), painter.device());
    painter.setFont(font);
    const QFontMetrics metrics(font, painter.device());
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const int pageHeight = painter.viewport().height();
    const int perPage = std::max(1, pageHeight / lineHeight);
    const QStringList lines = text.split('\n');
    const int pages = (static_cast<int>(lines.size()) + perPage - 1) / perPage;
    // A printer that makes copies itself reports one; otherwise each copy
    // is drawn here, collated or page by page as chosen.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    const bool collate = printer.collateCopies();
    bool first = true;
    for (int outer = 0; outer < (collate ? copies : pages) && !failed && !box.cancelled; ++outer) {
      for (int inner = 0; inner < (collate ? pages : copies); ++inner) {
        const int page = collate ? inner : outer;
        if (!first && !printer.newPage()) {
          failed = true;
          break;
        }
        first = false;
        const int from = page * perPage;
        const int to = std::min(static_cast<int>(lines.size()), from + perPage);
        for (int i = from; i < to; ++i)
          painter.drawText(0, (i - from) * lineHeight + metrics.ascent(), lines[i]);
        QApplication::processEvents();
        if (box.cancelled) break;
      }
    }
    if (box.cancelled) printer.abort();
    painter.end();
  }
  setEnabled(true);
  box.close();
  if (failed)
    session_->Message("Could not print file " + title.toStdString(), kProgramName, Buttons::Ok,
                      Icon::Exclamation);
}

}  // namespace tarne::desktop
