// Charts shown together, with a "Save Chart..." button that saves them as
// one picture: PNG, or SVG when the chosen name ends in .svg.
#pragma once

#include <QWidget>
#include <functional>

#include <QtCharts/QChart>

class QBoxLayout;

namespace tarne::desktop {

class ChartPane : public QWidget {
  Q_OBJECT
 public:
  // Charts side by side (Qt::Horizontal) or one above the other.
  explicit ChartPane(Qt::Orientation orientation, QWidget* parent = nullptr);

  // Shows the chart (the pane owns it from now on).
  void AddChart(QChart* chart);
  // The area the saved picture shows: every chart, without the button.
  QWidget* Picture() const { return charts_; }
  int Charts() const { return count_; }

  // Asks for the file to save to; "" when cancelled.  Tests replace it.
  std::function<QString()> chooseFile;
  // Saves the picture; answers "" or why it could not be saved.
  QString SaveTo(const QString& path) const;

 private:
  void Save();

  QWidget* charts_ = nullptr;
  QBoxLayout* chartsLayout_ = nullptr;
  int count_ = 0;
};

}  // namespace tarne::desktop
