#pragma once
// What the Python module records while the cycle runs: every firing, and
// chosen values of chosen cells at the end of every time step. Passes every
// hook on to the display where one is attached.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/simulation.h"
#include "engine/umlauf.h"
#include "engine/zyklusanzeige.h"

namespace velkor {

// The cell values that can be recorded per time step.
enum class Messgroesse { potenzial, lernfaktor, refraktaerrest };

// Set while a long call steps without the GIL: then no other thread may touch
// the net or the recordings. Shared with the recorders, which may outlive
// their simulation.
using Laufmarke = std::shared_ptr<std::atomic<bool>>;

inline void laufPruefen(const Laufmarke& marke) {
  if (marke && marke->load(std::memory_order_acquire)) {
    throw std::logic_error("the simulation is running in another thread; only time_step can be read meanwhile");
  }
}

struct Spikespur {
  Laufmarke laeuft;
  bool aktiv = false;
  std::vector<int32_t> takte;
  std::vector<int32_t> zellen;
};

struct Messreihe {
  Laufmarke laeuft;
  Messgroesse groesse = Messgroesse::potenzial;
  std::vector<int32_t> zellen;
  bool aktiv = true;
  std::vector<int32_t> takte;
  std::vector<double> werte;  // one row of zellen.size() values per entry of takte
};

class Aufzeichnung final : public Zyklusanzeige {
 public:
  explicit Aufzeichnung(const Simulation& sim) : sim_(sim) { spikes->laeuft = laeuft; }

  // The display that draws the steps, or none.
  void anzeigeSetzen(Zyklusanzeige* innen) { innen_ = innen; }

  void zeilenvorschub() override {
    if (innen_ != nullptr) innen_->zeilenvorschub();
  }
  void refraktaerEnde(int32_t zelle) override {
    if (innen_ != nullptr) innen_->refraktaerEnde(zelle);
  }
  void gefeuert(int32_t zelle) override {
    if (spikes->aktiv) {
      spikes->takte.push_back(sim_.zeittakt);
      spikes->zellen.push_back(zelle);
    }
    if (innen_ != nullptr) innen_->gefeuert(zelle);
  }
  void erregt(int32_t zelle) override {
    if (innen_ != nullptr) innen_->erregt(zelle);
  }
  void anzeigen() override {
    if (innen_ != nullptr) innen_->anzeigen();
  }
  void taktanzeige() override {
    if (innen_ != nullptr) innen_->taktanzeige();
    for (const auto& reihe : reihen) {
      if (reihe->aktiv) messen(*reihe);
    }
    takt.store(umlaufendPlus(sim_.zeittakt, 1), std::memory_order_relaxed);
    // A run stops after this step, as at a stop mark.
    if (abbruch != nullptr && abbruch()) abbruchLauf->anhalten = true;
  }
  void eingabeHinweis() override {
    if (innen_ != nullptr) innen_->eingabeHinweis();
  }
  void netzfehlerHinweis() override {
    if (innen_ != nullptr) innen_->netzfehlerHinweis();
  }

  // The cells of a series must lie inside the net; a reload that shrinks it
  // stops the series that no longer fit.
  void reihenPruefen() {
    for (const auto& reihe : reihen) {
      for (int32_t c : reihe->zellen) {
        if (c >= sim_.netz.zellenzahl) reihe->aktiv = false;
      }
    }
  }

  std::shared_ptr<Messreihe> neueReihe() {
    auto reihe = std::make_shared<Messreihe>();
    reihe->laeuft = laeuft;
    reihen.push_back(reihe);
    return reihe;
  }

  Laufmarke laeuft = std::make_shared<std::atomic<bool>>(false);
  std::shared_ptr<Spikespur> spikes = std::make_shared<Spikespur>();
  std::vector<std::shared_ptr<Messreihe>> reihen;
  // The next time step to run, for other threads while a call steps.
  std::atomic<int32_t> takt{0};
  // Asked after every time step of a long call; true stops it there.
  bool (*abbruch)() = nullptr;
  Laufzustand* abbruchLauf = nullptr;

 private:
  void messen(Messreihe& reihe) {
    reihe.takte.push_back(sim_.zeittakt);
    const auto& tabelle = sim_.netz.Zelltabelle;
    for (int32_t c : reihe.zellen) {
      const TZelle& z = tabelle[static_cast<std::size_t>(c)];
      switch (reihe.groesse) {
        case Messgroesse::potenzial:
          reihe.werte.push_back(z.potenzial);
          break;
        case Messgroesse::lernfaktor:
          reihe.werte.push_back(z.lernfaktor);
          break;
        case Messgroesse::refraktaerrest:
          reihe.werte.push_back(static_cast<double>(z.refraktaerrest));
          break;
      }
    }
  }

  const Simulation& sim_;
  Zyklusanzeige* innen_ = nullptr;
};

}  // namespace velkor
