// The charts of one scoring run of known groups.
#include <QApplication>
#include <QGraphicsSimpleTextItem>
#include <QPalette>
#include <QPen>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <memory>

#include "chart_axes.h"
#include "charts.h"
#include "scoring/results.h"

namespace tarne::desktop {

namespace {

// The cells' colour runs from the pane's background (no essay) to a strong
// blue (the most essays of any cell).
QColor CellColour(double share) {
  const QColor empty = QApplication::palette().color(QPalette::Base);
  const QColor full(31, 104, 180);
  auto mix = [share](int from, int to) { return static_cast<int>(from + (to - from) * share); };
  return QColor(mix(empty.red(), full.red()), mix(empty.green(), full.green()),
                mix(empty.blue(), full.blue()));
}

// One axis of the heat map: group g's label centred on g.
QCategoryAxis* GroupAxis(const RunResult& r, const QString& title) {
  auto* axis = new QCategoryAxis;
  axis->setStartValue(0.5);
  for (int g = 1; g <= r.groups; ++g) axis->append(GroupLabel(r.groupNames, g), g + 0.5);
  axis->setRange(0.5, r.groups + 0.5);
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
  axis->setGridLineVisible(false);
  axis->setTitleText(title);
  return axis;
}

}  // namespace

QChart* ConfusionHeatMap(const RunResult& r) {
  auto* chart = new QChart;
  StyleChart(chart);
  int most = 0, essays = 0;
  for (int s = 1; s <= r.groups; ++s)
    for (int g = 1; g <= r.groups; ++g) {
      most = std::max(most, r.table.count[s][g]);
      essays += r.table.count[s][g];
    }
  chart->setTitle(QObject::tr("Observed by predicted group (%1 essays)").arg(essays));
  chart->legend()->hide();
  QCategoryAxis* predicted = GroupAxis(r, QObject::tr("Predicted group"));
  QCategoryAxis* observed = GroupAxis(r, QObject::tr("Observed group"));
  observed->setReverse(true);  // group 1 at the top, as in the report's table
  chart->addAxis(predicted, Qt::AlignBottom);
  chart->addAxis(observed, Qt::AlignLeft);
  StyleAxis(predicted);
  StyleAxis(observed);

  struct Label {
    QGraphicsSimpleTextItem* item;
    QPointF at;
  };
  auto labels = std::make_shared<std::vector<Label>>();
  QAreaSeries* anchor = nullptr;
  const QPen border(QApplication::palette().color(QPalette::Mid), 1);
  for (int s = 1; s <= r.groups; ++s) {
    for (int g = 1; g <= r.groups; ++g) {
      auto* upper = new QLineSeries;
      upper->append(g - 0.5, s + 0.5);
      upper->append(g + 0.5, s + 0.5);
      auto* lower = new QLineSeries;
      lower->append(g - 0.5, s - 0.5);
      lower->append(g + 0.5, s - 0.5);
      auto* cell = new QAreaSeries(upper, lower);
      upper->setParent(cell);
      lower->setParent(cell);
      const int count = r.table.count[s][g];
      const double share = most > 0 ? static_cast<double>(count) / most : 0;
      cell->setBrush(CellColour(share));
      cell->setPen(border);
      chart->addSeries(cell);
      cell->attachAxis(predicted);
      cell->attachAxis(observed);
      if (!anchor) anchor = cell;
      auto* text = new QGraphicsSimpleTextItem(QString::number(count), chart);
      text->setBrush(share > 0.5 ? QColor(Qt::white)
                                 : QApplication::palette().color(QPalette::Text));
      QFont font = text->font();
      font.setBold(s == g);  // the essays placed right
      text->setFont(font);
      text->setZValue(10);
      labels->push_back({text, QPointF(g, s)});
    }
  }
  // The counts sit on top of the series, so they move with the plot area.
  auto place = [chart, labels, anchor] {
    for (const Label& l : *labels) {
      const QPointF centre = chart->mapToPosition(l.at, anchor);
      l.item->setPos(centre - l.item->boundingRect().center());
    }
  };
  QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
  place();
  return chart;
}

QChart* PrecisionRecallChart(const RunResult& r) {
  auto* chart = new QChart;
  StyleChart(chart);
  chart->setTitle(QObject::tr("Precision and recall per group"));
  const Figures f = ComputeFigures(r.table, r.groups);
  auto* precision = new QBarSet(QObject::tr("Precision %"));
  auto* recall = new QBarSet(QObject::tr("Recall %"));
  QStringList groups;
  for (int g = 1; g <= r.groups; ++g) {
    *precision << f.group[g].precision * 100;
    *recall << f.group[g].recall * 100;
    groups << GroupLabel(r.groupNames, g);
  }
  auto* series = new QBarSeries;
  series->append(precision);
  series->append(recall);
  series->setLabelsVisible(true);
  series->setLabelsFormat("@value");
  series->setLabelsPrecision(3);
  series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
  chart->addSeries(series);
  auto* categories = new QBarCategoryAxis;
  categories->append(groups);
  auto* percent = new QValueAxis;
  percent->setRange(0, 100);
  percent->setLabelFormat("%d");
  percent->setTickCount(6);
  chart->addAxis(categories, Qt::AlignBottom);
  chart->addAxis(percent, Qt::AlignLeft);
  series->attachAxis(categories);
  series->attachAxis(percent);
  StyleAxis(categories);
  StyleAxis(percent);
  return chart;
}

}  // namespace tarne::desktop
