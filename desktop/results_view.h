// The results view beside the pane: charts of the last scoring run of known
// groups and of the last statistics report, one tab each.  The pane keeps
// the reports as text; this view only pictures them.
#pragma once

#include <QDockWidget>

class QTabWidget;

namespace tarne {
struct RunResult;
struct DatabaseStatistics;
}  // namespace tarne

namespace tarne::desktop {

class ChartPane;

class ResultsView : public QDockWidget {
  Q_OBJECT
 public:
  explicit ResultsView(QWidget* parent = nullptr);

  // The heat map of observed by predicted groups and each group's precision
  // and recall.  Runs of new essays or one essay have no known groups to
  // compare with: they leave the view as it is and answer false.
  bool ShowRun(const RunResult& result);
  // Essays and tokens per group.
  void ShowStatistics(const DatabaseStatistics& stats);

  // Another project became current: its charts would mislead.  Removes
  // every tab and hides the view.
  void Clear();

  // The tab of that name ("Scoring", "Statistics"), or null before its first report.
  ChartPane* Pane(const QString& tab) const;

 private:
  void Put(const QString& tab, ChartPane* pane);

  QTabWidget* tabs_ = nullptr;
};

}  // namespace tarne::desktop
