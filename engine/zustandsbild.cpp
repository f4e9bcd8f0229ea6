#include "engine/zustandsbild.h"

#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <type_traits>

#include "engine/ankunftsplan.h"
#include "engine/simulation.h"

namespace velkor {

namespace {

// The values of one cell that a run or an edit between steps can change:
// every number of the record (the name is fixed after a load).
struct Zellwerte {
  double potenzial, schwelle, abklingfaktor, lernfaktor, lernfaktorstart, erholfaktor, aenderungsrate;
  int32_t refraktaerrest, refraktaerzeit, zeile, spalte, pegel;
  uint8_t zeileVerschoben, spalteVerschoben, frei[2];
};
static_assert(std::is_trivially_copyable_v<Zellwerte>);

std::vector<Zellwerte> zellwerte(const Netz& netz) {
  std::vector<Zellwerte> aus(netz.Zelltabelle.size());
  for (std::size_t c = 0; c < aus.size(); ++c) {
    const TZelle& z = netz.Zelltabelle[c];
    Zellwerte& w = aus[c];
    std::memset(&w, 0, sizeof w);  // padding too, so equal cells give equal bytes
    w.potenzial = z.potenzial;
    w.schwelle = z.schwelle;
    w.abklingfaktor = z.abklingfaktor;
    w.lernfaktor = z.lernfaktor;
    w.lernfaktorstart = z.lernfaktorstart;
    w.erholfaktor = z.erholfaktor;
    w.aenderungsrate = z.aenderungsrate;
    w.refraktaerrest = z.refraktaerrest;
    w.refraktaerzeit = z.refraktaerzeit;
    w.zeile = z.zeile;
    w.spalte = z.spalte;
    w.pegel = z.pegel;
    w.zeileVerschoben = z.zeileVerschobenAufMinusEins ? 1 : 0;
    w.spalteVerschoben = z.spalteVerschobenAufMinusEins ? 1 : 0;
  }
  return aus;
}

void zellwerteSetzen(Netz& netz, const std::vector<Zellwerte>& werte) {
  for (std::size_t c = 0; c < werte.size(); ++c) {
    TZelle& z = netz.Zelltabelle[c];
    const Zellwerte& w = werte[c];
    z.potenzial = w.potenzial;
    z.schwelle = w.schwelle;
    z.abklingfaktor = w.abklingfaktor;
    z.lernfaktor = w.lernfaktor;
    z.lernfaktorstart = w.lernfaktorstart;
    z.erholfaktor = w.erholfaktor;
    z.aenderungsrate = w.aenderungsrate;
    z.refraktaerrest = w.refraktaerrest;
    z.refraktaerzeit = w.refraktaerzeit;
    z.zeile = w.zeile;
    z.spalte = w.spalte;
    z.pegel = w.pegel;
    z.zeileVerschobenAufMinusEins = w.zeileVerschoben != 0;
    z.spalteVerschobenAufMinusEins = w.spalteVerschoben != 0;
  }
}

// Level 1: a picture is taken while the run goes, so speed counts more than
// the last percent of size.
constexpr int packstufe = 1;

template <class T>
std::size_t aufnehmenSpalte(Spaltenbild& bild, const std::vector<T>& spalte, const Spaltenbild* vorher) {
  return bild.aufnehmen(spalte.data(), spalte.size() * sizeof(T), vorher);
}

template <class T>
void herstellenSpalte(const Spaltenbild& bild, std::vector<T>& spalte, std::size_t n, Packer& packer) {
  spalte.resize(n);
  bild.herstellen(spalte.data(), packer);
}

}  // namespace

Packer::Packer() = default;
Packer::~Packer() {
  ZSTD_freeCCtx(c_);
  ZSTD_freeDCtx(d_);
}
ZSTD_CCtx* Packer::packen() {
  if (c_ == nullptr) c_ = ZSTD_createCCtx();
  if (c_ == nullptr) throw std::bad_alloc();
  return c_;
}
Packer& Packer::helfer() {
  if (!helfer_) helfer_ = std::make_unique<Packer>();
  return *helfer_;
}
ZSTD_DCtx* Packer::entpacken() {
  if (d_ == nullptr) d_ = ZSTD_createDCtx();
  if (d_ == nullptr) throw std::bad_alloc();
  return d_;
}

std::size_t Spaltenbild::aufnehmen(const void* daten, std::size_t n, const Spaltenbild* vorher) {
  const auto* quelle = static_cast<const char*>(daten);
  bytes = n;
  const std::size_t anzahl = (n + blockgroesse - 1) / blockgroesse;
  bloecke.assign(anzahl, nullptr);
  const bool vergleichbar = vorher != nullptr && vorher->bytes == n;
  std::size_t neu = 0;
  for (std::size_t b = 0; b < anzahl; ++b) {
    const std::size_t anfang = b * blockgroesse;
    const std::size_t laenge = std::min(blockgroesse, n - anfang);
    if (vergleichbar) {
      const std::shared_ptr<Block>& alt = vorher->bloecke[b];
      if (!alt->gepackt && std::memcmp(alt->daten.data(), quelle + anfang, laenge) == 0) {
        bloecke[b] = alt;
        continue;
      }
    }
    auto block = std::make_shared<Block>();
    block->daten.assign(quelle + anfang, quelle + anfang + laenge);
    block->roh = static_cast<uint32_t>(laenge);
    neu += laenge;
    bloecke[b] = std::move(block);
  }
  return neu;
}

void Spaltenbild::herstellen(void* ziel, Packer& packer) const {
  auto* aus = static_cast<char*>(ziel);
  for (std::size_t b = 0; b < bloecke.size(); ++b) {
    const Block& block = *bloecke[b];
    char* stelle = aus + b * blockgroesse;
    if (!block.gepackt) {
      std::memcpy(stelle, block.daten.data(), block.roh);
      continue;
    }
    const std::size_t n =
        ZSTD_decompressDCtx(packer.entpacken(), stelle, block.roh, block.daten.data(), block.daten.size());
    if (ZSTD_isError(n) != 0 || n != block.roh) throw std::runtime_error("a block of the history is damaged");
  }
}

namespace {

// Packs one block in place; the bytes saved. Kept unpacked where packing
// does not save a quarter.
std::size_t blockPacken(Spaltenbild::Block& block, Packer& packer) {
  packer.puffer.resize(ZSTD_compressBound(block.roh));
  const std::size_t n = ZSTD_compressCCtx(packer.packen(), packer.puffer.data(), packer.puffer.size(),
                                          block.daten.data(), block.roh, packstufe);
  if (ZSTD_isError(n) != 0 || n > block.roh - block.roh / 4) return 0;
  const std::size_t gespart = block.daten.size() - n;
  block.daten.assign(packer.puffer.data(), packer.puffer.data() + n);
  block.daten.shrink_to_fit();
  block.gepackt = true;
  return gespart;
}

// Below this many blocks a column is packed on one thread.
constexpr std::size_t geteiltAb = 32;

}  // namespace

std::size_t Spaltenbild::packen(const Spaltenbild* neuer, Packer& packer) {
  std::vector<Block*> offen;
  for (std::size_t b = 0; b < bloecke.size(); ++b) {
    if (bloecke[b]->gepackt) continue;
    if (neuer != nullptr && b < neuer->bloecke.size() && neuer->bloecke[b] == bloecke[b]) continue;
    offen.push_back(bloecke[b].get());
  }
  // Each block stands at one place of the column only: two threads never
  // meet at one.
  std::size_t gespart = 0;
  std::size_t mitte = offen.size();
  std::size_t gespartHelfer = 0;
  std::thread helfer;
  if (offen.size() >= geteiltAb && std::thread::hardware_concurrency() >= 2) {
    mitte = offen.size() / 2;
    Packer& zweiter = packer.helfer();
    helfer = std::thread([&offen, mitte, &zweiter, &gespartHelfer] {
      for (std::size_t i = mitte; i < offen.size(); ++i) gespartHelfer += blockPacken(*offen[i], zweiter);
    });
  }
  for (std::size_t i = 0; i < mitte; ++i) gespart += blockPacken(*offen[i], packer);
  if (helfer.joinable()) helfer.join();
  return gespart + gespartHelfer;
}

std::size_t Spaltenbild::eigeneBytes() const {
  std::size_t n = 0;
  for (const auto& b : bloecke) {
    if (b.use_count() == 1) n += b->daten.size();
  }
  return n;
}

std::size_t Zustandsbild::bytes() const {
  std::size_t n = sizeof(*this) + eingabe.eingabeZeile.size() + eingabe.vorgemerkt.size() * 4;
  for (const Spaltenbild* s : spalten()) {
    for (const auto& b : s->bloecke) n += b->daten.size();
  }
  return n;
}

std::size_t Zustandsbild::packen(const Zustandsbild& neuer, Packer& packer) {
  std::size_t gespart = 0;
  const auto andere = neuer.spalten();
  const auto eigene = spalten();
  for (std::size_t i = 0; i < eigene.size(); ++i) gespart += eigene[i]->packen(andere[i], packer);
  return gespart;
}

std::size_t Zustandsbild::eigeneBytes() const {
  std::size_t n = 0;
  for (const Spaltenbild* s : spalten()) n += s->eigeneBytes();
  return n;
}

Zustandsbild zustandAufnehmen(const Simulation& sim, const Zustandsbild* vorher, std::size_t* neu) {
  Zustandsbild bild;
  bild.zeittakt = sim.zeittakt;
  bild.lauf = sim.lauf;
  bild.pWert = sim.param.pWert;
  bild.zufall = sim.zufall.zustand();
  bild.eingabe = sim.eingabe.lesestand();
  bild.zellenzahl = sim.netz.zellenzahl;
  const Verbindungen& v = sim.netz.verbindungen;
  bild.verbindungszahl = v.size();
  std::size_t n = 0;
  n += aufnehmenSpalte(bild.zellen, zellwerte(sim.netz), vorher != nullptr ? &vorher->zellen : nullptr);
  n += aufnehmenSpalte(bild.gewicht, v.gewicht, vorher != nullptr ? &vorher->gewicht : nullptr);
  // The counters: while the engine keeps spikes by schedule, the firing steps
  // they follow from.
  const Ankunftsplan& plan = sim.plan.ereignisse;
  std::vector<int32_t> zaehler;
  if (plan.aktiv() && plan.feuerschritte().size() == static_cast<std::size_t>(bild.zellenzahl)) {
    bild.nachPlan = true;
    bild.planJetzt = plan.jetzt();
    n +=
        aufnehmenSpalte(bild.feuerschritte, plan.feuerschritte(), vorher != nullptr ? &vorher->feuerschritte : nullptr);
  } else {
    if (plan.aktiv()) plan.zaehlerSchreiben(sim.netz, zaehler);
    const std::vector<int32_t>& z = plan.aktiv() ? zaehler : v.laufzaehler;
    bild.zaehler = z.size() == v.size() && std::any_of(z.begin(), z.end(), [](int32_t x) { return x != 0; });
    if (bild.zaehler) n += aufnehmenSpalte(bild.laufzaehler, z, vorher != nullptr ? &vorher->laufzaehler : nullptr);
  }
  n += aufnehmenSpalte(bild.letzteankunft, v.letzteankunft, vorher != nullptr ? &vorher->letzteankunft : nullptr);
  n += aufnehmenSpalte(bild.imfenster, v.imfenster, vorher != nullptr ? &vorher->imfenster : nullptr);
  if (neu != nullptr) *neu = n;
  return bild;
}

bool zustandHerstellen(Simulation& sim, const Zustandsbild& bild, Packer& packer, std::string& fehler) {
  Netz& netz = sim.netz;
  Verbindungen& v = netz.verbindungen;
  if (bild.zellenzahl != netz.zellenzahl || bild.verbindungszahl != v.size() ||
      bild.zellen.bytes != static_cast<std::size_t>(netz.zellenzahl) * sizeof(Zellwerte) ||
      bild.gewicht.bytes != v.size() * sizeof(double) || bild.letzteankunft.bytes != v.size() * sizeof(int32_t) ||
      bild.imfenster.bytes != v.size() || (bild.zaehler && bild.laufzaehler.bytes != v.size() * sizeof(int32_t)) ||
      (bild.nachPlan && bild.feuerschritte.bytes != static_cast<std::size_t>(netz.zellenzahl) * sizeof(int64_t))) {
    fehler = "the state belongs to another net (" + std::to_string(bild.zellenzahl) + " cells, " +
             std::to_string(bild.verbindungszahl) + " connections; loaded: " + std::to_string(netz.zellenzahl) +
             " cells, " + std::to_string(v.size()) + " connections)";
    return false;
  }
  // The input first: the one part that can fail on the way.
  if (!sim.eingabe.lesestandSetzen(bild.eingabe, fehler)) return false;
  std::vector<Zellwerte> werte;
  herstellenSpalte(bild.zellen, werte, static_cast<std::size_t>(netz.zellenzahl), packer);
  zellwerteSetzen(netz, werte);
  herstellenSpalte(bild.gewicht, v.gewicht, v.size(), packer);
  if (bild.nachPlan) {
    std::vector<int64_t> schritte;
    herstellenSpalte(bild.feuerschritte, schritte, static_cast<std::size_t>(netz.zellenzahl), packer);
    Ankunftsplan::zaehlerAus(netz, schritte.data(), bild.planJetzt, v.laufzaehler);
  } else if (bild.zaehler) {
    herstellenSpalte(bild.laufzaehler, v.laufzaehler, v.size(), packer);
  } else {
    v.laufzaehler.assign(v.size(), 0);
  }
  herstellenSpalte(bild.letzteankunft, v.letzteankunft, v.size(), packer);
  herstellenSpalte(bild.imfenster, v.imfenster, v.size(), packer);
  sim.zeittakt = bild.zeittakt;
  // Of the flags only what the time steps set: the others belong to the
  // front end (the trace log, how "Neustart" seeds).
  sim.lauf.eingabeEnde = bild.lauf.eingabeEnde;
  sim.param.pWert = bild.pWert;
  sim.zufall.zustandSetzen(bild.zufall);
  // The counters are exact now: whatever the engine derived is built again.
  sim.plan.verwerfen();
  return true;
}

Bildwerte bildwerte(const Zustandsbild& bild, Packer& packer) {
  Bildwerte aus;
  std::vector<Zellwerte> werte;
  herstellenSpalte(bild.zellen, werte, bild.zellen.bytes / sizeof(Zellwerte), packer);
  for (const Zellwerte& w : werte) {
    aus.potenzial.push_back(w.potenzial);
    aus.lernfaktor.push_back(w.lernfaktor);
    aus.refraktaerrest.push_back(w.refraktaerrest);
  }
  herstellenSpalte(bild.gewicht, aus.gewicht, bild.gewicht.bytes / sizeof(double), packer);
  return aus;
}

namespace {

constexpr std::string_view kopf = "VELKZB01";

uint64_t fnv(const void* daten, std::size_t n, uint64_t h = 14695981039346656037ULL) {
  const auto* p = static_cast<const unsigned char*>(daten);
  // Eight bytes at a time where possible: the fingerprint of a large net
  // should cost a pass over its columns, not a byte loop.
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    h = (h ^ w) * 1099511628211ULL;
    h ^= h >> 29U;
  }
  for (; i < n; ++i) h = (h ^ p[i]) * 1099511628211ULL;
  return h;
}

class Schreiber {
 public:
  std::string aus;
  template <class T>
  void zahl(T x) {
    static_assert(std::is_trivially_copyable_v<T>);
    aus.append(reinterpret_cast<const char*>(&x), sizeof x);
  }
  void text(const std::string& t) {
    zahl<uint32_t>(static_cast<uint32_t>(t.size()));
    aus += t;
  }
};

class Leser {
 public:
  explicit Leser(std::string_view d) : d_(d) {}
  template <class T>
  T zahl() {
    T x{};
    if (d_.size() - pos_ < sizeof x) {
      kaputt = true;
      return x;
    }
    std::memcpy(&x, d_.data() + pos_, sizeof x);
    pos_ += sizeof x;
    return x;
  }
  std::string_view stueck(std::size_t n) {
    if (d_.size() - pos_ < n) {
      kaputt = true;
      return {};
    }
    std::string_view s = d_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  std::string text() {
    const auto n = zahl<uint32_t>();
    return std::string(stueck(n));
  }
  bool amEnde() const { return pos_ == d_.size(); }
  bool kaputt = false;

 private:
  std::string_view d_;
  std::size_t pos_ = 0;
};

void spalteSchreiben(Schreiber& s, const Spaltenbild& spalte, Packer& packer) {
  s.zahl<uint64_t>(spalte.bytes);
  s.zahl<uint32_t>(static_cast<uint32_t>(spalte.bloecke.size()));
  for (const auto& b : spalte.bloecke) {
    std::string_view daten(b->daten.data(), b->daten.size());
    bool gepackt = b->gepackt;
    if (!gepackt) {
      packer.puffer.resize(ZSTD_compressBound(b->roh));
      const std::size_t n = ZSTD_compressCCtx(packer.packen(), packer.puffer.data(), packer.puffer.size(),
                                              b->daten.data(), b->roh, packstufe);
      if (ZSTD_isError(n) == 0 && n < b->roh) {
        daten = std::string_view(packer.puffer.data(), n);
        gepackt = true;
      }
    }
    s.zahl<uint32_t>(b->roh);
    s.zahl<uint8_t>(gepackt ? 1 : 0);
    s.zahl<uint32_t>(static_cast<uint32_t>(daten.size()));
    s.aus += daten;
  }
}

bool spalteLesen(Leser& l, Spaltenbild& spalte) {
  spalte.bytes = l.zahl<uint64_t>();
  const auto anzahl = l.zahl<uint32_t>();
  if (l.kaputt || anzahl != (spalte.bytes + Spaltenbild::blockgroesse - 1) / Spaltenbild::blockgroesse) return false;
  spalte.bloecke.clear();
  for (uint32_t b = 0; b < anzahl; ++b) {
    auto block = std::make_shared<Spaltenbild::Block>();
    block->roh = l.zahl<uint32_t>();
    block->gepackt = l.zahl<uint8_t>() != 0;
    const auto n = l.zahl<uint32_t>();
    const std::size_t soll =
        std::min(Spaltenbild::blockgroesse, spalte.bytes - std::size_t{b} * Spaltenbild::blockgroesse);
    if (l.kaputt || block->roh != soll || (!block->gepackt && n != block->roh)) return false;
    std::string_view daten = l.stueck(n);
    if (l.kaputt) return false;
    block->daten.assign(daten.begin(), daten.end());
    if (block->gepackt) {
      // Checked here, so that a restore cannot fail half way.
      const unsigned long long roh = ZSTD_getFrameContentSize(daten.data(), daten.size());
      if (roh != block->roh) return false;
    }
    spalte.bloecke.push_back(std::move(block));
  }
  return true;
}

}  // namespace

uint64_t netzkennung(const Netz& netz) {
  uint64_t h = fnv(&netz.zellenzahl, sizeof netz.zellenzahl);
  for (const TZelle& z : netz.Zelltabelle) h = fnv(z.name.data(), z.name.size() + 1, h);
  const Verbindungen& v = netz.verbindungen;
  const uint64_t n = v.size();
  h = fnv(&n, sizeof n, h);
  h = fnv(netz.verbindungsstart.data(), netz.verbindungsstart.size() * sizeof(std::size_t), h);
  h = fnv(v.ziel.data(), v.ziel.size() * 4, h);
  h = fnv(v.verzoegerung.data(), v.verzoegerung.size() * 4, h);
  h = fnv(v.startgewicht.data(), v.startgewicht.size() * 8, h);
  h = fnv(v.maximalgewicht.data(), v.maximalgewicht.size() * 8, h);
  h = fnv(v.lernschritt.data(), v.lernschritt.size() * 8, h);
  for (std::size_t k = 0; k < v.size(); ++k) {
    const int32_t f = v.zeitfensterVon(k);
    h = fnv(&f, 4, h);
  }
  return h;
}

std::string zustandsbytes(const Zustandsbild& bild, uint64_t kennung, Packer& packer) {
  Schreiber s;
  s.aus += kopf;
  s.zahl(kennung);
  s.zahl(bild.zeittakt);
  s.zahl(bild.pWert);
  s.zahl(bild.zufall);
  s.zahl<uint8_t>(bild.lauf.eingabeEnde ? 1 : 0);
  s.zahl(bild.zellenzahl);
  s.zahl(bild.verbindungszahl);
  s.zahl<uint8_t>(bild.zaehler ? 1 : 0);
  s.zahl<uint8_t>(bild.nachPlan ? 1 : 0);
  s.zahl(bild.planJetzt);
  const Eingabe::Lesestand& e = bild.eingabe;
  s.zahl<uint8_t>(e.offen ? 1 : 0);
  s.zahl(e.kennung.geraet);
  s.zahl(e.kennung.knoten);
  s.zahl(e.kennung.groesse);
  s.zahl(e.kennung.geaendert);
  s.zahl(e.position);
  s.text(e.eingabeZeile);
  s.text(e.eingabeWort);
  s.zahl(e.naechsterTakt);
  s.zahl<uint32_t>(static_cast<uint32_t>(e.vorgemerkt.size()));
  for (const int32_t c : e.vorgemerkt) s.zahl(c);
  for (const Spaltenbild* spalte : bild.spalten()) {
    spalteSchreiben(s, *spalte, packer);
  }
  s.zahl(fnv(s.aus.data(), s.aus.size()));
  return std::move(s.aus);
}

bool zustandAusBytes(std::string_view bytes, uint64_t kennung, Zustandsbild& bild, std::string& fehler) {
  if (bytes.substr(0, kopf.size()) != kopf) {
    fehler = "not a velkor state snapshot";
    return false;
  }
  if (bytes.size() < kopf.size() + 8) {
    fehler = "the snapshot is damaged (cut short)";
    return false;
  }
  uint64_t pruef = 0;
  std::memcpy(&pruef, bytes.data() + bytes.size() - 8, 8);
  if (pruef != fnv(bytes.data(), bytes.size() - 8)) {
    fehler = "the snapshot is damaged (its checksum does not match)";
    return false;
  }
  Leser l(bytes.substr(kopf.size(), bytes.size() - kopf.size() - 8));
  Zustandsbild b;
  const auto netz = l.zahl<uint64_t>();
  b.zeittakt = l.zahl<int32_t>();
  b.pWert = l.zahl<int32_t>();
  b.zufall = l.zahl<uint64_t>();
  b.lauf.eingabeEnde = l.zahl<uint8_t>() != 0;
  b.zellenzahl = l.zahl<int32_t>();
  b.verbindungszahl = l.zahl<uint64_t>();
  b.zaehler = l.zahl<uint8_t>() != 0;
  b.nachPlan = l.zahl<uint8_t>() != 0;
  b.planJetzt = l.zahl<int64_t>();
  Eingabe::Lesestand& e = b.eingabe;
  e.offen = l.zahl<uint8_t>() != 0;
  e.kennung.geraet = l.zahl<uint64_t>();
  e.kennung.knoten = l.zahl<uint64_t>();
  e.kennung.groesse = l.zahl<uint64_t>();
  e.kennung.geaendert = l.zahl<int64_t>();
  e.position = l.zahl<uint64_t>();
  e.eingabeZeile = l.text();
  e.eingabeWort = l.text();
  e.naechsterTakt = l.zahl<int32_t>();
  const auto vorgemerkt = l.zahl<uint32_t>();
  for (uint32_t i = 0; i < vorgemerkt && !l.kaputt; ++i) e.vorgemerkt.push_back(l.zahl<int32_t>());
  bool gut = !l.kaputt;
  for (Spaltenbild* spalte : b.spalten()) {
    gut = gut && spalteLesen(l, *spalte);
  }
  if (!gut || !l.amEnde()) {
    fehler = "the snapshot is damaged";
    return false;
  }
  if (netz != kennung) {
    fehler = "the snapshot belongs to another net";
    return false;
  }
  bild = std::move(b);
  return true;
}

}  // namespace velkor
