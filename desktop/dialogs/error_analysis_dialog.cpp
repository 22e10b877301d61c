#include "error_analysis_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QKeyEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs.h"
#include "qt_text.h"
#include "project/settings.h"
#include "scoring/scoring.h"

namespace tarne::desktop {

ErrorAnalysisDialog::ErrorAnalysisDialog(QWidget* parent, const std::vector<ErrorEntry>& errors,
                                         int groups, int what,
                                         const std::vector<std::string>& groupNames)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      errors_(errors),
      choosing_(what == 2),
      pathColumn_(what == 2 ? 1 : 0) {
  setObjectName("errorAnalysisDialog");
  setWindowTitle(ToQ(ErrorAnalysisTitle(what)));
  setWindowIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
  tell = [this](const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, kProgramName, text, QMessageBox::Ok, this);
    box.exec();
  };
  openEssay = [this](const std::string& path) { OpenEssayViewer(this, path); };

  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  auto* buttons = new QHBoxLayout;
  if (choosing_) {
    selectAll_ = new QCheckBox("Select All");
    selectAll_->setObjectName("selectAll");
    auto* untrain = new QPushButton("Untrain");
    untrain->setObjectName("untrain");
    auto* cancel = new QPushButton("Cancel");
    cancel->setObjectName("cancel");
    buttons->addWidget(selectAll_);
    buttons->addWidget(untrain);
    buttons->addWidget(cancel);
    connect(selectAll_, &QCheckBox::clicked, this, [this](bool on) {
      for (int i = 0; i < list_->rowCount(); ++i) SetTicked(i, on);
    });
    connect(untrain, &QPushButton::clicked, this, &ErrorAnalysisDialog::Untrain);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  } else {
    auto* ok = new QPushButton("Ok");
    ok->setObjectName("ok");
    buttons->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::reject);
  }
  buttons->addStretch(1);

  const int columns = pathColumn_ + 2;
  list_ = new QTableWidget(static_cast<int>(errors_.size()), columns);
  list_->setObjectName("errorList");
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // One current line, moved with the arrow keys: Space ticks it, Enter views it.
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setShowGrid(false);
  list_->setWordWrap(false);
  list_->verticalHeader()->hide();
  list_->setMouseTracking(true);
  QStringList headings;
  if (choosing_) headings << QString();
  // "Category Probability" stands over the group columns of the text below it.
  // Both lines are padded to one width, so the header's centring keeps them
  // lined up with the fixed-pitch text below.
  QString caption = QString(9, ' ') + "Category Probability";
  QString columnsLine = ToQ(ProbabilityHeading(groups));
  const qsizetype width = std::max(caption.size(), columnsLine.size());
  headings << " File (Point and click to view)"
           << caption.leftJustified(width) + '\n' + columnsLine.leftJustified(width);
  list_->setHorizontalHeaderLabels(headings);
  list_->horizontalHeaderItem(pathColumn_ + 1)->setFont(fixed);
  list_->horizontalHeaderItem(pathColumn_ + 1)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list_->horizontalHeaderItem(pathColumn_)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  for (int i = 0; i < static_cast<int>(errors_.size()); ++i) {
    const ErrorEntry& e = errors_[static_cast<std::size_t>(i)];
    if (choosing_) {
      auto* tick = new QTableWidgetItem;
      tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      tick->setCheckState(IsPreTicked(e.probabilities) ? Qt::Checked : Qt::Unchecked);
      list_->setItem(i, 0, tick);
    }
    auto* path = new QTableWidgetItem(DecodeForDisplay(e.path));
    path->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    path->setFont(fixed);
    // The palette's link colour reads on light and dark palettes alike.
    path->setForeground(palette().brush(QPalette::Link));
    path->setToolTip("Click to view the essay");
    list_->setItem(i, pathColumn_, path);
    auto* probabilities = new QTableWidgetItem(ToQ(e.probabilities));
    probabilities->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    probabilities->setFont(fixed);
    list_->setItem(i, pathColumn_ + 1, probabilities);
  }
  list_->resizeColumnsToContents();
  list_->resizeRowsToContents();
  list_->horizontalHeader()->setStretchLastSection(true);

  connect(list_, &QTableWidget::cellClicked, this, [this](int row, int column) {
    if (column == pathColumn_) openEssay(errors_[static_cast<std::size_t>(row)].path);
  });
  connect(list_, &QTableWidget::cellEntered, this, [this](int, int column) {
    list_->viewport()->setCursor(column == pathColumn_ ? Qt::PointingHandCursor
                                                       : Qt::ArrowCursor);
  });

  list_->installEventFilter(this);
  if (list_->rowCount() > 0) list_->setCurrentCell(0, pathColumn_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(list_, 1);
  // The columns are numbered as the report numbers them; named groups are
  // spelled out below.
  QStringList named;
  for (int g = 1; g <= groups; ++g)
    if (const std::string name = GroupName(groupNames, g); !name.empty())
      named << QStringLiteral("%1 = %2").arg(g).arg(ToQ(name));
  if (!named.isEmpty()) {
    auto* legend = new QLabel("Groups: " + named.join(", "));
    legend->setObjectName("groupNames");
    legend->setTextFormat(Qt::PlainText);
    layout->addWidget(legend);
  }

  resize(720, 480);
  if (QScreen* screen = QApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

bool ErrorAnalysisDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != list_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  const int row = list_->currentRow();
  if (row < 0) return false;
  if (key == Qt::Key_Space) {
    SetTicked(row, !IsTicked(row));
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    openEssay(errors_[static_cast<std::size_t>(row)].path);
    return true;
  }
  return false;
}

bool ErrorAnalysisDialog::IsTicked(int line) const {
  const QTableWidgetItem* tick = choosing_ ? list_->item(line, 0) : nullptr;
  return tick && tick->checkState() == Qt::Checked;
}

void ErrorAnalysisDialog::SetTicked(int line, bool ticked) {
  if (QTableWidgetItem* tick = choosing_ ? list_->item(line, 0) : nullptr)
    tick->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void ErrorAnalysisDialog::Untrain() {
  std::vector<bool> ticked;
  for (int i = 0; i < list_->rowCount(); ++i) ticked.push_back(IsTicked(i));
  std::vector<std::string> chosen = FlaggedFiles(errors_, ticked);
  if (chosen.empty()) {
    tell("Nothing checked");
    return;
  }
  flagged_ = std::move(chosen);
  done(1);
}

}  // namespace tarne::desktop
