#pragma once
// The client area below the menu bar: shows the picture of the QImage canvas
// on every paint, so nothing is lost when the window is covered, and reports
// clicks and size changes to the window.

#include <QImage>
#include <QWidget>
#include <functional>

namespace velkor {

class QImageCanvas;

class Leinwand : public QWidget {
  Q_OBJECT
 public:
  Leinwand(QImageCanvas& canvas, QWidget* parent = nullptr);

  std::function<void()> geklickt;
  // Asked first: true when the press was taken (Shift+click, right-click on a cell).
  std::function<bool(QMouseEvent*)> gedrueckt;
  std::function<void()> groesseGeaendert;
  // Shown instead of the canvas's picture while set (the same size).
  const QImage* ueberlagerung = nullptr;

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QImageCanvas& canvas_;
};

}  // namespace velkor
