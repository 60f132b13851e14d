#include "app/icons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace app {

namespace {
QPixmap canvas(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}
}  // namespace

QIcon applicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128}) {
    QPixmap pixmap = canvas(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath leaf;
    leaf.moveTo(0.15 * s, 0.85 * s);
    leaf.cubicTo(0.10 * s, 0.35 * s, 0.45 * s, 0.10 * s, 0.88 * s, 0.12 * s);
    leaf.cubicTo(0.90 * s, 0.55 * s, 0.65 * s, 0.90 * s, 0.15 * s, 0.85 * s);
    p.setPen(QPen(QColor(0x2e, 0x6b, 0x3a), qMax(1.0, s / 24)));
    p.setBrush(QColor(0x5f, 0xa8, 0x5c, 200));
    p.drawPath(leaf);
    p.drawLine(QPointF(0.15 * s, 0.85 * s), QPointF(0.70 * s, 0.30 * s));
    icon.addPixmap(pixmap);
  }
  return icon;
}

QIcon padlockIcon() {
  QPixmap pixmap = canvas(16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(4.5, 1.5, 7, 9), 0, 180 * 16);
  p.drawLine(QPointF(4.5, 6), QPointF(4.5, 8));
  p.drawLine(QPointF(11.5, 6), QPointF(11.5, 8));
  p.setPen(QPen(QColor(0x80, 0x60, 0x00), 1));
  p.setBrush(QColor(0xe8, 0xc0, 0x30));
  p.drawRoundedRect(QRectF(2.5, 7.5, 11, 7.5), 1.5, 1.5);
  return QIcon(pixmap);
}

QIcon goIcon() {
  QPixmap pixmap = canvas(16);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x2e, 0x8b, 0x3a));
  p.drawEllipse(QRectF(1, 1, 14, 14));
  p.setBrush(Qt::white);
  const QPointF arrow[] = {{5, 4}, {12, 8}, {5, 12}};
  p.drawPolygon(arrow, 3);
  return QIcon(pixmap);
}

QIcon toolbarImage(int index) {
  QStyle* style = QApplication::style();
  switch (index) {
    case 1:
      return style->standardIcon(QStyle::SP_ArrowBack);
    case 2:
      return style->standardIcon(QStyle::SP_ArrowForward);
    case 3:
      return style->standardIcon(QStyle::SP_BrowserStop);
    case 4:
      return style->standardIcon(QStyle::SP_BrowserReload);
    case 5:
      return style->standardIcon(QStyle::SP_DirHomeIcon);
    case 6:
      return style->standardIcon(QStyle::SP_DriveNetIcon);
    case 7: {
      // A half-shown eye: the window that is there and not there.
      QPixmap pixmap = canvas(20);
      QPainter p(&pixmap);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
      QPainterPath eye;
      eye.moveTo(2, 10);
      eye.quadTo(10, 2, 18, 10);
      eye.quadTo(10, 18, 2, 10);
      p.drawPath(eye);
      p.setBrush(QColor(0x30, 0x30, 0x30));
      p.drawEllipse(QRectF(7, 7, 6, 6));
      p.setPen(QPen(QColor(0x30, 0x30, 0x30, 120), 1.5, Qt::DashLine));
      p.drawLine(QPointF(3, 17), QPointF(17, 3));
      return QIcon(pixmap);
    }
    default:
      return {};
  }
}

}  // namespace app
