#pragma once
// The tool window "Labor" beside the simulation window: the timeline of the
// history with its stop marks and breakpoints hit, the breakpoints, the
// entries given by hand for the next step and "Eingriffe speichern". It only
// asks the window to act; the window tells it when to show anew.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

namespace velkor {

class TForm1;
class Raster;
class Zelleninspektor;

// Passes every hook on and tells the raster of each firing and step end
// (no raster: only passes on).
class Werkzeughaken final : public Zyklusanzeige {
 public:
  Werkzeughaken(Zyklusanzeige& innen, const Simulation& sim, Raster* raster)
      : innen_(innen), sim_(sim), raster_(raster) {}
  void zeilenvorschub() override { innen_.zeilenvorschub(); }
  void refraktaerEnde(int32_t z) override { innen_.refraktaerEnde(z); }
  void gefeuert(int32_t z) override;
  void erregt(int32_t z) override { innen_.erregt(z); }
  void anzeigen() override { innen_.anzeigen(); }
  void taktanzeige() override;
  void eingabeHinweis() override { innen_.eingabeHinweis(); }
  void netzfehlerHinweis() override { innen_.netzfehlerHinweis(); }

 private:
  Zyklusanzeige& innen_;
  const Simulation& sim_;
  Raster* raster_;
};

// The history from its first to its last step as a bar: stop marks blue,
// breakpoints hit red, the present step as a black handle. A click or a drag
// chooses a step, which is gone to when the button is released.
class Zeitleiste : public QWidget {
  Q_OBJECT
 public:
  explicit Zeitleiste(QWidget* eltern = nullptr);

  struct Marke {
    int32_t takt;
    bool haltepunkt;
  };
  void setzen(int32_t erster, int32_t letzter, int32_t jetzt, std::vector<Marke> marken);
  int32_t erster() const { return erster_; }
  int32_t letzter() const { return letzter_; }
  int32_t jetzt() const { return jetzt_; }
  // The step at x (clamped to the history), and the x of a step.
  int32_t taktBei(int x) const;
  int xVon(int32_t takt) const;

  std::function<void(int32_t takt)> gewaehlt;

  QSize sizeHint() const override { return {360, 34}; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  int32_t erster_ = 0, letzter_ = 0, jetzt_ = 0;
  int32_t gezogen_ = -1;  // the step under the dragged handle, -1 when none is dragged
  std::vector<Marke> marken_;
};

class Labor : public QWidget {
  Q_OBJECT
 public:
  explicit Labor(TForm1& fenster);

  // Shows the window's present state: step, history, breakpoints, entries.
  void aktualisieren();
  Zelleninspektor* inspektor() const { return inspektor_; }
  Raster* raster() const { return raster_; }
  // "Spikes unterwegs zeigen": the cell view with the spikes in transit drawn over it.
  bool unterwegsZeigen() const;
  // The net was loaded anew (the raster forgets its steps).
  void netzGeladen();
  // The simulation went back or forth to another step without running it.
  void zurueckAuf(int32_t takt);

 private:
  void haltepunktAusEingabe(bool mitSchwelle);
  void haltepunktEntfernen();

  TForm1& f_;
  QLabel* stand_ = nullptr;
  QLabel* haltanzeige_ = nullptr;
  Zeitleiste* leiste_ = nullptr;
  QPushButton* zurueck_ = nullptr;
  QPushButton* vor_ = nullptr;
  QPushButton* stoppmarke_ = nullptr;
  QLineEdit* zelle_ = nullptr;
  QLineEdit* schwelle_ = nullptr;
  QListWidget* haltepunkte_ = nullptr;
  QLabel* vorgemerkt_ = nullptr;
  QPushButton* speichern_ = nullptr;
  QCheckBox* unterwegs_ = nullptr;
  Zelleninspektor* inspektor_ = nullptr;
  Raster* raster_ = nullptr;
};

}  // namespace velkor
