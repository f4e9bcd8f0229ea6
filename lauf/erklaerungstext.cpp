#include "lauf/erklaerungstext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

namespace velkor {

namespace {

// --- numbers and names ----------------------------------------------------

// The shortest text that reads back to the same double, with ".0" on a whole
// number so that it reads as a real ("1.0", "-0.0", "1e+21", "nan", "inf").
std::string zahl(double x) {
  char puffer[64];
  const auto [ende, fehler] = std::to_chars(puffer, puffer + sizeof puffer, x);
  std::string s(puffer, fehler == std::errc{} ? ende : puffer);
  if (std::isfinite(x) && s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string jsonZahl(double x) {
  if (std::isnan(x)) return "\"NaN\"";
  if (std::isinf(x)) return x > 0 ? "\"Infinity\"" : "\"-Infinity\"";
  char puffer[40];
  std::snprintf(puffer, sizeof puffer, "%.17g", x);
  return puffer;
}

// The length of the well-formed UTF-8 sequence at s[i], 0 if there is none.
std::size_t utf8Laenge(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  const std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0U) != 0x80U) return 0;
  }
  return n;
}

// A JSON string. Names are bytes: what is not UTF-8 is read as Latin-1.
std::string jsonText(std::string_view s) {
  std::string aus = "\"";
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == '"' || b == '\\') {
      aus += '\\';
      aus += static_cast<char>(b);
    } else if (b >= 0x20 && b < 0x80) {
      aus += static_cast<char>(b);
    } else if (const std::size_t n = b >= 0x80 ? utf8Laenge(s, i) : 0; n > 0) {
      aus.append(s.substr(i, n));
      i += n - 1;
    } else {
      char puffer[8];
      std::snprintf(puffer, sizeof puffer, "\\u%04x", static_cast<unsigned>(b));
      aus += puffer;
    }
  }
  return aus + "\"";
}

// The place of a connection in its source's list.
std::size_t listenplatz(const Netz& netz, int32_t quelle, std::size_t verbindung) {
  return verbindung - netz.verbindungsanfang(quelle);
}

bool bitsGleich(double a, double b) { return std::signbit(a) == std::signbit(b) && (a == b || (a != a && b != b)); }

std::string anzahl(int64_t n, const char* einzahl, const char* mehrzahl) {
  return std::to_string(n) + " " + (n == 1 ? einzahl : mehrzahl);
}
std::string schritte(int32_t n) { return anzahl(n, "step", "steps"); }

// --- the text -------------------------------------------------------------

class Text {
 public:
  Text(const Erklaerung& e, const Netz& netz) : e_(e), netz_(netz), name_(zellbezeichnung(netz, e.zelle)) {}

  std::string schreiben() {
    if (!e_.vorhanden) {
      return "cell " + std::to_string(e_.zelle) + ": no such cell (the net has " +
             anzahl(netz_.zellenzahl, "cell", "cells") + ")\n";
    }
    feuertest();
    erholung();
    gewichtsschritte();
    erregungen();
    ankuenfte();
    stockungen();
    nachher();
    return s_;
  }

 private:
  void zeile(const std::string& z) { s_ += z + "\n"; }
  std::string takt() const { return std::to_string(e_.zeittakt); }

  void feuertest() {
    const schlicht::Feuertest& f = e_.feuertest;
    if (!e_.imDurchlauf) {
      zeile(name_ + " at step " + takt() + ": before the first cell of the walk, no firing test; potential " +
            zahl(e_.vorher.potenzial) + " at the start of the step");
      return;
    }
    const std::string vergleich = zahl(f.potenzial) + (f.gefeuert                 ? " >= "
                                                       : f.potenzial < f.schwelle ? " < "
                                                                                  : " not >= ");
    zeile(name_ + (f.gefeuert ? " fired" : " did not fire") + " at step " + takt() + ": potential " + vergleich +
          "threshold " + zahl(f.schwelle) + " at the start of the step");
    if (f.gefeuert) {
      std::string z = "  learning factor " + zahl(f.lernfaktorVorher) + " -> " + zahl(f.lernfaktorNachher) +
                      " (change rate " + zahl(e_.aenderungsrate) + "), potential set to 0.0, ";
      if (f.refraktaerrestNachher > 0) {
        z += "refractory for " + schritte(f.refraktaerrestNachher);
      } else if (f.refraktaerrestNachher == 0) {
        z += "no refractory phase";
      } else {
        z += "refractory rest " + std::to_string(f.refraktaerrestNachher) + " (never counts down)";
      }
      zeile(z + ", spikes launched on " + anzahl(static_cast<int64_t>(f.gestartet), "connection", "connections"));
      return;
    }
    zeile("  decay: potential " + zahl(f.potenzial) + " x " + zahl(f.abklingfaktor) + " -> " +
          zahl(f.potenzialNachher));
    if (f.refraktaerrestVorher > 0) {
      zeile("  refractory: " + std::to_string(f.refraktaerrestVorher) + " -> " +
            (f.refraktaerrestNachher == 0 ? std::string("0, the refractory phase ended")
                                          : schritte(f.refraktaerrestNachher) + " left"));
    } else if (f.refraktaerrestVorher < 0) {
      zeile("  refractory rest " + std::to_string(f.refraktaerrestVorher) + ": never counts down");
    }
  }

  void erholung() {
    if (!e_.imDurchlauf) return;
    const schlicht::Erholung& r = e_.erholung;
    if (!r.lief) {
      zeile("  no recovery of the learning factor: refractory rest " +
            std::to_string(e_.feuertest.refraktaerrestNachher));
      return;
    }
    std::string z = "  recovery of the learning factor (" + std::string(r.wachstum ? "growth" : "decay") +
                    " form, factor " + zahl(r.erholfaktor) + "): " + zahl(r.lernfaktorVorher) + " -> " +
                    zahl(r.lernfaktorBerechnet);
    if (r.begrenzt) {
      z += (r.wachstum ? ", capped at the start value " : ", held at the start value ") + zahl(r.lernfaktorNachher);
    }
    zeile(z);
  }

  void gewichtsschritte() {
    std::size_t geaendert = 0;
    for (const schlicht::Gewichtsschritt& g : e_.gewichtsschritte) {
      geaendert += bitsGleich(g.gewichtVorher, g.gewichtNachher) ? 0 : 1;
    }
    if (e_.gewichtsschritte.empty()) return;
    zeile("  per-step weight update: " +
          anzahl(static_cast<int64_t>(e_.gewichtsschritte.size()), "connection", "connections") + " into the cell, " +
          std::to_string(geaendert) + " changed");
    for (const schlicht::Gewichtsschritt& g : e_.gewichtsschritte) {
      if (bitsGleich(g.gewichtVorher, g.gewichtNachher)) continue;
      std::string z = "    " + von(g.quelle, g.verbindung) + ": ";
      if (g.fensterregel) {
        z += "windowed rule, " + name_ + (g.zaehltAlsFeuernd ? " counts as firing" : " does not count as firing");
        z += ", last arrival " +
             (g.letzteankunft >= 0 ? "at step " + std::to_string(g.letzteankunft) : std::string("none"));
        z += g.zeitfenster < 0 ? std::string(", no window: ") : ", window " + std::to_string(g.zeitfenster) + ": ";
        if (g.zaehltAlsFeuernd) {
          z += g.imfenster ? "in the window" : "not in the window";
        } else {
          z += g.imfenster ? "still in the window" : "still not in the window";
        }
        const bool lernfaktor = g.imfenster || g.zeitfenster < 0;
        z += ", X = " + zahl(g.x) + (lernfaktor ? " (learning factor)" : " (start value)") + ", factor (1 - X) + " +
             zahl(g.gewichtsfaktor) + " X = " + zahl(g.faktor) + "; ";
      }
      zeile(z + "weight " + zahl(g.gewichtVorher) + " x " + zahl(g.faktor) + " -> " + zahl(g.gewichtNachher));
    }
  }

  void erregungen() {
    for (const Erregung& r : e_.erregungen) {
      zeile("  input: potential " + zahl(r.potenzialVorher) + " -> " + zahl(r.potenzialNachher) + " (threshold + 10)");
    }
  }

  void ankuenfte() {
    if (e_.ankuenfte.empty()) {
      zeile("  no spike arrived");
      return;
    }
    zeile("  arrivals in walk order: " + std::to_string(e_.ankuenfte.size()));
    for (const schlicht::Ankunft& a : e_.ankuenfte) {
      std::string z = "    " + von(a.quelle, a.verbindung) + ", delay " + std::to_string(a.verzoegerung) + ": ";
      if (a.verloren) {
        zeile(
            z + "weight " + zahl(a.gewichtVorher) + ", lost: refractory (" +
            (a.refraktaerrest > 0 ? schritte(a.refraktaerrest) + " left" : "rest " + std::to_string(a.refraktaerrest)) +
            ")");
        continue;
      }
      const bool gelernt = !bitsGleich(a.gewichtVorher, a.gewicht);
      const bool verbraucht = a.verbraucht && e_.aenderungsrate > 0;
      if (gelernt || verbraucht) {
        z += "learning: weight " + zahl(a.gewichtVorher) + " -> " + zahl(a.gewicht);
        if (verbraucht) {
          z += ", learning factor " + zahl(a.lernfaktorVorher) + " used up -> start value " + zahl(a.lernfaktorNachher);
        }
        z += "; ";
      }
      z += "weight " + zahl(a.gewicht) + ", potential " + zahl(a.potenzialVorher) + " -> " + zahl(a.potenzialNachher);
      if (a.boden) z += ", floor applied";
      zeile(z);
    }
  }

  void stockungen() {
    if (e_.stockungen.empty()) return;
    zeile("  outgoing spikes stalled: " + std::to_string(e_.stockungen.size()));
    for (const schlicht::Stockung& s : e_.stockungen) {
      zeile("    to " + zellbezeichnung(netz_, s.ziel) + " (connection " +
            std::to_string(listenplatz(netz_, s.quelle, s.verbindung)) + "): counter stays at " +
            std::to_string(s.laufzaehler) + ", drew " + std::to_string(s.zug) + " > P " + std::to_string(s.pWert));
    }
  }

  void nachher() {
    const Zellstand& n = e_.nachher;
    std::string z = "  after the step: potential " + zahl(n.potenzial) + ", learning factor " + zahl(n.lernfaktor) +
                    ", refractory rest " + std::to_string(n.refraktaerrest) + "; ";
    if (n.potenzial >= e_.schwelle) {
      z += "fires at step " + std::to_string(static_cast<int64_t>(e_.zeittakt) + 1);
    } else {
      z += "below the threshold";
    }
    zeile(z);
  }

  std::string von(int32_t quelle, std::size_t verbindung) const {
    return "from " + zellbezeichnung(netz_, quelle) + " (connection " +
           std::to_string(listenplatz(netz_, quelle, verbindung)) + ")";
  }

  const Erklaerung& e_;
  const Netz& netz_;
  std::string name_;
  std::string s_;
};

// --- JSON -----------------------------------------------------------------

class Objekt {
 public:
  Objekt& roh(const char* name, const std::string& wert) {
    s_ += leer_ ? "" : ",";
    leer_ = false;
    s_ += '"';
    s_ += name;
    s_ += "\":";
    s_ += wert;
    return *this;
  }
  Objekt& zahl(const char* name, double x) { return roh(name, jsonZahl(x)); }
  Objekt& ganz(const char* name, int64_t x) { return roh(name, std::to_string(x)); }
  Objekt& ja(const char* name, bool b) { return roh(name, b ? "true" : "false"); }
  std::string fertig() const { return s_ + "}"; }

 private:
  std::string s_ = "{";
  bool leer_ = true;
};

template <class T, class F>
std::string liste(const std::vector<T>& elemente, F f) {
  std::string s = "[";
  for (std::size_t i = 0; i < elemente.size(); ++i) s += (i > 0 ? "," : "") + f(elemente[i]);
  return s + "]";
}

std::string stand(const Zellstand& z) {
  return Objekt()
      .zahl("potential", z.potenzial)
      .ganz("refractory_rest", z.refraktaerrest)
      .zahl("learning_factor", z.lernfaktor)
      .fertig();
}

}  // namespace

std::string zellbezeichnung(const Netz& netz, int32_t c) {
  const bool mitName = !netz.nummernformat && c >= 0 && c < netz.zellenzahl &&
                       !netz.Zelltabelle[static_cast<std::size_t>(c)].name.empty();
  return mitName ? netz.Zelltabelle[static_cast<std::size_t>(c)].name : "#" + std::to_string(c);
}

std::string erklaerungText(const Erklaerung& e, const Netz& netz) { return Text(e, netz).schreiben(); }

std::string erklaerungJson(const Erklaerung& e, const Netz& netz) {
  auto name = [&](int32_t c) {
    if (netz.nummernformat || c < 0 || c >= netz.zellenzahl) return std::string("null");
    return jsonText(netz.Zelltabelle[static_cast<std::size_t>(c)].name);
  };
  Objekt o;
  o.ganz("cell", e.zelle).roh("name", name(e.zelle)).ja("known", e.vorhanden);
  if (!e.vorhanden) return o.fertig();
  o.ganz("step", e.zeittakt).ganz("p", e.pWert).ja("walked", e.imDurchlauf);
  o.roh("parameters", Objekt()
                          .zahl("threshold", e.schwelle)
                          .zahl("decay", e.abklingfaktor)
                          .ganz("refractory_time", e.refraktaerzeit)
                          .zahl("learning_start", e.lernfaktorstart)
                          .zahl("recovery_factor", e.erholfaktor)
                          .zahl("change_rate", e.aenderungsrate)
                          .fertig());
  o.roh("before", stand(e.vorher));
  const schlicht::Feuertest& f = e.feuertest;
  o.roh("firing_test", Objekt()
                           .zahl("potential", f.potenzial)
                           .zahl("threshold", f.schwelle)
                           .ja("fired", f.gefeuert)
                           .zahl("learning_factor_before", f.lernfaktorVorher)
                           .zahl("learning_factor_after", f.lernfaktorNachher)
                           .zahl("decay", f.abklingfaktor)
                           .zahl("potential_after", f.potenzialNachher)
                           .ganz("refractory_rest_before", f.refraktaerrestVorher)
                           .ganz("refractory_rest_after", f.refraktaerrestNachher)
                           .ganz("spikes_launched", static_cast<int64_t>(f.gestartet))
                           .fertig());
  const schlicht::Erholung& r = e.erholung;
  o.roh("recovery", Objekt()
                        .ja("ran", r.lief)
                        .roh("form", r.wachstum ? "\"growth\"" : "\"decay\"")
                        .zahl("factor", r.erholfaktor)
                        .zahl("start_value", r.lernfaktorstart)
                        .zahl("learning_factor_before", r.lernfaktorVorher)
                        .zahl("learning_factor_computed", r.lernfaktorBerechnet)
                        .zahl("learning_factor_after", r.lernfaktorNachher)
                        .ja("limited", r.begrenzt)
                        .fertig());
  o.roh("weight_updates", liste(e.gewichtsschritte, [&](const schlicht::Gewichtsschritt& g) {
          Objekt w;
          w.ganz("source", g.quelle)
              .roh("source_name", name(g.quelle))
              .ganz("connection", static_cast<int64_t>(listenplatz(netz, g.quelle, g.verbindung)))
              .ganz("list_index", static_cast<int64_t>(g.verbindung))
              .roh("rule", g.fensterregel ? "\"windowed\"" : "\"plain\"")
              .zahl("weight_factor", g.gewichtsfaktor);
          if (g.fensterregel) {
            w.ja("counts_as_firing", g.zaehltAlsFeuernd)
                .ganz("last_arrival", g.letzteankunft)
                .ganz("window", g.zeitfenster)
                .ja("in_window_before", g.imfensterVorher)
                .ja("in_window", g.imfenster)
                .zahl("x", g.x);
          }
          return w.zahl("factor", g.faktor)
              .zahl("weight_before", g.gewichtVorher)
              .zahl("weight_after", g.gewichtNachher)
              .fertig();
        }));
  o.roh("inputs", liste(e.erregungen, [](const Erregung& x) {
          return Objekt()
              .zahl("potential_before", x.potenzialVorher)
              .zahl("potential_after", x.potenzialNachher)
              .fertig();
        }));
  o.roh("arrivals", liste(e.ankuenfte, [&](const schlicht::Ankunft& a) {
          return Objekt()
              .ganz("source", a.quelle)
              .roh("source_name", name(a.quelle))
              .ganz("connection", static_cast<int64_t>(listenplatz(netz, a.quelle, a.verbindung)))
              .ganz("list_index", static_cast<int64_t>(a.verbindung))
              .ganz("delay", a.verzoegerung)
              .ja("lost", a.verloren)
              .ganz("refractory_rest", a.refraktaerrest)
              .zahl("learning_step", a.lernschritt)
              .zahl("max_weight", a.maximalgewicht)
              .ja("uses_up_learning_factor", a.verbraucht)
              .zahl("weight_before", a.gewichtVorher)
              .zahl("weight", a.gewicht)
              .zahl("learning_factor_before", a.lernfaktorVorher)
              .zahl("learning_factor_after", a.lernfaktorNachher)
              .zahl("potential_before", a.potenzialVorher)
              .zahl("potential_after", a.potenzialNachher)
              .ja("floor", a.boden)
              .fertig();
        }));
  o.roh("stalls", liste(e.stockungen, [&](const schlicht::Stockung& s) {
          return Objekt()
              .ganz("target", s.ziel)
              .roh("target_name", name(s.ziel))
              .ganz("connection", static_cast<int64_t>(listenplatz(netz, s.quelle, s.verbindung)))
              .ganz("list_index", static_cast<int64_t>(s.verbindung))
              .ganz("counter", s.laufzaehler)
              .ganz("draw", s.zug)
              .fertig();
        }));
  std::string nachher = stand(e.nachher);
  nachher.pop_back();
  nachher +=
      ",\"incoming_weights\":" +
      liste(e.eingangsgewichte,
            [](const Eingangsgewicht& g) {
              return Objekt().ganz("list_index", static_cast<int64_t>(g.verbindung)).zahl("weight", g.gewicht).fertig();
            }) +
      "}";
  o.roh("after", nachher);
  return o.fertig();
}

}  // namespace velkor
