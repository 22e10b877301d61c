#include <QApplication>
#include <QPalette>

#include "chart_axes.h"
#include "charts.h"
#include "project/settings.h"

namespace tarne::desktop {

QString GroupLabel(const std::vector<std::string>& names, int g) {
  const std::string name = GroupName(names, g);
  return name.empty() ? QStringLiteral("Group %1").arg(g) : QString::fromStdString(name);
}

void StyleChart(QChart* chart) {
  const QPalette palette = QApplication::palette();
  const bool dark = palette.color(QPalette::Window).lightness() < 128;
  chart->setTheme(dark ? QChart::ChartThemeDark : QChart::ChartThemeLight);
  // The theme's own backdrop would stand out against the window around it.
  chart->setBackgroundBrush(palette.color(QPalette::Base));
  chart->setTitleBrush(palette.color(QPalette::Text));
  chart->legend()->setLabelColor(palette.color(QPalette::Text));
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setMargins(QMargins(4, 4, 4, 4));
}

}  // namespace tarne::desktop

namespace tarne::desktop {

void StyleAxis(QAbstractAxis* axis) {
  const QColor text = QApplication::palette().color(QPalette::Text);
  axis->setLabelsColor(text);
  axis->setTitleBrush(text);
  // A group's name is shown whole, also at a large scale.
  axis->setTruncateLabels(false);
}

}  // namespace tarne::desktop
