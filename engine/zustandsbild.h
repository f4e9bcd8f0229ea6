#pragma once
// The whole state of a running simulation, taken at the start of a time step
// and put back later: everything a time step reads or writes that changes in
// a run (the cell table's values, the weights, counters of spikes in transit,
// latest arrivals and window marks, the run flags, P, zeittakt, the random
// generator, the input reader). What never changes in a run (targets, delays,
// names, the other connection columns) is not copied; the engine's derived
// state (plans, schedules, orders) is rebuilt after a restore.
//
// The columns are kept in blocks. A block equal to the one at the same place
// of an earlier picture is shared with it, so a picture costs what changed
// since the one before; blocks that are no longer the newest are compressed
// (zstd), which the small numbers of counters and arrival steps reward.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/eingabe.h"
#include "engine/laufzustand.h"

struct ZSTD_CCtx_s;
struct ZSTD_DCtx_s;

namespace velkor {

struct Simulation;
struct Netz;

// Scratch of the compressor, kept between pictures.
class Packer {
 public:
  Packer();
  ~Packer();
  Packer(const Packer&) = delete;
  Packer& operator=(const Packer&) = delete;
  ZSTD_CCtx_s* packen();
  ZSTD_DCtx_s* entpacken();
  std::vector<char> puffer;
  // The scratch of a second thread that packs beside this one.
  Packer& helfer();

 private:
  ZSTD_CCtx_s* c_ = nullptr;
  ZSTD_DCtx_s* d_ = nullptr;
  std::unique_ptr<Packer> helfer_;
};

// One column in blocks of `blockgroesse` bytes (the last one shorter).
struct Spaltenbild {
  static constexpr std::size_t blockgroesse = std::size_t{1} << 16U;
  struct Block {
    std::vector<char> daten;
    uint32_t roh = 0;  // bytes when unpacked
    bool gepackt = false;
  };
  std::vector<std::shared_ptr<Block>> bloecke;
  std::size_t bytes = 0;

  // Takes `n` bytes from `daten`; blocks equal to those of `vorher` are shared.
  // Returns the bytes newly held.
  std::size_t aufnehmen(const void* daten, std::size_t n, const Spaltenbild* vorher);
  // Writes the column back to `ziel` (bytes() bytes).
  void herstellen(void* ziel, Packer& packer) const;
  // Compresses the blocks not shared with `neuer`; returns the bytes saved.
  std::size_t packen(const Spaltenbild* neuer, Packer& packer);
  // Bytes held by blocks that only this picture holds.
  std::size_t eigeneBytes() const;
};

struct Zustandsbild {
  int32_t zeittakt = 0;
  Laufzustand lauf;
  int32_t pWert = 100;
  uint64_t zufall = 0;
  Eingabe::Lesestand eingabe;
  int32_t zellenzahl = 0;
  uint64_t verbindungszahl = 0;
  bool zaehler = false;  // some counter is not 0 (else the column is not kept)
  // While the engine runs by schedule the counters follow from the firing
  // step of each cell: those are kept instead (8 bytes a cell, not 4 a
  // connection), with the step of the next phase 3.
  bool nachPlan = false;
  int64_t planJetzt = 0;
  Spaltenbild feuerschritte;
  Spaltenbild zellen;  // the values of the cell table, see zustandsbild.cpp
  Spaltenbild gewicht, laufzaehler, letzteankunft, imfenster;

  // Bytes of the blocks (each counted, shared or not).
  std::size_t bytes() const;
  // The columns, in the order they are stored.
  std::array<Spaltenbild*, 6> spalten() {
    return {&zellen, &gewicht, &laufzaehler, &letzteankunft, &imfenster, &feuerschritte};
  }
  std::array<const Spaltenbild*, 6> spalten() const {
    return {&zellen, &gewicht, &laufzaehler, &letzteankunft, &imfenster, &feuerschritte};
  }
  // Packs the blocks not shared with `neuer` (each column with its own);
  // returns the bytes saved.
  std::size_t packen(const Zustandsbild& neuer, Packer& packer);
  // Bytes held by blocks that only this picture holds.
  std::size_t eigeneBytes() const;
};

// Takes the state of `sim` (between time steps). Blocks equal to those of
// `vorher` are shared with it. `neu` receives the bytes newly held.
Zustandsbild zustandAufnehmen(const Simulation& sim, const Zustandsbild* vorher, std::size_t* neu = nullptr);
// Puts `bild` back into `sim`: false, with `fehler` saying why, when it does
// not fit the loaded net or the input file has changed; then `sim` is as it was.
bool zustandHerstellen(Simulation& sim, const Zustandsbild& bild, Packer& packer, std::string& fehler);

// The values of a picture that a comparison of two states looks at: per cell,
// and the weights by place in the columns.
struct Bildwerte {
  std::vector<double> potenzial, lernfaktor;
  std::vector<int32_t> refraktaerrest;
  std::vector<double> gewicht;
};
Bildwerte bildwerte(const Zustandsbild& bild, Packer& packer);

// A picture as bytes that can be stored and read back in another process
// ("VELKZB01", then the fields; the blocks compressed). `kennung` names the
// net it belongs to (netzkennung), so that a picture of another net is refused.
std::string zustandsbytes(const Zustandsbild& bild, uint64_t kennung, Packer& packer);
// False, with `fehler`, for bytes that are not such a picture, are damaged,
// or belong to another net.
bool zustandAusBytes(std::string_view bytes, uint64_t kennung, Zustandsbild& bild, std::string& fehler);
// A fingerprint of what a run does not change: the cell count, names,
// targets, delays and the other connection columns of the net.
uint64_t netzkennung(const Netz& netz);

}  // namespace velkor
