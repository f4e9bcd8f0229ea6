// The net file loader on arbitrary text, both forms (a text whose first line
// begins with "$" is in the numbered form). A net that loaded without
// netzfehler is checked for a consistent table, runs a few time steps in the
// view the text's hash picks, is written as a state file, and that state file
// loads again with the same cells.

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>

#include "display/anzeige.h"
#include "engine/zyklus.h"
#include "fuzz/hilfen.h"
#include "net/netzladen.h"
#include "net/zustand.h"

using namespace velkor;
using velkor::fuzz::pruefen;

namespace {

constexpr int schritte = 12;

uint32_t streuwert(std::string_view text) {
  uint32_t h = 2166136261u;
  for (char c : text) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
  return h;
}

int32_t verschiebung(uint32_t wahl) {
  constexpr int32_t werte[] = {0, 0, 3, -5, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
  return werte[wahl % 6];
}

void tabellePruefen(const Netz& netz) {
  pruefen(netz.zellenzahl >= 0, "zellenzahl not negative");
  pruefen(netz.Zelltabelle.size() == static_cast<std::size_t>(netz.zellenzahl), "table size");
  pruefen(netz.verbindungsstart.size() == netz.Zelltabelle.size() + 1, "connection start size");
  pruefen(netz.verbindungsstart.back() == netz.verbindungen.size(), "connection start end");
  for (std::size_t c = 0; c + 1 < netz.verbindungsstart.size(); ++c)
    pruefen(netz.verbindungsstart[c] <= netz.verbindungsstart[c + 1], "connection starts ascend");
  for (const TZelle& z : netz.Zelltabelle) pruefen(z.name.size() <= namenslaenge, "name length");
}

void ansichtWaehlen(Ansichtsflags& a, Laufparameter& p, uint32_t wahl) {
  switch (wahl % 7) {
    case 0:
      break;  // numeric table
    case 1:
      a.ansichtZellVariabel = true;
      break;
    case 2:
      a.ansichtZellKonstant = true;
      break;
    case 3:
      a.ansichtOsziMitEpsps = true;
      p.zeitraffer = static_cast<int32_t>(wahl >> 8) % 3 - 1;
      break;
    case 4:
      a.ansichtOsziOhneEpsps = true;
      break;
    case 5:
      a.ansichtFeuernd = true;
      break;
    default:
      a.ansichtKomprimiert = true;
      p.vergroesserung = static_cast<int32_t>(wahl >> 8) % 5 - 1;  // -1 .. 3, 0 included
      break;
  }
  p.displayStart = static_cast<int32_t>(wahl >> 16) % 7 - 2;  // negative and beyond small nets
}

void laufen(Simulation& sim, uint32_t wahl) {
  Ansichtsflags ansicht;
  Anzeigezustand zustand;
  ansichtWaehlen(ansicht, sim.param, wahl);
  fuzz::Pruefcanvas canvas;
  Anzeige anzeige(sim, ansicht, zustand, canvas);
  anzeige.netzzeichnen();
  for (int i = 0; i < schritte; ++i) {
    canvas.zaehlerZuruecksetzen();
    einzelzyklus(sim, anzeige);
  }
  anzeige.neuzeichnen();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string_view text(reinterpret_cast<const char*>(daten), groesse);
  const uint32_t wahl = streuwert(text);
  const int32_t x = verschiebung(wahl), y = verschiebung(wahl >> 3);

  Simulation sim;
  std::ostringstream protokoll;
  const Ladeergebnis e = netzladenAusText(text, x, y, sim.netz, protokoll);
  tabellePruefen(sim.netz);
  if (e.status != Ladestatus::ok) return 0;
  const bool fehlerfrei = !e.netzfehler;
  pruefen(fehlerfrei == protokoll.str().empty(), "netzfehler exactly when the protocol has lines");
  if (fehlerfrei) {
    for (int32_t z : sim.netz.verbindungen.ziel) pruefen(z >= 0 && z < sim.netz.zellenzahl, "target in the table");
    sim.param.xVerschiebung = x;
    sim.param.yVerschiebung = y;
    laufen(sim, wahl);
  }

  // The state file is a net file in the name form with the same cells.
  const std::string zustand = zustandstext(sim.netz, sim.zeittakt, x, y);
  Netz wieder;
  std::ostringstream protokoll2;
  const Ladeergebnis e2 = netzladenAusText(zustand, x, y, wieder, protokoll2);
  pruefen(e2.status == Ladestatus::ok, "state file loads");
  pruefen(wieder.zellenzahl == sim.netz.zellenzahl, "state file keeps the cells");
  for (std::size_t c = 0; c < wieder.Zelltabelle.size(); ++c) {
    const TZelle& a = sim.netz.Zelltabelle[c];
    const TZelle& b = wieder.Zelltabelle[c];
    // A name that is empty or not a number-like word reads back unchanged.
    if (!a.name.empty()) pruefen(a.name == b.name, "state file keeps the names");
    if (!a.name.empty()) pruefen(a.zeile == b.zeile && a.spalte == b.spalte, "state file keeps the positions");
  }
  return 0;
}
