#include "lauf/verlauf.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "engine/zyklus.h"

namespace velkor {

std::vector<int32_t> Verlauf::punktschritte() const {
  std::vector<int32_t> aus;
  aus.reserve(punkte_.size());
  for (const Punkt& p : punkte_) aus.push_back(p.bild.zeittakt);
  return aus;
}

void Verlauf::neuBeginnen(const Simulation& sim) {
  while (!punkte_.empty()) entfernen(punkte_.size() - 1);
  protokoll_.clear();
  speicher_ = 0;
  letzter_ = sim.zeittakt;
  vollstaendig_ = sim.zeittakt == 0;
  uhrLaeuft_ = false;
  seitPunkt_ = 0;
  punktkosten_ = 0;
  luecke_ = -1;
  ziel_ = -1;
}

void Verlauf::entfernen(std::size_t i) {
  Punkt& p = punkte_[i];
  // Only the blocks no other checkpoint shares are freed.
  std::size_t frei = p.bild.eigeneBytes();
  if (p.beilage) frei += p.beilage->bytes();
  speicher_ -= std::min(speicher_, frei);
  punkte_.erase(punkte_.begin() + static_cast<std::ptrdiff_t>(i));
}

void Verlauf::abschneiden(int32_t nach) {
  while (!punkte_.empty() && punkte_.back().bild.zeittakt > nach) entfernen(punkte_.size() - 1);
  while (!protokoll_.empty() && protokoll_.back().takt >= nach) protokoll_.pop_back();
  letzter_ = nach;
}

void Verlauf::aufnehmen(const Simulation& sim, bool fest) {
  const auto anfang = Uhr::now();
  Punkt* vorher = punkte_.empty() ? nullptr : &punkte_.back();
  std::size_t neu = 0;
  Punkt p;
  p.bild = zustandAufnehmen(sim, vorher != nullptr ? &vorher->bild : nullptr, &neu);
  p.fest = fest;
  if (beilageAufnehmen) {
    p.beilage = beilageAufnehmen();
    if (p.beilage) neu += p.beilage->bytes();
  }
  speicher_ += neu;
  // The newest checkpoint stays unpacked, so that the next one can compare
  // its blocks; what the one before holds alone is packed now.
  if (vorher != nullptr) {
    const Zustandsbild& n = p.bild;
    Zustandsbild& a = vorher->bild;
    speicher_ -= std::min(speicher_, a.packen(n, packer_));
  }
  // Two checkpoints of one step: the later one holds.
  if (vorher != nullptr && vorher->bild.zeittakt == p.bild.zeittakt) {
    p.fest = p.fest || vorher->fest;
    entfernen(punkte_.size() - 1);
  }
  punkte_.push_back(std::move(p));
  ausduennen();
  punktkosten_ = std::chrono::duration<double>(Uhr::now() - anfang).count();
  seitPunkt_ = 0;
}

void Verlauf::ausduennen() {
  // Over the budget: drop the checkpoint whose loss leaves the smallest gap
  // for its age, so that recent steps stay dense and old ones thin out. A
  // pinned one stays (a replay across it would miss its edit) unless it is
  // the oldest: then the history just begins later.
  while (speicher_ > budget && punkte_.size() > 1) {
    std::size_t beste = 0;
    double wert = -1;
    for (std::size_t i = 1; i + 1 < punkte_.size(); ++i) {
      if (punkte_[i].fest) continue;
      const double luecke = punkte_[i + 1].bild.zeittakt - punkte_[i - 1].bild.zeittakt;
      const double alter = std::max(1, letzter_ - punkte_[i].bild.zeittakt);
      const double w = alter / luecke;
      if (w > wert) {
        wert = w;
        beste = i;
      }
    }
    entfernen(beste);
  }
  // One checkpoint alone larger than the budget: none is kept.
  if (speicher_ > budget && punkte_.size() == 1) entfernen(0);
}

void Verlauf::schrittBeginn(Simulation& sim) {
  const auto jetzt = Uhr::now();
  if (uhrLaeuft_) seitPunkt_ += std::chrono::duration<double>(jetzt - letzterBeginn_).count();
  // A step taken after going back: the later history goes.
  if (sim.zeittakt < letzter_) abschneiden(sim.zeittakt);
  // A checkpoint when the steps since the last one took so long that its
  // cost is the allowed share of them.
  const bool faellig =
      punkte_.empty() || (sim.zeittakt > punkte_.back().bild.zeittakt && seitPunkt_ * zeitanteil >= punktkosten_);
  letzterBeginn_ = jetzt;
  if (faellig) {
    aufnehmen(sim, false);
    letzterBeginn_ = Uhr::now();  // the checkpoint's own time is no step time
  }
  letzter_ = std::max(letzter_, sim.zeittakt + 1);
  uhrLaeuft_ = true;
}

void Verlauf::aenderung(Simulation& sim) {
  if (sim.zeittakt < letzter_) abschneiden(sim.zeittakt);
  aufnehmen(sim, true);
  letzter_ = std::max(letzter_, sim.zeittakt);
  uhrLaeuft_ = false;
}

bool Verlauf::gehe(Simulation& sim, int32_t n, Zyklusanzeige& hooks, std::string& fehler) {
  if (punkte_.empty() || n < erster() || n > letzter_) {
    fehler = "step " + std::to_string(n) + " is not in the history (it holds steps " + std::to_string(erster()) +
             " to " + std::to_string(letzter_) + ")";
    return false;
  }
  // The nearest checkpoint at or before n; going forwards, the present state
  // may be nearer.
  std::size_t i = punkte_.size();
  while (i > 0 && punkte_[i - 1].bild.zeittakt > n) --i;
  const bool vonHier = sim.zeittakt <= n && (i == 0 || sim.zeittakt >= punkte_[i - 1].bild.zeittakt);
  if (!vonHier) {
    if (i == 0) {
      fehler = "step " + std::to_string(n) + " is not in the history";
      return false;
    }
    const Punkt& p = punkte_[i - 1];
    try {
      if (!zustandHerstellen(sim, p.bild, packer_, fehler)) return false;
    } catch (const std::exception& e) {
      fehler = e.what();
      return false;
    }
    if (beilageHerstellen) beilageHerstellen(p.beilage.get());
  }
  // Going back again into the gap the last call went to (step back, step
  // back, ...): this replay leaves checkpoints at n - 1, n - 2, n - 4, ...,
  // so that the next steps back find one close by.
  const int32_t anfang = sim.zeittakt;
  std::vector<int32_t> dicht;
  if (!vonHier && anfang == luecke_ && n < ziel_ && n - anfang > 8) {
    for (int32_t d = 1; n - d > anfang; d *= 2) dicht.push_back(n - d);
    std::reverse(dicht.begin(), dicht.end());
  }
  luecke_ = vonHier ? -1 : anfang;
  ziel_ = n;
  std::size_t j = 0;
  int32_t voriger = -1;  // the step of the checkpoint this replay took last
  while (sim.zeittakt < n) {
    if (j < dicht.size() && sim.zeittakt == dicht[j]) {
      // No checkpoint lies between the one restored and n.
      zwischenpunkt(sim, voriger);
      voriger = sim.zeittakt;
      ++j;
    }
    einzelzyklus(sim, hooks);
  }
  if (voriger >= 0) {
    // The last one taken is packed too, but for what it shares with the newest.
    Zustandsbild& b = punkt(voriger).bild;
    const Zustandsbild& neu = punkte_.back().bild;
    speicher_ -= std::min(speicher_, b.packen(neu, packer_));
    ausduennen();
  }
  sim.lauf.anhalten = true;
  uhrLaeuft_ = false;
  return true;
}

Verlauf::Punkt& Verlauf::punkt(int32_t schritt) {
  auto it = std::lower_bound(punkte_.begin(), punkte_.end(), schritt,
                             [](const Punkt& p, int32_t s) { return p.bild.zeittakt < s; });
  return *it;
}

void Verlauf::zwischenpunkt(const Simulation& sim, int32_t voriger) {
  // Compared with the one taken before in this replay, else with the newest:
  // both are unpacked, so equal blocks are shared.
  const Zustandsbild& basis = voriger >= 0 ? punkt(voriger).bild : punkte_.back().bild;
  Punkt p;
  std::size_t neu = 0;
  p.bild = zustandAufnehmen(sim, &basis, &neu);
  if (beilageAufnehmen) {
    p.beilage = beilageAufnehmen();
    if (p.beilage) neu += p.beilage->bytes();
  }
  speicher_ += neu;
  if (voriger >= 0) {
    Zustandsbild& a = punkt(voriger).bild;
    const Zustandsbild& n = p.bild;
    speicher_ -= std::min(speicher_, a.packen(n, packer_));
  }
  auto it = std::upper_bound(punkte_.begin(), punkte_.end(), p.bild.zeittakt,
                             [](int32_t s, const Punkt& q) { return s < q.bild.zeittakt; });
  punkte_.insert(it, std::move(p));
}

bool Verlauf::eingabeText(const Simulation& sim, std::string& text, std::string& fehler) const {
  if (!vollstaendig_) {
    fehler = "the input of this run was not written down from step 0 on (the history was off)";
    return false;
  }
  const Netz& netz = sim.netz;
  auto name = [&](int32_t c, std::string& aus) {
    if (c < 0 || c >= netz.zellenzahl) return true;  // ignored by the reader as well
    const std::string& n = netz.Zelltabelle[static_cast<std::size_t>(c)].name;
    if (n.empty() || n.front() == ' ' || n == "***" || n == "." || netz.suche(n) != c) {
      fehler = "cell " + std::to_string(c) + " cannot be named in an input file (its name \"" + n +
               "\" is empty or not unique)";
      return false;
    }
    aus = n;
    return true;
  };
  // Per step what phase 2 did, up to the present step; then the entries
  // given by hand for it.
  std::map<int32_t, std::vector<int32_t>> schritte;
  int32_t ende = -1;
  for (const Eintrag& e : protokoll_) {
    if (e.takt >= sim.zeittakt) break;
    if (e.zelle == -2) {
      if (ende < 0) ende = e.takt;
      continue;
    }
    schritte[e.takt].push_back(e.zelle);
  }
  for (const int32_t c : sim.eingabe.vorgemerkt()) schritte[sim.zeittakt].push_back(c);
  std::string aus;
  int32_t letzterHand = -1;
  for (const auto& [t, zellen] : schritte) {
    if (ende >= 0 && t >= ende) letzterHand = t;
  }
  for (const auto& [t, zellen] : schritte) {
    if (ende >= 0 && t > ende) break;
    for (const int32_t c : zellen) {
      if (c == -1) {
        aus += "*** " + std::to_string(t) + "\n";
        continue;
      }
      std::string n;
      if (!name(c, n)) return false;
      if (!n.empty()) aus += n + " " + std::to_string(t) + "\n";
    }
  }
  if (ende >= 0) {
    // The input ended at step `ende`. Entries given by hand after it keep it
    // going: every step up to the last of them stops a run, as the ended
    // input did, and the input ends with it.
    const int32_t bis = std::max(ende, letzterHand);
    for (int32_t t = ende; t <= bis; ++t) {
      if (t > ende) {
        auto it = schritte.find(t);
        if (it != schritte.end()) {
          for (const int32_t c : it->second) {
            std::string n;
            if (c < 0) continue;
            if (!name(c, n)) return false;
            if (!n.empty()) aus += n + " " + std::to_string(t) + "\n";
          }
        }
      }
      aus += "*** " + std::to_string(t) + (t == bis ? " .\n" : "\n");
    }
  } else {
    aus += sim.eingabe.resttext();
  }
  text = std::move(aus);
  return true;
}

}  // namespace velkor
