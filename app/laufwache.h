#pragma once
// What a run until stop looks at between its time steps: Escape and the
// window's close button. Every few milliseconds it lets the event loop deliver
// what is pending, but only these two reach the program; every other key,
// click or menu command of the user is dropped, so no handler runs inside a
// run. Events that are not input (timers, exposure, the canvas's own paint)
// pass as always.

#include <QElapsedTimer>
#include <QObject>

class QWidget;

namespace velkor {

class Laufwache : public QObject {
 public:
  explicit Laufwache(QWidget& fenster);

  // Looks at pending input if the last look is at least `abstandMs` ago;
  // true once Escape or a close has arrived.
  bool pruefen();
  bool angehalten() const { return angehalten_; }
  bool schliessen() const { return schliessen_; }
  // True from the first look on: the run has lasted long enough to be stopped.
  bool gesehen() const { return gesehen_; }

  static constexpr int abstandMs = 10;

 protected:
  bool eventFilter(QObject* objekt, QEvent* e) override;

 private:
  QWidget& fenster_;
  QElapsedTimer uhr_;
  bool angehalten_ = false;
  bool schliessen_ = false;
  bool gesehen_ = false;
};

}  // namespace velkor
