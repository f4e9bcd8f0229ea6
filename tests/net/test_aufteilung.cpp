// A net loaded in parts for several processes: the stretches of cells cover
// the table in order and hold about equal connections, and the parts
// together are the whole net — every cell in every part, each connection in
// the part of its source with the values and defaults of the whole load,
// and the protocol lines of the parts, one after the other, those of the
// whole load.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "net/netzladen.h"
#include "net/zustand.h"
#include "tests/engine/zufallsnetz.h"

namespace velkor {
namespace {

struct Geladen {
  Netz netz;
  Ladeergebnis ergebnis;
  std::string protokoll;
};

void ladenAls(const std::string& text, Netzaufteilung teil, Geladen& g) {
  std::ostringstream protokoll;
  g.ergebnis = netzladenAusText(text, 0, 0, g.netz, protokoll, teil);
  g.protokoll = protokoll.str();
}

std::string bloecke(const Netz& netz, int32_t von, int32_t bis) {
  std::string text;
  zustandsbloecke(text, netz, von, bis, 0, 0, true);
  return text;
}

// The parts of `text` in 1 .. 5 processes against the whole.
void teileVergleichen(const std::string& text, const std::string& wo) {
  Geladen ganz;
  ladenAls(text, {}, ganz);
  ASSERT_EQ(ganz.ergebnis.status, Ladestatus::ok) << wo;
  const std::string alle = bloecke(ganz.netz, 0, ganz.netz.zellenzahl);
  for (int32_t teile = 1; teile <= 5; ++teile) {
    std::string zusammen;
    std::string protokoll;
    int32_t naechste = 0;
    uint64_t meiste = 0;
    bool fehler = false;
    for (int32_t t = 0; t < teile; ++t) {
      Geladen g;
      ladenAls(text, {t, teile}, g);
      const std::string hier = wo + ", part " + std::to_string(t) + " of " + std::to_string(teile);
      ASSERT_EQ(g.ergebnis.status, Ladestatus::ok) << hier;
      ASSERT_EQ(g.netz.zellenzahl, ganz.netz.zellenzahl) << hier;
      const int32_t von = teile == 1 ? 0 : g.netz.eigeneVon;
      const int32_t bis = teile == 1 ? g.netz.zellenzahl : g.netz.eigeneBis;
      EXPECT_EQ(von, naechste) << hier << ": the stretches follow each other";
      naechste = bis;
      // Cells outside the stretch have no connections here.
      EXPECT_EQ(g.netz.verbindungen.size(), g.netz.verbindungsstart[static_cast<std::size_t>(bis)] -
                                                g.netz.verbindungsstart[static_cast<std::size_t>(von)])
          << hier;
      meiste = std::max<uint64_t>(meiste, g.netz.verbindungen.size() + static_cast<uint64_t>(bis - von));
      zusammen += bloecke(g.netz, von, bis);
      protokoll += g.protokoll;
      fehler = fehler || g.ergebnis.netzfehler;
    }
    EXPECT_EQ(naechste, ganz.netz.zellenzahl) << wo << ", " << teile << " parts cover the table";
    EXPECT_EQ(zusammen, alle) << wo << ", " << teile << " parts";
    EXPECT_EQ(protokoll, ganz.protokoll) << wo << ", " << teile << " parts";
    EXPECT_EQ(fehler, ganz.ergebnis.netzfehler) << wo << ", " << teile << " parts";
    // No part holds much more than its share: the largest cell of work at most.
    uint64_t summe = ganz.netz.verbindungen.size() + static_cast<uint64_t>(ganz.netz.zellenzahl);
    uint64_t groesste = 0;
    for (int32_t c = 0; c < ganz.netz.zellenzahl; ++c)
      groesste = std::max<uint64_t>(groesste, ganz.netz.verbindungsende(c) - ganz.netz.verbindungsanfang(c) + 1);
    EXPECT_LE(meiste, summe / static_cast<uint64_t>(teile) + groesste) << wo << ", " << teile << " parts";
  }
}

TEST(Aufteilung, ZufallsnetzeInTeilenGleichDemGanzen) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    test::Zufallsnetz z(seed, 6, seed % 2 == 0);
    if (seed % 3 == 0) {
      z.faktorvorrat = 5;
      z.faktorFuellen = "0.75";
    }
    teileVergleichen(z.netz(static_cast<int>(seed % 7) + static_cast<int>(seed)), "seed " + std::to_string(seed));
  }
}

TEST(Aufteilung, VorgabenVorInUndHinterDerStreckeUndFehlendeZiele) {
  // Defaults that fill every connection above, met before, inside and after
  // a part's stretch; blocks in the middle; targets that name no cell, in
  // both forms; cells before the first cell line and after the last.
  const std::string namen =
      "c A 1 1\n"
      "z A 1 1\nc B 0.5 1\nc X 0.2 0\nc A -1 -1\nm 2\n"
      "f\nw 0.25\ni 0.5\nm 3\n"
      "z B 2 2\nc A 1 -1\nc B -1 2\nl 0.1\nc C 1 1\nx 2\n"
      "z C\nc A -1 -1\nc Y 1 1\nd 4\n"
      "z D\nc A 2 2\nc B 1 1\nc C 1 1\n"
      "f\ni 0.9\nx 5\nl 0.2\nm 4\nw 0.75\nd 3\n"
      "z E\nc D -1 1\n";
  teileVergleichen(namen, "name form");
  const std::string nummern =
      "$ 4\n"
      "z A\nc 1 0.5 1\nc 9 1 1\nc 0\n"
      "f\nw 2\nd 1\n"
      "z B\nc 2 -1 1\nc -1 1 1\n"
      "z C\n"
      "z D\nc 0 1 1\nc 3 -1 -1\nf\ni 0.5\n"
      "z E\nc 4 1 1\n";
  teileVergleichen(nummern, "numbered form, header count wrong");
  teileVergleichen("", "empty net");
  teileVergleichen("z A\nz B\n", "no connections");
  teileVergleichen("z A\nc A 1 1\nc A 1 1\nc A 1 1\n", "one cell");
}

}  // namespace
}  // namespace velkor
