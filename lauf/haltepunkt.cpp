#include "lauf/haltepunkt.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <system_error>

namespace velkor {

namespace {

bool imNetz(const Netz& netz, int32_t zelle) { return zelle >= 0 && zelle < netz.zellenzahl; }

}  // namespace

void Haltepunkte::hinzufuegen(const Haltepunkte& weitere) {
  feuern.insert(feuern.end(), weitere.feuern.begin(), weitere.feuern.end());
  potenziale.insert(potenziale.end(), weitere.potenziale.begin(), weitere.potenziale.end());
  takte.insert(takte.end(), weitere.takte.begin(), weitere.takte.end());
}

Haltwache::Haltwache(Simulation& sim, Zyklusanzeige& innen, const Haltepunkte& haltepunkte, std::vector<Halt>& halte)
    : sim_(sim), innen_(innen), haltepunkte_(haltepunkte), halte_(halte), feuern_(haltepunkte.feuern) {
  // The firings come once per cell and step; a sorted list answers each with
  // a few comparisons, however large the net.
  std::sort(feuern_.begin(), feuern_.end());
  feuern_.erase(std::unique(feuern_.begin(), feuern_.end()), feuern_.end());
  anfaenge_.resize(haltepunkte.potenziale.size());
}

void Haltwache::zeilenvorschub() {
  getroffen_ = false;
  // The potentials as the step finds them: set by hand between steps too.
  const auto& marken = haltepunkte_.potenziale;
  for (std::size_t i = 0; i < marken.size(); ++i) {
    const int32_t c = marken[i].zelle;
    if (imNetz(sim_.netz, c)) anfaenge_[i] = sim_.netz.Zelltabelle[static_cast<std::size_t>(c)].potenzial;
  }
  innen_.zeilenvorschub();
}

void Haltwache::gefeuert(int32_t zelle) {
  // zeittakt is still the number of the step that runs.
  if (std::binary_search(feuern_.begin(), feuern_.end(), zelle)) {
    melden(Halt{Haltart::feuern, zelle, sim_.zeittakt, 0.0});
  }
  innen_.gefeuert(zelle);
}

void Haltwache::taktanzeige() {
  innen_.taktanzeige();
  // Phase 4 has run: the potentials are those the step leaves.
  const auto& marken = haltepunkte_.potenziale;
  for (std::size_t i = 0; i < marken.size(); ++i) {
    const Potenzialmarke& m = marken[i];
    if (!imNetz(sim_.netz, m.zelle)) continue;
    const double ende = sim_.netz.Zelltabelle[static_cast<std::size_t>(m.zelle)].potenzial;
    if (ueberschritten(anfaenge_[i], ende, m.wert)) melden(Halt{Haltart::potenzial, m.zelle, sim_.zeittakt, m.wert});
  }
  const auto& takte = haltepunkte_.takte;
  if (std::find(takte.begin(), takte.end(), sim_.zeittakt) != takte.end()) {
    melden(Halt{Haltart::takt, -1, sim_.zeittakt, 0.0});
  }
  // As a stop mark: the run ends after this step.
  if (getroffen_) sim_.lauf.anhalten = true;
}

void Haltwache::melden(const Halt& halt) {
  // A breakpoint given twice is reported once.
  if (std::find(halte_.begin(), halte_.end(), halt) == halte_.end()) halte_.push_back(halt);
  getroffen_ = true;
}

int32_t zelleNachText(const Netz& netz, std::string_view text) {
  const int32_t c = netz.suche(text);
  if (c < netz.zellenzahl) return c;
  std::string_view ziffern = text;
  if (ziffern.starts_with('#')) ziffern.remove_prefix(1);
  int32_t nummer = -1;
  const char* ende = ziffern.data() + ziffern.size();
  if (ziffern.empty() || ziffern.front() == '-' || ziffern.front() == '+') return -1;
  const auto [stelle, fehler] = std::from_chars(ziffern.data(), ende, nummer);
  if (fehler != std::errc{} || stelle != ende || !imNetz(netz, nummer)) return -1;
  return nummer;
}

}  // namespace velkor
