// Every step of every view, pixel for pixel: the canvas after each time step
// is hashed, and the chain of hashes per run is compared with the stored
// sums in tests/data/bildsummen.txt, drawn by the plain per-pixel drawing the
// views started with. Runs: the bundled examples and 50 random nets with
// positions (some off the picture, some without), in all seven views, at
// window widths of every remainder mod 4.
// After a deliberate change of the pictures: VELKOR_BILDSUMMEN_NEU=1 test_display
// --gtest_filter='Bildsummen*' writes the sums anew.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>

#include "hilfen.h"
#include "lauf/kommandozeile.h"
#include "lauf/laufreihe.h"
#include "lauf/start.h"

namespace velkor {
namespace {

using test::ArbeitsVerzeichnis;

const std::string summendatei = std::string(VELKOR_TESTDATEN) + "/bildsummen.txt";

void dateiSchreiben(const std::filesystem::path& pfad, const std::string& inhalt) {
  std::ofstream(pfad, std::ios::binary | std::ios::trunc) << inhalt;
}

// The mode letters of the seven views; the compressed one takes its factor.
std::vector<std::string> ansichtsbuchstaben(int ansicht, int m) {
  switch (ansicht) {
    case 0:
      return {"V"};
    case 1:
      return {"v"};
    case 2:
      return {"G"};
    case 3:
      return {"g"};
    case 4:
      return {};
    case 5:
      return {"k"};
    default:
      return {"m", std::to_string(m)};
  }
}
constexpr int ansichten = 7;

// Four lanes of multiply and rotate over the colour of every pixel; only
// equality matters, the sums are no secret. Optimised in the sanitizer
// build too, where it would take most of the test's time.
__attribute__((no_sanitize("address"), optimize("O2"))) uint64_t bildsumme(const QImage& b) {
  uint64_t h[4] = {1, 2, 3, 4};
  for (int y = 0; y < b.height(); ++y) {
    const auto* z = reinterpret_cast<const uint32_t*>(b.constScanLine(y));
    int x = 0;
    for (; x + 4 <= b.width(); x += 4)
      for (int k = 0; k < 4; ++k) h[k] = (h[k] ^ (z[x + k] & 0xffffffu)) * 0x9e3779b97f4a7c15ull + (h[k] >> 29);
    for (; x < b.width(); ++x) h[0] = (h[0] ^ (z[x] & 0xffffffu)) * 0x9e3779b97f4a7c15ull + (h[0] >> 29);
  }
  return h[0] ^ (h[1] * 3) ^ (h[2] * 5) ^ (h[3] * 7);
}

struct Lauf {
  std::string netz, eingabe;
  std::vector<std::string> buchstaben;
  int W = 1032, H = 768;
  int schritte = 0;  // at most; the run ends early with the input
};

// The sanitizer build, many times slower, runs the first steps only and
// compares the chain up to there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool nurAnfang = true;
#else
constexpr bool nurAnfang = false;
#endif
constexpr int anfangsschritte = 60;

// Single steps as the space bar runs them; a redraw as after a click at
// step 5. Returns the chain of the sums of the canvas after every step, the
// steps run and the chain after the first `anfangsschritte` steps.
std::string summenkette(const Lauf& l) {
  ArbeitsVerzeichnis dir;
  Simulation sim;
  Ansichtsflags ansicht;
  Anzeigezustand zustand;
  zustand.W = l.W;
  zustand.H = l.H;
  QImageCanvas canvas(l.W - 8, l.H - 50);
  Anzeige anzeige(sim, ansicht, zustand, canvas);
  startbildVorbereiten(anzeige);
  std::vector<std::string> parameter = {"Summen", l.netz, l.eingabe};
  parameter.insert(parameter.end(), l.buchstaben.begin(), l.buchstaben.end());
  kommandozeileLesen(parameter, sim.param, sim.lauf, ansicht, sim.zufall, 1);
  EXPECT_EQ(netzVorbereiten(sim).status, Ladestatus::ok) << l.netz;
  ansichtNachLaden(sim, ansicht, zustand, &anzeige);
  std::string fehler;
  EXPECT_TRUE(eingabeVorbereiten(sim, fehler)) << fehler;
  uint64_t kette = bildsumme(canvas.bild()), anfang = 0;
  int s = 0;
  for (; s < l.schritte && !sim.lauf.eingabeEnde; ++s) {
    if (s == 5) anzeige.neuzeichnen();
    if (s == anfangsschritte) anfang = kette;
    einzelschritt(sim, anzeige);
    kette = (kette ^ bildsumme(canvas.bild())) * 0xff51afd7ed558ccdull;
  }
  if (s <= anfangsschritte) anfang = kette;
  std::ostringstream aus;
  aus << std::hex << kette << std::dec << ' ' << s << ' ' << std::hex << anfang;
  return aus.str();
}

// A small random generator of its own, so that the nets are the same everywhere.
struct Wuerfel {
  uint64_t zustand;
  uint32_t operator()(uint32_t n) {
    zustand = zustand * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(zustand >> 33) % n;
  }
  double real(int von, int bis, int teile) {
    return von + static_cast<double>(operator()(static_cast<uint32_t>((bis - von) * teile + 1))) / teile;
  }
};

// A net with positions: names of one to six letters, cells off the picture
// and without a place, negative weights, loops, learning connections.
std::string zufallsnetz(Wuerfel& w, std::vector<std::string>& namen) {
  const int n = 2 + static_cast<int>(w(30));
  std::ostringstream t;
  for (int c = 0; c < n; ++c) {
    std::string name;
    for (uint32_t k = 0, l = 1 + w(6); k < l; ++k) name += static_cast<char>('A' + w(26));
    namen.push_back(name);
  }
  for (int c = 0; c < n; ++c) {
    t << "z " << namen[static_cast<std::size_t>(c)];
    if (w(8) != 0) t << ' ' << static_cast<int>(w(14)) - 1 << ' ' << static_cast<int>(w(34)) - 1;
    t << "\ns " << w.real(0, 12, 4) << "\na " << w.real(0, 1, 10) << "\nr " << w(5) << '\n';
    if (w(4) == 0) t << "v 0.5\ng 1.05\nh 0.3\n";
    for (uint32_t k = 0, v = w(5); k < v; ++k) {
      const bool schleife = w(6) == 0;
      t << "c " << (schleife ? namen[static_cast<std::size_t>(c)] : namen[w(static_cast<uint32_t>(n))]) << ' '
        << w.real(-4, 14, 4) << ' ' << 1 + w(3) << '\n';
      if (w(3) == 0) t << "l " << w.real(0, 1, 10) << "\nx " << w(4) << "\nm 20\n";
    }
  }
  return t.str();
}

std::string zufallseingabe(Wuerfel& w, const std::vector<std::string>& namen, int schritte) {
  std::ostringstream t;
  t << " zufaellige Eingabe\n";
  for (int s = 0; s < schritte; ++s) {
    for (uint32_t k = 0, e = w(4); k < e; ++k) t << namen[w(static_cast<uint32_t>(namen.size()))] << ' ' << s << '\n';
    if (w(12) == 0) t << "*** " << s << '\n';
  }
  t << ".\n";
  return t.str();
}

// All runs by name: the examples at full window size, the random nets on a
// small canvas. Each net's widths go round the four remainders by view.
std::map<std::string, Lauf> alleLaeufe(const std::filesystem::path& daten) {
  std::map<std::string, Lauf> laeufe;
  const std::string b = VELKOR_BEISPIELE;
  const struct {
    const char* name;
    std::string netz, eingabe;
    int m;
  } beispiele[] = {{"lernen", b + "/lernen.net", b + "/lernen.ein", 12},
                   {"nummern", b + "/nummern.nec", b + "/nummern.ein", 5},
                   {"gross", b + "/gross.net", b + "/gross.ein", 3}};
  int i = 0;
  for (const auto& e : beispiele) {
    for (int a = 0; a < ansichten; ++a, ++i) {
      Lauf l{e.netz, e.eingabe, ansichtsbuchstaben(a, e.m), 1032 + i % 4, 768 - i % 3, 400};
      laeufe[std::string(e.name) + "/" + std::to_string(a)] = l;
    }
  }
  for (int netz = 0; netz < 50; ++netz) {
    Wuerfel w{static_cast<uint64_t>(netz) * 7919 + 17};
    std::vector<std::string> namen;
    const auto nd = daten / ("netz" + std::to_string(netz) + ".net");
    const auto ed = daten / ("netz" + std::to_string(netz) + ".ein");
    dateiSchreiben(nd, zufallsnetz(w, namen));
    dateiSchreiben(ed, zufallseingabe(w, namen, 30));
    for (int a = 0; a < ansichten; ++a) {
      const int m = 1 + (netz + a) % 4;
      Lauf l{nd.string(), ed.string(), ansichtsbuchstaben(a, m), 240 + (netz + a) % 4, 200 + netz % 7, 30};
      laeufe["zufall" + std::to_string(netz) + "/" + std::to_string(a)] = l;
    }
  }
  return laeufe;
}

std::map<std::string, std::string> gespeicherteSummen() {
  std::map<std::string, std::string> summen;
  std::istringstream ein(test::dateiInhalt(summendatei));
  std::string zeile;
  while (std::getline(ein, zeile)) {
    const auto leer = zeile.find(' ');
    if (zeile.empty() || zeile[0] == '#' || leer == std::string::npos) continue;
    summen[zeile.substr(0, leer)] = zeile.substr(leer + 1);
  }
  return summen;
}

// The runs whose names begin with `gruppe`, against the stored sums; with
// VELKOR_BILDSUMMEN_NEU their sums replace the stored ones of that group.
void gruppePruefen(const std::string& gruppe) {
  const auto daten = std::filesystem::temp_directory_path() / ("velkor_bildsummen_" + gruppe);
  std::filesystem::create_directories(daten);
  const bool neu = std::getenv("VELKOR_BILDSUMMEN_NEU") != nullptr;
  auto gespeichert = gespeicherteSummen();
  for (const auto& [name, lauf] : alleLaeufe(daten)) {
    if (name.rfind(gruppe, 0) != 0) continue;
    Lauf l = lauf;
    if (nurAnfang && !neu) l.schritte = std::min(l.schritte, anfangsschritte);
    const std::string summe = summenkette(l);
    if (!neu) {
      const auto it = gespeichert.find(name);
      ASSERT_NE(it, gespeichert.end()) << name << " has no stored sum";
      if (nurAnfang)
        EXPECT_EQ(summe.substr(summe.rfind(' ')), it->second.substr(it->second.rfind(' '))) << name;
      else
        EXPECT_EQ(summe, it->second) << name << ": the pictures differ in some step";
    }
    gespeichert[name] = summe;
  }
  std::filesystem::remove_all(daten);
  if (!neu) return;
  std::ostringstream datei;
  datei << "# run: hash chain of the canvas after every step, steps run, chain after " << anfangsschritte << " steps\n";
  for (const auto& [name, summe] : gespeichert) datei << name << ' ' << summe << '\n';
  dateiSchreiben(summendatei, datei.str());
}

TEST(BildsummenTest, BeispieleJederSchrittJederAnsicht) {
  gruppePruefen("lernen");
  gruppePruefen("nummern");
}
TEST(BildsummenTest, GrossJederSchrittJederAnsicht) { gruppePruefen("gross"); }
TEST(BildsummenTest, ZufallsnetzeJederSchrittJederAnsicht) { gruppePruefen("zufall"); }

}  // namespace
}  // namespace velkor
