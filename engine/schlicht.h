#pragma once
// The time step exactly as described, without any shortcut: every cell,
// every connection, every draw. The engine's fast paths must give the same
// course, bit for bit; the identity tests compare them with this, and the
// explanation of a time step (engine/erklaeren.h) runs it with a watcher.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

namespace velkor::schlicht {

// Step A of a cell: the firing test and what follows from it.
struct Feuertest {
  double potenzial = 0;  // at the test
  double schwelle = 0;
  bool gefeuert = false;  // potenzial >= schwelle
  // Moved by a firing only.
  double lernfaktorVorher = 0;
  double lernfaktorNachher = 0;
  // 0 after a firing, potenzial * abklingfaktor otherwise.
  double potenzialNachher = 0;
  double abklingfaktor = 0;
  int32_t refraktaerrestVorher = 0;
  int32_t refraktaerrestNachher = 0;
  // Outgoing connections that got a fresh spike (a firing launches on all).
  std::size_t gestartet = 0;
};

// Step B of a cell: the recovery of its learning factor.
struct Erholung {
  bool lief = false;      // refraktaerrest was 0 after step A
  bool wachstum = false;  // erholfaktor >= 1; otherwise the decay form
  double erholfaktor = 0;
  double lernfaktorstart = 0;
  double lernfaktorVorher = 0;
  double lernfaktorBerechnet = 0;  // by the formula, before the cap or the floor
  double lernfaktorNachher = 0;
  bool begrenzt = false;  // the cap (growth) or the floor (decay) was applied
};

// Step C of one connection: its per-step weight update.
struct Gewichtsschritt {
  int32_t quelle = 0;
  std::size_t verbindung = 0;  // list index in the net
  int32_t ziel = 0;
  double gewichtsfaktor = 0;
  // The windowed rule (target's aenderungsrate < 0); otherwise the weight is
  // multiplied by gewichtsfaktor and the fields below keep their defaults.
  bool fensterregel = false;
  bool zaehltAlsFeuernd = false;
  int32_t letzteankunft = -1;
  int32_t zeitfenster = -1;
  bool imfensterVorher = false;
  bool imfenster = false;
  double x = 0;       // X: the target's lernfaktor or lernfaktorstart
  double faktor = 0;  // (1 - X) + gewichtsfaktor * X, or gewichtsfaktor
  double gewichtVorher = 0;
  double gewichtNachher = 0;
};

// Phase 3: a countdown draw that stalled a spike (r > P).
struct Stockung {
  int32_t quelle = 0;
  std::size_t verbindung = 0;
  int32_t ziel = 0;
  int32_t laufzaehler = 0;  // stays
  int32_t zug = 0;          // the number drawn, 0..99
  int32_t pWert = 0;
};

// Phase 3: a spike that reached its target, accepted or lost.
struct Ankunft {
  int32_t quelle = 0;
  std::size_t verbindung = 0;
  int32_t ziel = 0;
  int32_t verzoegerung = 0;
  // Lost: the target's refraktaerrest was not 0 (it is given here).
  bool verloren = false;
  int32_t refraktaerrest = 0;
  // Learning at arrival, on the connection's values.
  double lernschritt = 0;
  double maximalgewicht = 0;
  bool verbraucht = false;  // maximalgewicht != startgewicht
  double gewichtVorher = 0;
  double gewicht = 0;  // after learning: what was added
  double lernfaktorVorher = 0;
  double lernfaktorNachher = 0;
  double potenzialVorher = 0;
  double potenzialNachher = 0;
  bool boden = false;  // the floor -schwelle was applied
};

// Told what the plain time step does, in the order it does it. Every
// callback does nothing by default. `beobachtet` chooses the cells to hear
// of, one byte per cell (not 0: watched); empty means every cell. A cell's
// steps A and B are told when the cell is watched, a connection's step C,
// stall or arrival when its source or its target is.
class Beobachter {
 public:
  virtual ~Beobachter() = default;
  std::vector<uint8_t> beobachtet;
  bool zelleBeobachtet(int32_t c) const { return beobachtet.empty() || beobachtet[static_cast<std::size_t>(c)] != 0; }
  bool verbindungBeobachtet(int32_t quelle, int32_t ziel) const {
    return beobachtet.empty() || beobachtet[static_cast<std::size_t>(quelle)] != 0 ||
           beobachtet[static_cast<std::size_t>(ziel)] != 0;
  }

  virtual void feuertest(int32_t /*zelle*/, const Feuertest& /*f*/) {}
  virtual void erholung(int32_t /*zelle*/, const Erholung& /*e*/) {}
  virtual void gewichtsschritt(const Gewichtsschritt& /*g*/) {}
  virtual void stockung(const Stockung& /*s*/) {}
  virtual void ankunft(const Ankunft& /*a*/) {}
};

// Phase 1 and phase 3; `beobachter` may be nullptr.
void feuern(Simulation& sim, Zyklusanzeige& anzeige, Beobachter* beobachter = nullptr);
void weiterleiten(Simulation& sim, Beobachter* beobachter = nullptr);
// zeilenvorschub, feuern, eingabelesen, weiterleiten, anzeigen, taktanzeige,
// zeittakt + 1, with the two phases above.
void einzelzyklus(Simulation& sim, Zyklusanzeige& anzeige, Beobachter* beobachter = nullptr);
// Time steps until `anhalten` is set (at least one); none on a faulty net.
int64_t zyklus(Simulation& sim, Zyklusanzeige& anzeige);

}  // namespace velkor::schlicht
