#include "chart_pane.h"

#include <QBoxLayout>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QtCharts/QChartView>

namespace tarne::desktop {

ChartPane::ChartPane(Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
  charts_ = new QWidget(this);
  charts_->setObjectName("charts");
  chartsLayout_ = new QBoxLayout(
      orientation == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, charts_);
  chartsLayout_->setContentsMargins(0, 0, 0, 0);
  auto* save = new QPushButton(tr("Save Chart..."), this);
  save->setObjectName("saveChart");
  save->setToolTip(tr("Save these charts as a PNG picture or an SVG drawing"));
  connect(save, &QPushButton::clicked, this, &ChartPane::Save);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(charts_, 1);
  layout->addWidget(save, 0, Qt::AlignRight);

  chooseFile = [this] {
    QString filter = tr("PNG picture (*.png)");
    QString path = QFileDialog::getSaveFileName(
        this, tr("Save Chart"), QString(), tr("PNG picture (*.png);;SVG drawing (*.svg)"),
        &filter);
    // A name without a suffix takes the chosen type's.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
      path += filter.contains("svg") ? ".svg" : ".png";
    return path;
  };
}

void ChartPane::AddChart(QChart* chart) {
  auto* view = new QChartView(chart, charts_);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(260, 200);
  chartsLayout_->addWidget(view, 1);
  ++count_;
}

QString ChartPane::SaveTo(const QString& path) const {
  const QSize size = charts_->size();
  if (QFileInfo(path).suffix().compare("svg", Qt::CaseInsensitive) == 0) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(), size));
    svg.setTitle(window()->windowTitle());
    QPainter painter;
    if (!painter.begin(&svg)) return tr("Could not write file %1").arg(path);
    charts_->render(&painter);
    if (!painter.end()) return tr("Could not write file %1").arg(path);
    return QFileInfo::exists(path) ? QString() : tr("Could not write file %1").arg(path);
  }
  // Anything but .svg is saved as PNG, whatever its name says.
  if (!charts_->grab().save(path, "PNG")) return tr("Could not write file %1").arg(path);
  return {};
}

void ChartPane::Save() {
  const QString path = chooseFile();
  if (path.isEmpty()) return;
  const QString why = SaveTo(path);
  if (!why.isEmpty()) QMessageBox::warning(this, "Tarne", why);
}

}  // namespace tarne::desktop
