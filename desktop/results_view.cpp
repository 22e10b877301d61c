#include "results_view.h"

#include <QTabWidget>

#include "chart_pane.h"
#include "charts.h"
#include "scoring/results.h"

namespace tarne::desktop {

ResultsView::ResultsView(QWidget* parent) : QDockWidget(tr("Results"), parent) {
  setObjectName("results");
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("resultTabs");
  setWidget(tabs_);
}

bool ResultsView::ShowRun(const RunResult& result) {
  const bool known =
      result.collection == Collection::Trial || result.collection == Collection::Train;
  if (!known || result.groups < 2) return false;
  int scored = 0;
  for (int s = 1; s <= result.groups; ++s)
    for (int g = 1; g <= result.groups; ++g) scored += result.table.count[s][g];
  // A run that stopped before its first essay has nothing to picture.
  if (scored == 0) return false;
  auto* pane = new ChartPane(Qt::Vertical);
  pane->AddChart(ConfusionHeatMap(result));
  pane->AddChart(PrecisionRecallChart(result));
  Put(tr("Scoring"), pane);
  return true;
}

void ResultsView::ShowStatistics(const DatabaseStatistics& stats) {
  if (stats.groups < 1) return;
  auto* pane = new ChartPane(Qt::Vertical);
  pane->AddChart(EssaysChart(stats));
  pane->AddChart(TokensChart(stats));
  Put(tr("Statistics"), pane);
}

void ResultsView::Clear() {
  while (tabs_->count() > 0) {
    QWidget* page = tabs_->widget(0);
    tabs_->removeTab(0);
    page->deleteLater();
  }
  hide();
}

ChartPane* ResultsView::Pane(const QString& tab) const {
  for (int i = 0; i < tabs_->count(); ++i)
    if (tabs_->tabText(i) == tab) return qobject_cast<ChartPane*>(tabs_->widget(i));
  return nullptr;
}

void ResultsView::Put(const QString& tab, ChartPane* pane) {
  pane->setObjectName(tab.toLower());
  // A new report replaces the old one's charts in their tab.
  if (ChartPane* old = Pane(tab)) {
    const int at = tabs_->indexOf(old);
    tabs_->removeTab(at);
    old->deleteLater();
    tabs_->insertTab(at, pane, tab);
  } else {
    tabs_->addTab(pane, tab);
  }
  tabs_->setCurrentWidget(pane);
  show();
  raise();
}

}  // namespace tarne::desktop
