// netzgen: writes a seeded random net for the speed comparison.
//
//   netzgen --zellen N [--verbindungen K] [--schritte T] [--seed S] [--lernen] --ziel DIR
//
// N cells, each with K outgoing connections to targets drawn at random,
// delays 1..5, every fifth cell (drawn at random) inhibitory, threshold 1.0,
// decay 0.9, refractory time 15. The default weights (excitatory 0.15..0.35,
// inhibitory -1.2..-0.6; --erregend/--hemmend in thousandths) keep about 5 %
// of the cells firing per step after the start at every size. The input file excites 10 % of the cells at
// step 0 and 1 % every 10 steps and stops after step T - 1.
//
// Into DIR it writes netz.net (name form), netz.nec (numbered form),
// eingabe.ein, and for the comparison run in Brian2 the same net as raw
// little-endian arrays: quelle.i32, ziel.i32, gewicht.f64, verzoegerung.u8,
// reiz.i32 (pairs of step and cell). With --lernen every connection gets
// "i", "m" and "l" lines and every cell "v", "g" and "h" lines.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// splitmix64: small, fast and the same everywhere.
class Zufallszahlen {
 public:
  explicit Zufallszahlen(uint64_t seed) : s_(seed) {}
  uint64_t naechste() {
    uint64_t z = (s_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30U)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27U)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31U);
  }
  uint32_t bis(uint32_t n) { return static_cast<uint32_t>((naechste() >> 32U) * n >> 32U); }
  double einheit() { return static_cast<double>(naechste() >> 11U) * 0x1.0p-53; }

 private:
  uint64_t s_;
};

// A buffered output file; fails loudly, the bench has no use for half files.
class Ausgabe {
 public:
  explicit Ausgabe(const std::filesystem::path& pfad) : datei_(std::fopen(pfad.c_str(), "wb")), pfad_(pfad) {
    if (datei_ == nullptr) throw std::runtime_error("cannot create " + pfad.string());
    puffer_.reserve(1U << 20U);
  }
  ~Ausgabe() {
    leeren();
    std::fclose(datei_);
  }
  Ausgabe(const Ausgabe&) = delete;
  Ausgabe& operator=(const Ausgabe&) = delete;

  void text(const char* s, std::size_t n) {
    puffer_.insert(puffer_.end(), s, s + n);
    if (puffer_.size() >= (1U << 20U)) leeren();
  }
  void text(const std::string& s) { text(s.data(), s.size()); }
  template <typename T>
  void roh(T wert) {
    text(reinterpret_cast<const char*>(&wert), sizeof wert);
  }

 private:
  void leeren() {
    if (!puffer_.empty() && std::fwrite(puffer_.data(), 1, puffer_.size(), datei_) != puffer_.size()) {
      throw std::runtime_error("cannot write " + pfad_.string());
    }
    puffer_.clear();
  }
  std::FILE* datei_;
  std::filesystem::path pfad_;
  std::vector<char> puffer_;
};

// "Z" and five base-36 digits: unique for up to 60 million cells, 6 bytes.
std::string zellname(uint32_t i) {
  static const char ziffern[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string name = "Z00000";
  for (int stelle = 5; stelle >= 1; --stelle) {
    name[static_cast<std::size_t>(stelle)] = ziffern[i % 36U];
    i /= 36U;
  }
  return name;
}

struct Optionen {
  uint32_t zellen = 10000;
  uint32_t verbindungen = 100;
  uint32_t schritte = 1000;
  uint64_t seed = 1;
  bool lernen = false;
  // Weights in thousandths: excitatory from..to, inhibitory from..to (negative).
  int erregendVon = 150, erregendBis = 350, hemmendVon = -1200, hemmendBis = -600;
  std::filesystem::path ziel;
};

Optionen lesen(int argc, char** argv) {
  Optionen o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto wert = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
      return argv[++i];
    };
    if (a == "--zellen") {
      o.zellen = static_cast<uint32_t>(std::stod(wert()));
    } else if (a == "--verbindungen") {
      o.verbindungen = static_cast<uint32_t>(std::stoul(wert()));
    } else if (a == "--schritte") {
      o.schritte = static_cast<uint32_t>(std::stoul(wert()));
    } else if (a == "--seed") {
      o.seed = std::stoull(wert());
    } else if (a == "--erregend") {
      const std::string w = wert();
      o.erregendVon = std::stoi(w.substr(0, w.find(',')));
      o.erregendBis = std::stoi(w.substr(w.find(',') + 1));
    } else if (a == "--hemmend") {
      const std::string w = wert();
      o.hemmendVon = std::stoi(w.substr(0, w.find(',')));
      o.hemmendBis = std::stoi(w.substr(w.find(',') + 1));
    } else if (a == "--lernen") {
      o.lernen = true;
    } else if (a == "--ziel") {
      o.ziel = wert();
    } else {
      throw std::runtime_error("unknown option " + a);
    }
  }
  if (o.ziel.empty()) throw std::runtime_error("--ziel DIR is missing");
  return o;
}

// Per-cell and per-connection lines of the learning variant.
void zellLernzeilen(Ausgabe& name, Ausgabe& nummer, bool hemmend) {
  // Inhibitory cells take the windowed weight rule (negative rate of change).
  const char* zeilen = hemmend ? "v 0.4\ng 0.9\nh -0.2\n" : "v 0.3\ng 0.95\nh 0.1\n";
  name.text(zeilen, std::strlen(zeilen));
  nummer.text(zeilen, std::strlen(zeilen));
}

void verbindungLernzeilen(Ausgabe& name, Ausgabe& nummer, Zufallszahlen& z, double gewicht) {
  char zeile[96];
  const double faktor = 0.998 + 0.0019 * z.einheit();
  const double maximum = gewicht > 0 ? gewicht * 1.5 : gewicht * 0.5;
  const int n =
      std::snprintf(zeile, sizeof zeile, "i %.4f\nm %.3f\nl %.3f\n", faktor, maximum, gewicht > 0 ? 0.01 : -0.005);
  name.text(zeile, static_cast<std::size_t>(n));
  nummer.text(zeile, static_cast<std::size_t>(n));
}

void netzSchreiben(const Optionen& o) {
  Zufallszahlen z(o.seed);
  std::vector<uint8_t> hemmend(o.zellen);
  for (auto& h : hemmend) h = z.bis(5) == 0 ? 1 : 0;

  Ausgabe name(o.ziel / "netz.net");
  Ausgabe nummer(o.ziel / "netz.nec");
  Ausgabe quelle(o.ziel / "quelle.i32");
  Ausgabe ziel(o.ziel / "ziel.i32");
  Ausgabe gewichte(o.ziel / "gewicht.f64");
  Ausgabe verzoegerungen(o.ziel / "verzoegerung.u8");
  name.text("{ velkor bench net, seed " + std::to_string(o.seed) + "\n");
  nummer.text("$ " + std::to_string(o.zellen) + "\n");
  char zeile[96];
  for (uint32_t c = 0; c < o.zellen; ++c) {
    const std::string zeilenkopf = "z " + zellname(c) + "\n";
    name.text(zeilenkopf);
    nummer.text(zeilenkopf);
    if (o.lernen) zellLernzeilen(name, nummer, hemmend[c] != 0);
    for (uint32_t k = 0; k < o.verbindungen; ++k) {
      const uint32_t t = z.bis(o.zellen);
      const auto d = static_cast<uint8_t>(1 + z.bis(5));
      // Whole thousandths: n / 1000.0 is the double that the text "%.3f" reads back as.
      const double tausendstel =
          hemmend[c] != 0
              ? o.hemmendVon + static_cast<double>(z.bis(static_cast<uint32_t>(o.hemmendBis - o.hemmendVon + 1)))
              : o.erregendVon + static_cast<double>(z.bis(static_cast<uint32_t>(o.erregendBis - o.erregendVon + 1)));
      const double w = tausendstel / 1000.0;
      int n = std::snprintf(zeile, sizeof zeile, "c %s %.3f %d\n", zellname(t).c_str(), w, d);
      name.text(zeile, static_cast<std::size_t>(n));
      n = std::snprintf(zeile, sizeof zeile, "c %u %.3f %d\n", t, w, d);
      nummer.text(zeile, static_cast<std::size_t>(n));
      if (o.lernen) verbindungLernzeilen(name, nummer, z, w);
      quelle.roh(static_cast<int32_t>(c));
      ziel.roh(static_cast<int32_t>(t));
      gewichte.roh(w);
      verzoegerungen.roh(d);
    }
  }
  const char* block = "f\ns 1.0\na 0.9\nr 15\n";
  name.text(block, std::strlen(block));
  nummer.text(block, std::strlen(block));
}

void eingabeSchreiben(const Optionen& o) {
  Zufallszahlen z(o.seed ^ 0x5eedULL);
  Ausgabe ein(o.ziel / "eingabe.ein");
  Ausgabe reiz(o.ziel / "reiz.i32");
  ein.text(" input of the velkor bench net\n");
  auto eintragen = [&](uint32_t schritt, uint32_t anzahl) {
    for (uint32_t i = 0; i < anzahl; ++i) {
      const uint32_t c = z.bis(o.zellen);
      ein.text(zellname(c) + " " + std::to_string(schritt) + "\n");
      reiz.roh(static_cast<int32_t>(schritt));
      reiz.roh(static_cast<int32_t>(c));
    }
  };
  eintragen(0, o.zellen / 10);
  for (uint32_t s = 10; s < o.schritte; s += 10) eintragen(s, o.zellen / 100);
  // The stop mark ends the run after step T - 1; the empty line lets it apply.
  ein.text("*** " + std::to_string(o.schritte - 1) + "\n\n.\n");
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Optionen o = lesen(argc, argv);
    std::filesystem::create_directories(o.ziel);
    netzSchreiben(o);
    eingabeSchreiben(o);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "netzgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
