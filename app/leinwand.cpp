#include "app/leinwand.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "display/qt/qimagecanvas.h"

namespace velkor {

Leinwand::Leinwand(QImageCanvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
  setObjectName(QStringLiteral("Leinwand"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  // a small green label in the top-left corner, never changed
  auto* statisch = new QLabel(QString(16, QLatin1Char(' ')), this);
  statisch->setObjectName(QStringLiteral("StaticText1"));
  statisch->setGeometry(0, 0, 52, 17);
  statisch->setAutoFillBackground(true);
  QPalette p = statisch->palette();
  p.setColor(QPalette::Window, QColor(0, 255, 0));
  statisch->setPalette(p);
}

void Leinwand::paintEvent(QPaintEvent* e) {
  QPainter maler(this);
  maler.fillRect(e->rect(), Qt::white);
  maler.drawImage(e->rect().topLeft(), ueberlagerung != nullptr ? *ueberlagerung : canvas_.bild(), e->rect());
}

void Leinwand::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  if (gedrueckt && gedrueckt(e)) return;
  if (geklickt) geklickt();
}

void Leinwand::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (groesseGeaendert) groesseGeaendert();
}

}  // namespace velkor
