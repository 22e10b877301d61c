// Evaluate > Compare Settings: the cross-validation table in a window of its
// own, ranked as the report ranks it, with the best setting's command line,
// and the best settings' QWK as a chart.
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "chart_pane.h"
#include "charts.h"
#include "dialogs.h"
#include "evaluation/cross_validation.h"

namespace tarne::desktop {

namespace {

QString Figure(double value, int decimals, double scale) {
  return std::isnan(value) ? QStringLiteral("n/a") : QString::number(value * scale, 'f', decimals);
}

}  // namespace

void ShowEvaluationWindow(QWidget* parent, const EvaluationResult& r) {
  auto* window = new QDialog(parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(QObject::tr("Tarne - compare settings: %1").arg(QString::fromStdString(r.project)));
  auto* layout = new QVBoxLayout(window);
  layout->addWidget(new QLabel(QObject::tr("%1 folds (seed %2), %3 training essays; ranked by mean QWK")
                                   .arg(r.folds)
                                   .arg(r.seed)
                                   .arg(r.essays)));
  const QStringList headings = {QObject::tr("Model"), QObject::tr("Kinds"), QObject::tr("Smoothing"),
                                QObject::tr("Rare"), QObject::tr("Priors"),
                                QObject::tr("Accuracy %"), QObject::tr("sd"), QObject::tr("QWK"),
                                QObject::tr("sd")};
  auto* table = new QTableWidget(static_cast<int>(r.ranked.size()), headings.size(), window);
  table->setObjectName("evaluationTable");
  table->setHorizontalHeaderLabels(headings);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  int row = 0;
  for (const SettingFigures& f : r.ranked) {
    const Setting& s = f.setting;
    const QStringList cells = {
        Name(s.model), s.pairs ? "words+pairs" : "words", QString::number(s.alpha),
        s.rare ? QObject::tr("yes") : QObject::tr("no"),
        s.trainingPriors ? QObject::tr("training") : QObject::tr("project"),
        Figure(f.accuracyMean, 1, 100), Figure(f.accuracySpread, 1, 100), Figure(f.qwkMean, 3, 1),
        Figure(f.qwkSpread, 3, 1)};
    for (int c = 0; c < cells.size(); ++c) table->setItem(row, c, new QTableWidgetItem(cells[c]));
    ++row;
  }
  table->resizeColumnsToContents();
  // The table ranks every setting; the chart shows how far apart the best are.
  auto* views = new QTabWidget(window);
  views->setObjectName("evaluationViews");
  views->addTab(table, QObject::tr("Table"));
  auto* chart = new ChartPane(Qt::Vertical);
  chart->setObjectName("qwkChart");
  chart->AddChart(QwkChart(r));
  views->addTab(chart, QObject::tr("QWK Chart"));
  layout->addWidget(views);
  auto* best = new QLabel(QObject::tr("Best setting:\n%1").arg(QString::fromStdString(
                              ScoreCommandLine(r.projectFile, r.ranked.front().setting))));
  best->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(best);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
  QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
  layout->addWidget(buttons);
  window->resize(760, 520);
  window->show();
}

}  // namespace tarne::desktop
