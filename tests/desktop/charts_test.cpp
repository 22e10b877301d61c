// The results view and the charts: what they show after a run, the
// statistics and Compare Settings, with the project's group names, and
// saving them as PNG or SVG.
#include <QApplication>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QTest>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChartView>
#include <QtCharts/QHorizontalBarSeries>
#include <fstream>

#include "chart_pane.h"
#include "desktop_fixture.h"
#include "results_view.h"
#include "shell/menu_state.h"

using namespace tarne;
using tarne::testing::DesktopFixture;
using tarne::testing::ReadFile;

namespace {

QList<QChart*> Charts(QWidget* pane) {
  QList<QChart*> charts;
  for (auto* view : pane->findChildren<QChartView*>()) charts << view->chart();
  return charts;
}

}  // namespace

class ChartsTest : public QObject {
  Q_OBJECT
 private slots:
  // A trial run fills the Scoring tab (named groups, the table's counts);
  // a run of new essays leaves it; the statistics get their own tab.
  void runsAndStatisticsArePicturedWithGroupNames() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    const std::string project = f.MakeExampleProject("c");
    { std::ofstream(project, std::ios::app) << "groupname1=weak\r\ngroupname3=strong\r\n"; }
    QVERIFY(w.LoadProject(project));
    w.Run(cmd::AllowTrainWords);
    QVERIFY(w.Run(cmd::TrainWords));
    QVERIFY(!w.Results()->isVisibleTo(&w));
    int what = 1;
    w.choosers.scoringOptions = [&] {
      w.CurrentSession().options.What = what;
      return true;
    };
    QVERIFY(w.Run(cmd::Score));
    QVERIFY(w.Results()->isVisibleTo(&w));
    desktop::ChartPane* scoring = w.Results()->Pane("Scoring");
    QVERIFY(scoring);
    const QList<QChart*> charts = Charts(scoring);
    QCOMPARE(charts.size(), 2);
    auto* predicted = qobject_cast<QCategoryAxis*>(charts[0]->axes(Qt::Horizontal).first());
    QCOMPARE(predicted->categoriesLabels(), (QStringList{"weak", "Group 2", "strong"}));
    // The cells' counts add up to the trial essays, as the report's table does.
    int counted = 0;
    for (QGraphicsItem* item : charts[0]->childItems())
      if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item)) counted += text->text().toInt();
    QCOMPARE(counted, 12);
    auto* groups = qobject_cast<QBarCategoryAxis*>(charts[1]->axes(Qt::Horizontal).first());
    QCOMPARE(groups->categories().first(), QString("weak"));

    what = 3;  // new essays: no groups to compare with
    QVERIFY(w.Run(cmd::Score));
    QCOMPARE(w.Results()->Pane("Scoring"), scoring);

    QVERIFY(w.Run(cmd::Stats));
    desktop::ChartPane* stats = w.Results()->Pane("Statistics");
    QVERIFY(stats);
    auto* essays = Charts(stats).first()->series().first();
    auto* set = essays->findChild<QBarSet*>();
    QVERIFY(set);
    QCOMPARE(set->at(0) + set->at(1) + set->at(2), 30.0);

    // Another project's charts are not this one's.
    QVERIFY(w.LoadProject(f.MakeExampleProject("other")));
    QVERIFY(!w.Results()->Pane("Scoring") && !w.Results()->Pane("Statistics"));
    QVERIFY(!w.Results()->isVisibleTo(&w));
  }

  // Compare Settings: the best settings' mean QWK, best first, as the table ranks them.
  void compareSettingsChartsTheBestQwk() {
    DesktopFixture f;
    desktop::MainWindow& w = f.Window();
    QVERIFY(w.LoadProject(f.MakeExampleProject("q")));
    QVERIFY(w.Run(cmd::CompareSettings));
    desktop::ChartPane* pane = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* p = top->findChild<desktop::ChartPane*>("qwkChart")) pane = p;
    QVERIFY(pane);
    auto* series = qobject_cast<QHorizontalBarSeries*>(Charts(pane).first()->series().first());
    QBarSet* qwk = series->barSets().first();
    QCOMPARE(qwk->count(), 12);
    for (int i = 1; i < qwk->count(); ++i) QVERIFY(qwk->at(i) >= qwk->at(i - 1));  // best on top
  }

  void chartsSaveAsPngOrSvg() {
    DesktopFixture f;
    desktop::ChartPane pane(Qt::Vertical);
    auto* chart = new QChart;
    chart->setTitle("Saved");
    pane.AddChart(chart);
    pane.resize(400, 300);
    pane.show();
    const QString png = QString::fromStdString(f.temp.Path() + "chart.png");
    const QString svg = QString::fromStdString(f.temp.Path() + "chart.svg");
    QCOMPARE(pane.SaveTo(png), QString());
    QVERIFY(!QImage(png).isNull());
    QCOMPARE(pane.SaveTo(svg), QString());
    const std::string drawing = ReadFile(svg.toStdString());
    QVERIFY(drawing.find("<svg") != std::string::npos);
    QVERIFY(drawing.find("Saved") != std::string::npos);
    const QString nowhere = QString::fromStdString(f.temp.Path() + "missing/chart.png");
    QCOMPARE(pane.SaveTo(nowhere), QString("Could not write file %1").arg(nowhere));
  }
};

QTEST_MAIN(ChartsTest)
#include "charts_test.moc"
