#include "app/widgets/AppImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace dkscr {

namespace {
using Drawer = std::function<void(QPainter&)>;

// Every picture is drawn on a 16 x 16 grid and scaled to the requested size.
QPixmap Draw(int size, const Drawer& draw) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  draw(p);
  return pm;
}

QIcon Icon(const Drawer& draw) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) icon.addPixmap(Draw(size, draw));
  return icon;
}

// An empty page: the outline of the others; alone, converted but with nothing to read.
void BlankPage(QPainter& p) {
  QPainterPath path;
  path.moveTo(3, 1);
  path.lineTo(10, 1);
  path.lineTo(13, 4);
  path.lineTo(13, 15);
  path.lineTo(3, 15);
  path.closeSubpath();
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawPath(path);
}

void Page(QPainter& p) {
  BlankPage(p);
  p.setPen(QPen(QColor(120, 140, 180), 1));
  for (int y = 5; y <= 12; y += 2) p.drawLine(QPointF(5, y + 0.5), QPointF(11, y + 0.5));
}

void Check(QPainter& p) {
  p.setPen(QPen(QColor(0, 150, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(6, 11), QPointF(9, 14), QPointF(15, 6)}));
}

void Cross(QPainter& p) {
  p.setPen(QPen(QColor(210, 0, 0), 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(8, 8), QPointF(14, 14));
  p.drawLine(QPointF(14, 8), QPointF(8, 14));
}

void Exclamation(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(230, 140, 0));
  p.drawEllipse(QPointF(11.5, 11.5), 4.2, 4.2);
  p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(11.5, 9), QPointF(11.5, 12));
  p.drawPoint(QPointF(11.5, 14));
}

// A page passed by: an arrow going round it.
void SkipArrow(QPainter& p) {
  p.setPen(QPen(QColor(40, 110, 200), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPainterPath arc;
  arc.moveTo(7, 14);
  arc.cubicTo(7, 8, 14, 8, 14, 12);
  p.setBrush(Qt::NoBrush);
  p.drawPath(arc);
  p.drawPolyline(QPolygonF({QPointF(11.5, 11), QPointF(14, 13.5), QPointF(15.5, 10.5)}));
}

void Plus(QPainter& p) {
  p.setPen(QPen(QColor(0, 130, 0), 2.2, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(12, 8), QPointF(12, 15));
  p.drawLine(QPointF(8.5, 11.5), QPointF(15.5, 11.5));
}

void Folder(QPainter& p) {
  p.setPen(QPen(QColor(150, 110, 20), 1));
  p.setBrush(QColor(250, 205, 90));
  QPainterPath path;
  path.moveTo(1, 3);
  path.lineTo(6, 3);
  path.lineTo(7, 5);
  path.lineTo(14, 5);
  path.lineTo(14, 13);
  path.lineTo(1, 13);
  path.closeSubpath();
  p.drawPath(path);
}

void Gear(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 100, 120));
  p.translate(8, 8);
  for (int i = 0; i < 8; ++i) {
    p.drawRect(QRectF(-1.3, -7.5, 2.6, 4));
    p.rotate(45);
  }
  p.drawEllipse(QPointF(0, 0), 5, 5);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(0, 0), 2, 2);
  p.resetTransform();
}

void Book(QPainter& p) {
  p.setPen(QPen(QColor(20, 60, 140), 1));
  p.setBrush(QColor(70, 120, 210));
  p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
  p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath q;
  q.moveTo(6, 6);
  q.cubicTo(6, 3, 10.5, 3, 10.5, 6);
  q.cubicTo(10.5, 8, 8, 8, 8, 10);
  p.drawPath(q);
  p.drawPoint(QPointF(8, 12.5));
}

void Clipboard(QPainter& p) {
  p.setPen(QPen(QColor(110, 70, 30), 1));
  p.setBrush(QColor(200, 150, 90));
  p.drawRoundedRect(QRectF(2.5, 2.5, 11, 13), 1, 1);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 4.5, 7, 9));
  p.setBrush(QColor(160, 160, 160));
  p.drawRect(QRectF(5.5, 1.5, 5, 3));
}

void ConvertArrow(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 90, 30));
  p.drawRect(QRectF(1, 3, 6, 6));
  p.setBrush(QColor(0, 110, 200));
  QPainterPath a;
  a.moveTo(7, 9);
  a.lineTo(11, 9);
  a.lineTo(11, 6.5);
  a.lineTo(15, 11);
  a.lineTo(11, 15.5);
  a.lineTo(11, 13);
  a.lineTo(7, 13);
  a.closeSubpath();
  p.drawPath(a);
}

void StopSign(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 20, 20));
  p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4, 7, 8, 2));
}

void LogLines(QPainter& p) {
  p.setPen(QPen(QColor(80, 80, 80), 1));
  p.setBrush(QColor(255, 250, 220));
  p.drawRect(QRectF(2.5, 1.5, 11, 13));
  p.setPen(QPen(QColor(40, 40, 40), 1));
  for (int y = 4; y <= 12; y += 2) p.drawLine(QPointF(4.5, y + 0.5), QPointF(y % 4 ? 9 : 11.5, y + 0.5));
}
}  // namespace

std::array<QIcon, kStateIconCount> MakeStateIcons() {
  return {Icon(Page), Icon([](QPainter& p) { Page(p); Check(p); }),
          Icon([](QPainter& p) { Page(p); Cross(p); }),
          Icon([](QPainter& p) { BlankPage(p); Exclamation(p); }),
          Icon([](QPainter& p) { Page(p); SkipArrow(p); })};
}

std::array<QIcon, 8> MakeMenuImages() {
  return {Icon(Gear),
          Icon(Book),
          Icon(Clipboard),
          Icon(ConvertArrow),
          Icon(StopSign),
          Icon([](QPainter& p) { Page(p); Plus(p); }),
          Icon([](QPainter& p) { Folder(p); Plus(p); }),
          Icon(LogLines)};
}

QIcon MakeProgramIcon() {
  return Icon([](QPainter& p) {
    p.setPen(QPen(QColor(150, 60, 20), 0.8));
    p.setBrush(QColor(215, 90, 40));
    p.drawRoundedRect(QRectF(0.5, 1.5, 9, 7), 1, 1);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(2, 3, 4, 1));
    p.drawRect(QRectF(2, 5, 6, 1));
    p.translate(5, 5);
    p.scale(0.7, 0.7);
    Page(p);
  });
}

}  // namespace dkscr
