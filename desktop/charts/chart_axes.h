// Axis looks shared by the chart builders.
#pragma once

#include <QtCharts/QAbstractAxis>

namespace tarne::desktop {

// Labels and title in the palette's text colour.
void StyleAxis(QAbstractAxis* axis);

}  // namespace tarne::desktop
