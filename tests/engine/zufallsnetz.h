#pragma once
// Random nets for the engine tests, and every field a time step can change
// as one text.

#include <cinttypes>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "engine/simulation.h"

namespace velkor::test {

// A random net in the name form. Every line kind that the engine reads
// appears: thresholds of 0 and not given, refractory times -1, 0 and more,
// delays -3 .. 5 and not given, learning factors of both signs of the rate,
// windows, weight factors of exactly 1.0 and others.
class Zufallsnetz {
 public:
  // With a stock of factors: nearly every connection takes the next of that
  // many distinct factors ("-0" and "0" among them) in turn, the rest keep
  // them not given, and `faktorFuellen` fills those in by an "f" block.
  std::size_t faktorvorrat = 0;
  const char* faktorFuellen = nullptr;

  explicit Zufallsnetz(uint32_t seed, int laengste = 5, bool luecken = false)
      : zufall_(seed), laengste_(laengste), luecken_(luecken) {}

  std::string netz(int zellen) {
    std::ostringstream o;
    o << "{ random net\n";
    for (int c = 0; c < zellen; ++c) {
      o << "z C" << c << "\n";
      zelle(o);
      const int n = wahl(0, 12);
      for (int i = 0; i < n; ++i) verbindung(o, zellen);
    }
    // Defaults for what the lines above left open. With gaps, some of them
    // are missing, so thresholds, decay factors, refractory times, weights
    // and delays of -1 reach the time step.
    o << "f\n";
    for (const char* zeile : {"s 1.0\n", "a 0.9\n", "r 3\n", "d 2\n", "w 0.4\n"}) {
      if (!luecken_ || wahl(0, 1) == 0) o << zeile;
    }
    if (faktorFuellen != nullptr) o << "i " << faktorFuellen << "\n";
    return o.str();
  }

  std::string eingabe(int zellen, int schritte) {
    std::ostringstream o;
    for (int s = 0; s < schritte; s += wahl(1, 4)) {
      const int n = wahl(1, 3);
      for (int i = 0; i < n; ++i) o << "C" << wahl(0, zellen - 1) << " " << s << "\n";
      if (wahl(0, 9) == 0) o << "*** " << s << "\n";
    }
    o << "\n.\n";
    return o.str();
  }

 private:
  int wahl(int von, int bis) { return std::uniform_int_distribution<int>(von, bis)(zufall_); }
  double reell(double von, double bis) {
    // Three decimals, as a net file gives them.
    return static_cast<double>(wahl(static_cast<int>(von * 1000), static_cast<int>(bis * 1000))) / 1000.0;
  }
  bool oft() { return wahl(0, 3) != 0; }

  void zelle(std::ostringstream& o) {
    const int s = wahl(0, 9);
    if (s == 0) o << "s 0\n";
    if (s > 2) o << "s " << reell(0.3, 2.0) << "\n";
    if (oft()) o << "a " << reell(0.5, 1.0) << "\n";
    const int r = wahl(0, 9);
    if (r == 0) o << "r -1\n";
    if (r == 1) o << "r 0\n";
    if (r > 3) o << "r " << wahl(1, 6) << "\n";
    if (oft()) o << "v " << reell(0.0, 0.8) << "\n";
    if (oft()) o << "g " << reell(0.8, 1.2) << "\n";
    const int h = wahl(0, 3);
    if (h == 1) o << "h " << reell(0.05, 0.6) << "\n";
    if (h == 2) o << "h " << -reell(0.05, 0.6) << "\n";
  }

  void verbindung(std::ostringstream& o, int zellen) {
    o << "c C" << wahl(0, zellen - 1);
    const int art = wahl(0, 9);
    if (art > 0) {
      o << " " << (wahl(0, 4) == 0 ? -reell(0.1, 1.5) : reell(0.0, 1.2));
      // Not given (then "d 2"), -3 .. 5.
      if (art > 1) o << " " << (laengste_ <= 5 ? wahl(-3, 5) : wahl(0, 19) == 0 ? wahl(-3, 0) : wahl(0, laengste_));
    }
    o << "\n";
    if (faktorvorrat > 0) {
      if (wahl(0, 7) != 0) faktor(o, faktorzeilen_++ % faktorvorrat);
    } else if (wahl(0, 2) == 0) {
      o << "i " << (oft() ? 1.0 : reell(0.8, 1.2)) << "\n";
    }
    if (wahl(0, 2) == 0) o << "m " << reell(-0.5, 2.0) << "\n";
    if (wahl(0, 3) == 0) o << "l " << reell(-0.2, 0.3) << "\n";
    if (wahl(0, 3) == 0) o << "x " << wahl(-1, 4) << "\n";
  }

  void faktor(std::ostringstream& o, std::size_t nummer) {
    char zeile[32];
    if (nummer < 2) {
      std::snprintf(zeile, sizeof zeile, "i %s\n", nummer == 0 ? "-0" : "0");
    } else {
      std::snprintf(zeile, sizeof zeile, "i %.6f\n", 0.9 + static_cast<double>(nummer) * 1e-4);
    }
    o << zeile;
  }

  std::mt19937 zufall_;
  int laengste_;
  bool luecken_;
  std::size_t faktorzeilen_ = 0;
};

// Every field of the net that a time step can change, bit for bit.
// Every field a time step can change, in three parts: the cells, the
// connections this process holds, the generator and the counter.
struct Abbild {
  std::string zellen;
  std::string verbindungen;
  std::string rest;
  std::string ganz() const { return zellen + verbindungen + rest; }
};

inline Abbild abbildTeile(const Simulation& sim) {
  Abbild a;
  std::ostringstream o;
  char zeile[200];
  for (const TZelle& z : sim.netz.Zelltabelle) {
    std::snprintf(zeile, sizeof zeile, "%a %" PRId32 " %a\n", z.potenzial, z.refraktaerrest, z.lernfaktor);
    o << zeile;
  }
  a.zellen = o.str();
  o.str("");
  const Verbindungen& v = sim.netz.verbindungen;
  // In list order (the counters stand so; the other columns by place).
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::size_t k = sim.netz.platz(i);
    std::snprintf(zeile, sizeof zeile, "%a %" PRId32 " %" PRId32 " %d\n", v.gewicht[k], v.laufzaehler[i],
                  v.letzteankunft[k], static_cast<int>(v.imfenster[k]));
    o << zeile;
  }
  a.verbindungen = o.str();
  o.str("");
  o << "zufall " << sim.zufall.zustand() << " zeittakt " << sim.zeittakt << "\n";
  a.rest = o.str();
  return a;
}

inline std::string zustandsabbild(const Simulation& sim) { return abbildTeile(sim).ganz(); }

}  // namespace velkor::test
