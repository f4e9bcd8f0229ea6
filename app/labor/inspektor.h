#pragma once
// The cell inspector of the tools window: one cell's parameters and state
// now, the explanation of the step that ran last in plain German, its
// potential over the steps seen as a small plot with the threshold, and its
// incoming and outgoing connections with the spikes under way on them.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/erklaeren.h"
#include "engine/simulation.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

namespace velkor {

// The explanation of a step in the German of the window: "feuerte, weil …"
// or "feuerte nicht: …", then what the step did to the cell. For a firing,
// `vorige` (the explanation of the step before, if known) gives the
// arrivals and the input that brought the potential over the threshold.
std::string erklaerungDeutsch(const Erklaerung& e, const Erklaerung* vorige, const Netz& netz);

// A small plot of (step, potential) with the threshold as a dashed line.
class Potenzialplot : public QWidget {
  Q_OBJECT
 public:
  struct Wert {
    int32_t takt = 0;
    double potenzial = 0;
  };
  explicit Potenzialplot(QWidget* parent = nullptr);
  void setzen(const std::deque<Wert>* werte, std::optional<double> schwelle);
  QSize sizeHint() const override { return {360, 90}; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  const std::deque<Wert>* werte_ = nullptr;
  std::optional<double> schwelle_;
};

class Zelleninspektor : public QWidget {
  Q_OBJECT
 public:
  // The explanation of `zelle` in time step `takt` (one that has run).
  using Erklaerer = std::function<std::optional<Erklaerung>(int32_t zelle, int32_t takt)>;
  Zelleninspektor(Simulation& sim, Erklaerer erklaerer, QWidget* parent = nullptr);
  // The potential of a cell at the start of each step of the history up to
  // now, for the plot when the cell is chosen (empty: from the choice on).
  using Vorgeschichte = std::function<std::vector<Potenzialplot::Wert>(int32_t zelle)>;
  void vorgeschichteSetzen(Vorgeschichte v) { vorgeschichte_ = std::move(v); }

  // Shows cell `zelle` (-1 or a number outside the net: none); tells
  // zelleGewaehlt when the choice changed.
  void zelleWaehlen(int32_t zelle);
  int32_t zelle() const { return zelle_; }
  // After every step and after going back: notes the potential (the steps
  // from the current one on are cut off first) and the explanation; the
  // lists and texts follow at most 10 times a second.
  void aktualisieren();

  // What the explanation field shows (or will show at its next refresh).
  std::string erklaerungstext() const;
  // The potentials noted for the chosen cell, oldest first.
  const std::deque<Potenzialplot::Wert>& potenzialverlauf() const { return verlauf_; }

 signals:
  void zelleGewaehlt(int32_t zelle);
  void haltepunktGewuenscht(int32_t zelle, std::optional<double> potenzial);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void namenEingegeben();
  void potenzialEingegeben();
  void listeGeklickt(QListWidgetItem* eintrag);
  void anzeigen();  // every field from the notes and the net
  void verbindungenZeigen();
  void eingaengeSuchen();
  void spaeterAnzeigen();

  Simulation& sim_;
  Erklaerer erklaerer_;
  Vorgeschichte vorgeschichte_;
  int32_t zelle_ = -1;
  std::deque<Potenzialplot::Wert> verlauf_;
  std::deque<Erklaerung> erklaerungen_;  // of the chosen cell, by step, the last few
  // Incoming connections of the chosen cell: (source, list index), found
  // once per choice; the net they were found in.
  std::vector<std::pair<int32_t, std::size_t>> eingaenge_;
  std::size_t eingaengeFuer_ = 0;
  const int32_t* eingaengeZiele_ = nullptr;

  QLineEdit* name_;
  QLabel* meldung_;
  QLabel* werte_;
  QPlainTextEdit* erklaerung_;
  Potenzialplot* plot_;
  QListWidget* eingangsliste_;
  QListWidget* ausgangsliste_;
  QLineEdit* potenzialfeld_;
  QElapsedTimer seitAnzeige_;
  QTimer nachzug_;
  bool erklaerungFaellig_ = false;  // a step ran since the explanation was made
  void erklaerungHolen();
};

}  // namespace velkor
