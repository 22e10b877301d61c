// Printing the pane: one pane line per printed line, below a heading with the
// project, the date and the page number, with the copies and collation the
// print dialog chose; and the same pages in a preview.
#include <QApplication>
#include <QDate>
#include <QLocale>
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

// The line at the top of every page: the project (or the document when no
// project is open), the date, and the page number.
void PaintHeading(QPainter& painter, const QFontMetrics& metrics, const QString& project,
                  const QString& date, int page, int pages) {
  const int width = painter.viewport().width();
  const int baseline = metrics.ascent();
  painter.drawText(0, baseline, project);
  painter.drawText((width - metrics.horizontalAdvance(date)) / 2, baseline, date);
  const QString number = QObject::tr("Page %1 of %2").arg(page).arg(pages);
  painter.drawText(width - metrics.horizontalAdvance(number), baseline, number);
  const int rule = metrics.height() + metrics.descent();
  painter.drawLine(0, rule, width, rule);
}

}  // namespace

QString MainWindow::PrintHeading() const {
  const std::string& project = session_->settings.sname;
  return QString::fromStdString(project.empty() ? DocumentTitleOrUntitled() : project);
}

bool MainWindow::PaintPages(QPrinter& printer, const std::function<bool()>& cancelled) {
  const QString text = pane_->toPlainText();
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QFont font(pane_->font(), painter.device());
  painter.setFont(font);
  const QFontMetrics metrics(font, painter.device());
  const int lineHeight = std::max(1, metrics.lineSpacing());
  // The heading takes its line, a rule and one blank line.
  const int top = 2 * lineHeight + metrics.descent();
  const int perPage = std::max(1, (painter.viewport().height() - top) / lineHeight);
  const QStringList lines = text.split('\n');
  const int pages = std::max(1, (static_cast<int>(lines.size()) + perPage - 1) / perPage);
  const QString project = PrintHeading();
  const QString date = QLocale().toString(QDate::currentDate(), QLocale::LongFormat);
  // A printer that makes copies itself reports one; otherwise each copy
  // is drawn here, collated or page by page as chosen.
  const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
  const bool collate = printer.collateCopies();
  bool ok = true;
  bool first = true;
  for (int outer = 0; outer < (collate ? copies : pages) && ok && !cancelled(); ++outer) {
    for (int inner = 0; inner < (collate ? pages : copies); ++inner) {
      const int page = collate ? inner : outer;
      if (!first && !printer.newPage()) {
        ok = false;
        break;
      }
      first = false;
      PaintHeading(painter, metrics, project, date, page + 1, pages);
      const int from = page * perPage;
      const int to = std::min(static_cast<int>(lines.size()), from + perPage);
      for (int i = from; i < to; ++i)
        painter.drawText(0, top + (i - from) * lineHeight + metrics.ascent(), lines[i]);
      QApplication::processEvents();
      if (cancelled()) break;
    }
  }
  if (cancelled()) printer.abort();
  painter.end();
  return ok;
}

void MainWindow::PrintDocument() {
  const QString title = QString::fromStdString(DocumentTitleOrUntitled());
  QPrinter printer(QPrinter::HighResolution);
  printer.setCollateCopies(true);
  printer.setDocName(title);
  if (!choosers.printSetup(printer)) return;
  if (pane_->toPlainText().isEmpty()) return;

  PrintCancelBox box(this, title);
  box.show();
  setEnabled(false);
  box.setEnabled(true);
  const bool printed = PaintPages(printer, [&box] { return box.cancelled; });
  setEnabled(true);
  box.close();
  if (!printed)
    session_->Message("Could not print file " + title.toStdString(), kProgramName, Buttons::Ok,
                      Icon::Exclamation);
}

void MainWindow::PrintPreview() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(QString::fromStdString(DocumentTitleOrUntitled()));
  choosers.printPreview(printer, [this](QPrinter* pages) { PaintPages(*pages, [] { return false; }); });
}

}  // namespace tarne::desktop
