#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "shell/version.h"

namespace tarne::desktop {

namespace {

const QColor kBlue(0x24, 0x4f, 0x7a);
const QColor kBlueLight(0x3a, 0x76, 0xaf);
const QColor kPaper(0xfb, 0xf8, 0xf0);
const QColor kInk(0x9a, 0xa3, 0xad);
const QColor kBars[3] = {QColor(0xe0, 0x6c, 0x3c), QColor(0xf2, 0xb1, 0x34), QColor(0x5f, 0xb0, 0x6a)};

// The icon in a 64 by 64 design square (the SVG's coordinates).
void DrawIcon(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient back(0, 0, 0, 64);
  back.setColorAt(0, kBlueLight);
  back.setColorAt(1, kBlue);
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  // The essay: a sheet with a folded corner and lines of text.
  QPainterPath sheet;
  sheet.moveTo(12, 9);
  sheet.lineTo(38, 9);
  sheet.lineTo(46, 17);
  sheet.lineTo(46, 50);
  sheet.lineTo(12, 50);
  sheet.closeSubpath();
  p.setBrush(kPaper);
  p.drawPath(sheet);
  p.setBrush(QColor(0xd9, 0xd3, 0xc4));
  QPainterPath fold;
  fold.moveTo(38, 9);
  fold.lineTo(38, 17);
  fold.lineTo(46, 17);
  fold.closeSubpath();
  p.drawPath(fold);
  p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 5; ++i) {
    const double y = 16 + i * 6.5;
    p.drawLine(QPointF(17, y), QPointF(i == 0 ? 33 : (i == 4 ? 30 : 41), y));
  }
  // Three score groups as bars in front of the sheet.
  p.setPen(QPen(kBlue, 1.5));
  const double heights[3] = {12, 20, 28};
  for (int i = 0; i < 3; ++i) {
    p.setBrush(kBars[i]);
    p.drawRoundedRect(QRectF(30 + i * 9, 56 - heights[i], 8, heights[i]), 1.5, 1.5);
  }
}

}  // namespace

QPixmap IconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.scale(size / 64.0, size / 64.0);
  DrawIcon(p);
  return pixmap;
}

QIcon TarneIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(IconPixmap(size));
  return icon;
}

QPixmap SplashPicture() {
  QPixmap pixmap(369, 269);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient back(0, 0, 369, 269);
  back.setColorAt(0, kBlueLight);
  back.setColorAt(1, kBlue);
  p.fillRect(pixmap.rect(), back);
  // Faint ruled lines, like a sheet of exercise paper.
  p.setPen(QPen(QColor(255, 255, 255, 28), 1));
  for (int y = 20; y < 269; y += 18) p.drawLine(0, y, 369, y);
  p.drawPixmap(28, 56, IconPixmap(120));

  QFont title("Sans Serif", 40, QFont::Bold);
  title.setPixelSize(54);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRect(160, 60, 200, 70), Qt::AlignLeft | Qt::AlignVCenter, "Tarne");
  QFont line("Sans Serif");
  line.setPixelSize(14);
  p.setFont(line);
  p.setPen(QColor(0xe8, 0xf0, 0xf8));
  p.drawText(QRect(162, 128, 200, 40), Qt::AlignLeft | Qt::TextWordWrap,
             "Essay classification\nby naive Bayes");
  line.setPixelSize(11);
  p.setFont(line);
  p.setPen(QColor(0xc8, 0xd8, 0xe8));
  p.drawText(QRect(0, 236, 351, 20), Qt::AlignRight | Qt::AlignVCenter,
             QString("Version ") + kTarneVersion);
  // The three score-group colours as a strip along the foot.
  for (int i = 0; i < 3; ++i) p.fillRect(i * 123, 262, 123, 7, kBars[i]);
  return pixmap;
}

}  // namespace tarne::desktop
