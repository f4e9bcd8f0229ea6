#pragma once
// Small nets built by hand for the engine tests, with the defaults a load
// leaves behind, and a display that records what the cycle asks of it.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/simulation.h"
#include "engine/zyklus.h"
#include "engine/zyklusanzeige.h"

namespace velkor::test {

class Testnetz {
 public:
  Simulation sim;

  // A cell with the defaults of a load for everything the arguments leave out.
  int32_t zelle(const std::string& name, double schwelle, int32_t refraktaerzeit = 0, double abklingfaktor = 1.0) {
    TZelle z;
    z.name = name;
    z.schwelle = schwelle;
    z.refraktaerzeit = refraktaerzeit;
    z.abklingfaktor = abklingfaktor;
    z.lernfaktor = 0.0;
    z.lernfaktorstart = 0.0;
    z.erholfaktor = 1.0;
    z.aenderungsrate = 0.0;
    sim.netz.Zelltabelle.push_back(z);
    quellen_.emplace_back();
    return sim.netz.zellenzahl++;
  }

  // A connection line under cell `von`; returns a handle for k().
  int verbindung(int32_t von, int32_t nach, double gewicht, int32_t verzoegerung) {
    quellen_[static_cast<std::size_t>(von)].push_back({nach, gewicht, verzoegerung, anzahl_});
    return anzahl_++;
  }

  // Lays the connections out column-wise, newest connection line of each cell first.
  void fertig() {
    Netz& n = sim.netz;
    n.verbindungen.clear();
    n.listenfolge.leeren();
    n.verbindungsstart.assign(1, 0);
    index_.assign(static_cast<std::size_t>(anzahl_), 0);
    for (const auto& liste : quellen_) {
      for (auto it = liste.rbegin(); it != liste.rend(); ++it) {
        std::size_t k = n.verbindungen.anhaengen(it->ziel, it->gewicht, it->verzoegerung);
        n.verbindungen.gewichtsfaktor.setzen(k, 1.0);
        n.verbindungen.maximalgewicht[k] = it->gewicht;
        index_[static_cast<std::size_t>(it->handle)] = k;
      }
      n.verbindungsstart.push_back(n.verbindungen.size());
    }
    n.namensindexAufbauen();
  }

  // The place of a connection in the columns now (the engine keeps a cell's
  // connections by delay).
  std::size_t k(int handle) const { return sim.netz.platz(index_[static_cast<std::size_t>(handle)]); }
  TZelle& z(int32_t c) { return sim.netz.Zelltabelle[static_cast<std::size_t>(c)]; }
  Verbindungen& v() { return sim.netz.verbindungen; }
  // The counter of a connection as the countdown has it now (the engine may
  // keep spikes in transit by schedule instead). Counters stand in list order.
  int32_t zaehler(int handle) {
    laufzaehlerAbgleichen(sim);
    return v().laufzaehler[index_[static_cast<std::size_t>(handle)]];
  }
  // Sets a counter by hand between phases.
  void zaehlerSetzen(int handle, int32_t wert) {
    laufzaehlerAbgleichen(sim);
    v().laufzaehler[index_[static_cast<std::size_t>(handle)]] = wert;
    sim.plan.verwerfen();
  }

 private:
  struct Linie {
    int32_t ziel;
    double gewicht;
    int32_t verzoegerung;
    int handle;
  };
  std::vector<std::vector<Linie>> quellen_;
  std::vector<std::size_t> index_;
  int anzahl_ = 0;
};

// Records the hooks in the order the cycle calls them.
class Protokollanzeige : public Zyklusanzeige {
 public:
  explicit Protokollanzeige(const Simulation* sim = nullptr) : sim_(sim) {}
  std::vector<std::string> aufrufe;
  std::vector<int32_t> refraktaerEnden;
  int eingabeHinweise = 0;
  int netzfehlerHinweise = 0;
  std::vector<int32_t> takte;  // zeittakt seen by taktanzeige

  void zeilenvorschub() override { aufrufe.push_back("zeilenvorschub"); }
  void refraktaerEnde(int32_t zelle) override {
    aufrufe.push_back("refraktaerEnde");
    refraktaerEnden.push_back(zelle);
  }
  void anzeigen() override { aufrufe.push_back("anzeigen"); }
  void taktanzeige() override {
    aufrufe.push_back("taktanzeige");
    if (sim_ != nullptr) takte.push_back(sim_->zeittakt);
  }
  void eingabeHinweis() override {
    aufrufe.push_back("eingabeHinweis");
    ++eingabeHinweise;
  }
  void netzfehlerHinweis() override {
    aufrufe.push_back("netzfehlerHinweis");
    ++netzfehlerHinweise;
  }

 private:
  const Simulation* sim_;
};

// A fresh directory per test for input and output files; removed at the end.
class Testverzeichnis {
 public:
  Testverzeichnis() {
    static std::atomic<int> zaehler{0};
    pfad_ = std::filesystem::temp_directory_path() /
            ("velkor-engine-" + std::to_string(::getpid()) + "-" + std::to_string(zaehler++));
    std::filesystem::create_directories(pfad_);
  }
  ~Testverzeichnis() {
    std::error_code ec;
    std::filesystem::remove_all(pfad_, ec);
  }
  Testverzeichnis(const Testverzeichnis&) = delete;
  Testverzeichnis& operator=(const Testverzeichnis&) = delete;

  std::string datei(const std::string& name, const std::string& inhalt) const {
    std::filesystem::path p = pfad_ / name;
    std::ofstream(p, std::ios::binary) << inhalt;
    return p.string();
  }
  const std::filesystem::path& pfad() const { return pfad_; }

 private:
  std::filesystem::path pfad_;
};

}  // namespace velkor::test
