// The charts of the comparison of settings and of the database statistics.
#include <QApplication>
#include <QPalette>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QHorizontalBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <cmath>

#include "chart_axes.h"
#include "charts.h"
#include "evaluation/cross_validation.h"
#include "scoring/results.h"

namespace tarne::desktop {

namespace {

// A setting in a few words: "multinomial, words+pairs, a .3, no rare, training priors".
QString SettingLabel(const Setting& s) {
  return QStringLiteral("%1, %2, \u03b1 %3, %4, %5 priors")
      .arg(Name(s.model), s.pairs ? "words+pairs" : "words", QString::number(s.alpha),
           s.rare ? "rare" : "no rare", s.trainingPriors ? "training" : "project");
}

// Bars of one value per group on a count axis from 0.
QChart* GroupBars(const QString& title, const std::vector<std::string>& names, int groups,
                  const std::vector<std::pair<QString, std::vector<double>>>& sets) {
  auto* chart = new QChart;
  StyleChart(chart);
  chart->setTitle(title);
  auto* series = new QBarSeries;
  double most = 0;
  for (const auto& [label, values] : sets) {
    auto* set = new QBarSet(label);
    // The counts stand above the bars, on the chart's background.
    set->setLabelColor(QApplication::palette().color(QPalette::Text));
    for (double v : values) {
      *set << v;
      most = std::max(most, v);
    }
    series->append(set);
  }
  series->setLabelsVisible(true);
  series->setLabelsFormat("@value");
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  chart->addSeries(series);
  QStringList labels;
  for (int g = 1; g <= groups; ++g) labels << GroupLabel(names, g);
  auto* categories = new QBarCategoryAxis;
  categories->append(labels);
  auto* counts = new QValueAxis;
  // Room above the tallest bar for its label.
  counts->setRange(0, most > 0 ? most * 1.15 : 1);
  counts->setLabelFormat("%.0f");
  counts->applyNiceNumbers();
  chart->addAxis(categories, Qt::AlignBottom);
  chart->addAxis(counts, Qt::AlignLeft);
  series->attachAxis(categories);
  series->attachAxis(counts);
  StyleAxis(categories);
  StyleAxis(counts);
  chart->legend()->setVisible(sets.size() > 1);
  return chart;
}

}  // namespace

QChart* QwkChart(const EvaluationResult& r, int shown) {
  auto* chart = new QChart;
  StyleChart(chart);
  const int n = std::min(shown, static_cast<int>(r.ranked.size()));
  chart->setTitle(QObject::tr("Mean QWK over %1 folds: the %2 best of %3 settings")
                      .arg(r.folds)
                      .arg(n)
                      .arg(r.ranked.size()));
  chart->legend()->hide();
  auto* qwk = new QBarSet(QObject::tr("Mean QWK"));
  QStringList labels;
  double low = 0;
  // Horizontal bars run from the bottom up: the best setting goes in last.
  for (int i = n - 1; i >= 0; --i) {
    const SettingFigures& f = r.ranked[static_cast<std::size_t>(i)];
    const double value = std::isnan(f.qwkMean) ? 0 : f.qwkMean;
    *qwk << value;
    low = std::min(low, value);
    labels << QStringLiteral("%1. %2").arg(i + 1).arg(SettingLabel(f.setting));
  }
  auto* series = new QHorizontalBarSeries;
  series->append(qwk);
  series->setLabelsVisible(true);
  series->setLabelsFormat("@value");
  series->setLabelsPrecision(3);
  series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
  chart->addSeries(series);
  auto* settings = new QBarCategoryAxis;
  settings->append(labels);
  auto* value = new QValueAxis;
  value->setRange(std::floor(low * 10) / 10, 1);
  value->setLabelFormat("%.1f");
  // Steps of .2 from 0; a negative kappa widens the range to nice steps.
  value->setTickCount(6);
  if (low < 0) value->applyNiceNumbers();
  value->setTitleText(QObject::tr("Mean quadratic weighted kappa"));
  chart->addAxis(settings, Qt::AlignLeft);
  chart->addAxis(value, Qt::AlignBottom);
  series->attachAxis(settings);
  series->attachAxis(value);
  StyleAxis(settings);
  StyleAxis(value);
  return chart;
}

QChart* EssaysChart(const DatabaseStatistics& s) {
  std::vector<double> essays;
  for (int g = 1; g <= s.groups; ++g) essays.push_back(s.trained[g]);
  return GroupBars(QObject::tr("Essays trained per group"), s.groupNames, s.groups,
                   {{QObject::tr("Essays"), essays}});
}

QChart* TokensChart(const DatabaseStatistics& s) {
  const QString kinds[3] = {QObject::tr("Words"), QObject::tr("Word pairs"),
                            QObject::tr("Arguments")};
  std::vector<std::pair<QString, std::vector<double>>> sets;
  for (int k = 0; k < 3; ++k) {
    // A kind not trained would only add a row of empty bars.
    if (s.unstemmed.kinds[0][k].total == 0 && k > 0) continue;
    std::vector<double> counts;
    for (int g = 1; g <= s.groups; ++g) counts.push_back(s.unstemmed.kinds[g][k].total);
    sets.emplace_back(kinds[k], counts);
  }
  return GroupBars(QObject::tr("Tokens counted per group (as written)"), s.groupNames, s.groups,
                   sets);
}

}  // namespace tarne::desktop
