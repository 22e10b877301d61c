// Charts of results that are already data (a scoring run, the statistics,
// the comparison of settings).  Each builder answers a new chart that its
// caller puts into a view and owns; the pictures follow the application's
// palette, so they stay readable in a dark one.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include <QtCharts/QChart>

namespace tarne {
struct RunResult;
struct DatabaseStatistics;
struct EvaluationResult;
}  // namespace tarne

namespace tarne::desktop {

// How charts and tables name group g: the project's name for it, else
// "Group g".
QString GroupLabel(const std::vector<std::string>& names, int g);

// The observed-by-predicted table of a run of known groups as a heat map:
// one cell per observed (row, group 1 at the top) and predicted (column)
// group, darker for more essays, each with its count.
QChart* ConfusionHeatMap(const RunResult& result);
// Each group's precision and recall, in percent, as bars.
QChart* PrecisionRecallChart(const RunResult& result);
// The mean QWK of the best-ranked settings (at most `shown`), best at the top.
QChart* QwkChart(const EvaluationResult& result, int shown = 12);
// Essays trained per group.
QChart* EssaysChart(const DatabaseStatistics& stats);
// Tokens counted per group (as written), one bar per trained kind.
QChart* TokensChart(const DatabaseStatistics& stats);

// Gives the chart the application palette's light or dark look.
void StyleChart(QChart* chart);

}  // namespace tarne::desktop
