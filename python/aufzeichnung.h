#pragma once
// What the Python module records while the cycle runs: every firing, and
// chosen values of chosen cells at the end of every time step. Passes every
// hook on to the display where one is attached.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

namespace velkor {

// The cell values that can be recorded per time step.
enum class Messgroesse { potenzial, lernfaktor, refraktaerrest };

struct Spikespur {
  bool aktiv = false;
  std::vector<int32_t> takte;
  std::vector<int32_t> zellen;
};

struct Messreihe {
  Messgroesse groesse = Messgroesse::potenzial;
  std::vector<int32_t> zellen;
  bool aktiv = true;
  std::vector<int32_t> takte;
  std::vector<double> werte;  // one row of zellen.size() values per entry of takte
};

class Aufzeichnung final : public Zyklusanzeige {
 public:
  explicit Aufzeichnung(const Simulation& sim) : sim_(sim) {}

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
  void anzeigen() override {
    if (innen_ != nullptr) innen_->anzeigen();
  }
  void taktanzeige() override {
    if (innen_ != nullptr) innen_->taktanzeige();
    for (const auto& reihe : reihen) {
      if (reihe->aktiv) messen(*reihe);
    }
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

  std::shared_ptr<Spikespur> spikes = std::make_shared<Spikespur>();
  std::vector<std::shared_ptr<Messreihe>> reihen;

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
