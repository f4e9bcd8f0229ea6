#pragma once
// The live raster of the tools window: the firings of the last steps (time
// to the right, cells by index from the top), the population rate below,
// the selected cell marked. A net with more cells than pixel rows is shown
// in bins of cells, coloured by how many of a bin fired. Fed from the hooks
// of the time step on the window's thread; repainted at most about 30 times
// a second, so that an open raster costs a run little.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <vector>

namespace velkor {

// How the cells fall on the pixel rows: `fach` cells per row (1 while every
// cell has a row of its own), on the rows 0 .. zeilen - 1.
struct Rasterteilung {
  int32_t fach = 1;
  int32_t zeilen = 0;
  int32_t zeileVon(int32_t zelle) const { return zelle / fach; }
};
Rasterteilung rasterteilung(int32_t zellenzahl, int32_t pixelzeilen);

class Raster : public QWidget {
  Q_OBJECT
 public:
  explicit Raster(QWidget* parent = nullptr);

  // The net now shown has this many cells; forgets every step.
  void netzGeladen(int32_t zellenzahl);
  // A firing of `zelle` in step `takt` (from the hook, in cell order).
  void gefeuert(int32_t zelle, int32_t takt);
  // Step `takt` is done: its firings are kept (a step run again replaces them).
  void schrittEnde(int32_t takt);
  // The simulation stands at `takt` again: the steps from `takt` on are forgotten.
  void zurueckAuf(int32_t takt);
  // -1: none.
  void zelleMarkieren(int32_t zelle);

  // Steps shown (the newest at the right edge); 300 by default.
  void setSchrittzahl(int32_t n);
  int32_t schrittzahl() const { return schrittzahl_; }
  // The picture as paintEvent shows it, for the given size.
  QImage bild(QSize groesse) const;

  QSize sizeHint() const override { return {460, 320}; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  struct Schritt {
    int32_t takt = 0;
    std::vector<int32_t> zellen;  // fired, in cell order
  };
  void vergessenAb(int32_t takt);
  void neuZeichnen();

  int32_t zellenzahl_ = 0;
  int32_t schrittzahl_ = 300;
  int32_t markiert_ = -1;
  std::deque<Schritt> schritte_;  // oldest first
  std::vector<int32_t> offen_;    // firings of the step under way
  int32_t offenerTakt_ = 0;
  QElapsedTimer seitBild_;
  QTimer nachzug_;
};

}  // namespace velkor
