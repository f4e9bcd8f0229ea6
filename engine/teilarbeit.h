#pragma once
// What phases 1 and 3 hand between the parts of a time step that run on
// threads of their own.
//
// A phase is cut into more parts (pieces) than there are threads, and the
// threads take them as they become free (Faeden::verteilen); each piece has
// its own scratch here, so what it hands on does not depend on the thread
// that worked it.
//
// Phase 3 is split twice. First by sources: each piece walks a stretch of the
// walk (cells in index order, connections in list order), counts down and
// sorts its accepted arrivals by the piece of their target. Then by targets:
// each piece applies the arrivals at its own cells, stretch after stretch, so
// every target receives its arrivals in the order of the walk and no two
// threads touch one cell or one connection.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/faeden.h"

namespace velkor {

// An accepted arrival over connection k at cell `ziel`, in 16 bytes. The
// piece that notes it has the connection's columns at hand (a group's
// connections stand side by side), so it writes the arrival step there and
// takes the weight along: the piece that applies it then touches the target
// alone. The weight is the one at the arrival: only the arrival itself
// changes it in phase 3, and a connection arrives once a step at most.
// Whether the source's weights never change (Laufplan::festeGewichte) is
// the sign of the stored target. Places take 31 bits here: a net with more
// connections runs phase 3 on one thread (Laufplan::teilbarePlaetze). The
// top bit tells whether a learning connection uses up its target's learning
// factor (maximalgewicht != startgewicht), so that Lernwerte need not carry
// the start weight.
struct Ankunft {
  double gewicht;

  Ankunft() = default;
  Ankunft(std::size_t k_, int32_t ziel_, bool fest_, double gewicht_, bool verbraucht_ = false)
      : gewicht(gewicht_),
        kVerbraucht_(static_cast<uint32_t>(k_) | (verbraucht_ ? verbrauchtBit : 0U)),
        zielFest_(fest_ ? ~ziel_ : ziel_) {}
  std::size_t k() const { return kVerbraucht_ & ~verbrauchtBit; }
  bool verbraucht() const { return (kVerbraucht_ & verbrauchtBit) != 0; }
  int32_t ziel() const { return zielFest_ < 0 ? ~zielFest_ : zielFest_; }
  bool fest() const { return zielFest_ < 0; }

 private:
  static constexpr uint32_t verbrauchtBit = 1U << 31U;
  uint32_t kVerbraucht_ = 0;
  int32_t zielFest_ = 0;
};
static_assert(sizeof(Ankunft) == 16);

// What the learning rule at arrival reads of a connection besides its weight
// (and the start weight, of which the arrival keeps one bit),
// taken along with an arrival whose source learns: these columns do not
// change in phase 3, and the noting piece has them side by side, while the
// applying piece would find them one line each at a random place.
struct Lernwerte {
  double lernschritt;
  double maximalgewicht;
};

// The first cell of piece s of a walk over the cells erste .. zellenzahl - 1
// in `stuecke` pieces (piece `stuecke` begins at zellenzahl). The pieces of
// a phase come in blocks of Faeden::stueckeJeTeil, one block per thread,
// and the blocks are equal stretches. Within a block the pieces shrink (4 :
// 3 : 2 : 1 of the block for four): a thread that is through with its own
// block takes what is left of the other's, its short last pieces, so the
// threads end a phase closer together than with pieces of one size. A count
// that is no whole number of blocks is cut into equal pieces.
inline int32_t stueckanfang(int32_t erste, int32_t zellenzahl, int32_t s, int32_t stuecke) {
  const int64_t zahl = int64_t{zellenzahl} - erste;
  constexpr int64_t n = Faeden::stueckeJeTeil;
  if (stuecke <= 0 || stuecke % n != 0) return static_cast<int32_t>(erste + zahl * s / (stuecke > 0 ? stuecke : 1));
  // Piece j of a block weighs n - j; those before it weigh j * n - j * (j - 1) / 2.
  constexpr int64_t block = n * (n + 1) / 2;
  const int64_t b = s / n;
  const int64_t j = s % n;
  return static_cast<int32_t>(erste + zahl * (block * b + j * n - j * (j - 1) / 2) / (block * (stuecke / n)));
}

// The target cells of n parts: equal stretches of the table.
class Zielteilung {
 public:
  Zielteilung(int32_t zellen, int32_t teile)
      : proTeil_(static_cast<uint32_t>((zellen + teile - 1) / (teile > 0 ? teile : 1))) {
    if (proTeil_ == 0) proTeil_ = 1;
  }
  std::size_t teil(int32_t zelle) const { return static_cast<uint32_t>(zelle) / proTeil_; }

 private:
  uint32_t proTeil_;
};

// The arrivals one process of a shared run handed on: `anzahl` of them from
// `anfang` on (engine/verbund.h).
struct Buendel {
  const unsigned char* anfang = nullptr;
  uint64_t anzahl = 0;
};

// One part's scratch, kept between time steps so that a step allocates nothing.
struct alignas(64) Teilarbeit {
  // Phase 3: the accepted arrivals of this part's stretch, by target part,
  // and for those whose source learns (not fest) their Lernwerte, in the
  // same order.
  std::vector<std::vector<Ankunft>> nachZiel;
  std::vector<std::vector<Lernwerte>> lernNachZiel;
  // Phase 3: sources whose weights turned out to change (see festeGewichte).
  std::vector<int32_t> nichtMehrFest;
  // Phase 3 by countdown: cells of this stretch still in transit; the draws
  // this stretch makes (or, at P >= 99, counts).
  std::vector<int32_t> unterwegs;
  uint64_t zuege = 0;
  // Phase 1: firings (the cell) and ends of refractory phases (~cell) in
  // cell order, for the display and the schedule on the calling thread.
  std::vector<int32_t> ereignisse;
  // Phase 1 by countdown: cells that launched spikes.
  std::vector<int32_t> gestartet;
  // Phase 1: the weights of one cell's windowed connections.
  std::vector<double> gerettet;

  void vorbereiten(std::size_t teile) {
    nachZiel.resize(teile);
    for (std::vector<Ankunft>& l : nachZiel) l.clear();
    lernNachZiel.resize(teile);
    for (std::vector<Lernwerte>& l : lernNachZiel) l.clear();
    nichtMehrFest.clear();
    unterwegs.clear();
    zuege = 0;
    ereignisse.clear();
    gestartet.clear();
  }
};

// Stretches of a walk over `n` items of given weights, as even as the items
// allow: grenzen[p] .. grenzen[p + 1] is part p's. `gewicht(i)` is the work of item i.
template <class Gewicht>
void teilen(std::size_t n, int32_t teile, Gewicht gewicht, std::vector<std::size_t>& grenzen) {
  grenzen.assign(static_cast<std::size_t>(teile) + 1, n);
  grenzen[0] = 0;
  uint64_t summe = 0;
  for (std::size_t i = 0; i < n; ++i) summe += gewicht(i) + 1;
  uint64_t bisher = 0;
  std::size_t p = 1;
  for (std::size_t i = 0; i < n && p < static_cast<std::size_t>(teile); ++i) {
    while (p < static_cast<std::size_t>(teile) && bisher * static_cast<uint64_t>(teile) >= summe * p) grenzen[p++] = i;
    bisher += gewicht(i) + 1;
  }
}

}  // namespace velkor
