#include "display/anzeige.h"

#include <algorithm>

#include "display/primitive.h"

namespace velkor {

Anzeige::Anzeige(Simulation& sim, Ansichtsflags& ansicht, Anzeigezustand& zustand, Canvas& canvas)
    : sim_(sim), ansicht_(ansicht), zustand_(zustand), canvas_(canvas) {
  canvas_.schrifthoehe(14);
  farbenZuruecksetzen();
}

Anzeige::~Anzeige() {
  if (log_ != nullptr) std::fclose(log_);
}

int32_t Anzeige::zellenzahl() const {
  const auto& netz = sim_.netz;
  return std::clamp<int32_t>(netz.zellenzahl, 0, static_cast<int32_t>(netz.Zelltabelle.size()));
}

Anzeige::Fenster Anzeige::zellenfenster() const {
  // Running number n = index + 1; shown are displayStart <= n < displayStart + 34.
  const int64_t start = sim_.param.displayStart;
  const int64_t n = zellenzahl();
  Fenster f;
  f.von = static_cast<int32_t>(std::clamp<int64_t>(start - 1, 0, n));
  f.bis = static_cast<int32_t>(std::clamp<int64_t>(start + 33, 0, n));
  if (f.bis < f.von) f.bis = f.von;
  return f;
}

void Anzeige::leeren(int x1, int y1, int x2, int y2) {
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
  canvas_.stiftfarbe(farben::weiss);
  canvas_.rectangle(x1, y1, x2, y2);
  canvas_.stiftfarbe(farben::schwarz);
}

void Anzeige::text(int x, int y, const std::string& s, Farbe farbe) {
  canvas_.schriftfett(true);
  canvas_.schriftfarbe(farbe);
  canvas_.textOut(x, y, s);
  canvas_.schriftfarbe(farben::schwarz);
}

void Anzeige::zeilenvorschub() {
  auto& z = zustand_;
  const int32_t zeitraffer = sim_.param.zeitraffer;
  // Line end of the previous step; the 7 blanks when a header is due.
  if (ansicht_.numerisch() && logt()) {
    logSchreiben("\r\n");
    if (z.protokollzeilen >= 20) logSchreiben("       ");
  }
  if (ansicht_.ansichtFeuernd) return;  // the firing-cells table moves its rows itself

  // A rest left negative by an earlier negative zeitraffer would hold the
  // rows for good; with zeitraffer 0 or more the countdown is simply over.
  if (z.rafferrest < 0 && zeitraffer >= 0) z.rafferrest = 0;
  // With a negative zeitraffer the row never advances again: every step
  // prepares the row opened last (the tables' cursor stands one pixel below it).
  int32_t R = z.schreibzeile;
  if (z.rafferrest == 0) {
    if (ansicht_.oszi()) {
      const int32_t modul = z.H - 100;
      z.schreibzeile = modul > 0 ? (z.schreibzeile + 1) % modul : 0;
      if (z.schreibzeile == 0) z.schreibzeile = 20;
    } else {
      const int32_t modul = z.H - 131;
      z.schreibzeile = modul > 0 ? (z.schreibzeile + 20) % modul : 0;
      if (z.schreibzeile < 20) z.schreibzeile = 20;
    }
    R = z.schreibzeile;
    z.rafferrest = zeitraffer;
  } else if (z.rafferrest > 0) {
    --z.rafferrest;
  } else if (!ansicht_.oszi()) {
    R = std::max(z.schreibzeile - 1, 20);
  }
  z.schreibspalte = 1;
  if (!ansicht_.zellansicht() && !ansicht_.ansichtKomprimiert && z.rafferrest == zeitraffer) zeileVorbereiten(R);
}

// A new row R: the band cleared, the rule or sweep line, the name header, the
// time step (numeric table).
void Anzeige::zeileVorbereiten(int32_t R) {
  auto& z = zustand_;
  const bool oszi = ansicht_.oszi();
  const bool numerisch = ansicht_.numerisch();
  const int rechts = z.W - 10;
  canvas_.stiftstil(Stiftstil::durchgezogen);
  if (oszi) {
    canvas_.stiftfarbe(farben::weiss);
    canvas_.moveTo(0, R);
    canvas_.lineTo(rechts, R);
    canvas_.stiftfarbe(farben::schwarz);
    canvas_.moveTo(0, R + 1);
    canvas_.lineTo(rechts, R + 1);
  } else {
    leeren(0, R - 2, rechts, R + 22);
    canvas_.moveTo(0, R + 20);
    canvas_.lineTo(rechts, R + 20);
  }
  const int Y = oszi ? R + 2 : R + 21;
  z.namenspalte = 8;
  leeren(0, Y, rechts, Y + 13);
  if (numerisch) {
    z.schreibspalte = 51;
    z.namenspalte = 61;
  }
  const bool kopf = numerisch && logt() && z.protokollzeilen >= 20;
  const Fenster f = zellenfenster();
  for (int32_t c = f.von; c < f.bis; ++c) {
    const TZelle& zelle = sim_.netz.Zelltabelle[static_cast<std::size_t>(c)];
    text(z.namenspalte, Y, zelle.name);
    z.namenspalte += 35;
    if (kopf) logSchreiben(rechtsbuendig(zelle.name, 5));
  }
  z.laufendeNummer = zellenzahl();
  if (numerisch && logt()) {
    if (z.protokollzeilen >= 20) {
      logSchreiben("\r\n");
      z.protokollzeilen = 1;
    } else {
      ++z.protokollzeilen;
    }
  }
  z.schreibzeile = oszi ? R : R + 1;
  if (numerisch) {
    text(0, z.schreibzeile, rechtsbuendig(sim_.zeittakt, 6));
    if (logt()) logSchreiben(rechtsbuendig(sim_.zeittakt, 6) + " ");
  }
}

void Anzeige::anzeigen() {
  const bool zeichnen = canvas_.zeichnet();
  const Fenster f = zellenfenster();
  // The cell and compressed views and the firing-cells table look at every
  // cell; the numeric table and the oscilloscope only at their window.
  const bool alle = (zeichnen && (ansicht_.zellansicht() || ansicht_.ansichtKomprimiert)) ||
                    (ansicht_.ansichtFeuernd && (zeichnen || logt()));
  if (alle) {
    const int32_t n = zellenzahl();
    for (int32_t c = 0; c < n; ++c) zelleAnzeigen(c, f.enthaelt(c));
  } else if (ansicht_.oszi() || ansicht_.numerisch()) {
    for (int32_t c = f.von; c < f.bis; ++c) zelleAnzeigen(c, true);
  }
  zustand_.laufendeNummer = zellenzahl();
}

// The parts of the views for one cell, in their order.
void Anzeige::zelleAnzeigen(int32_t c, bool imFenster) {
  const TZelle& z = sim_.netz.Zelltabelle[static_cast<std::size_t>(c)];
  zustand_.laufendeNummer = c + 1;
  const bool zeichnen = canvas_.zeichnet();
  const Zellzustand zz = zellzustand(z);
  if (zz != Zellzustand::ruhend) {
    if (zeichnen && ansicht_.zellansicht()) zellSchritt(c);
    if (zeichnen && ansicht_.ansichtKomprimiert) komprimiertSchritt(c, true);
  }
  if (imFenster && ansicht_.oszi()) osziZelle(z);
  if (imFenster && ansicht_.numerisch()) numerischZelle(z);
  if (zz == Zellzustand::feuernd && ansicht_.ansichtFeuernd) feuerndZeile(z);
  if (zz == Zellzustand::ruhend) {
    if (zeichnen && ansicht_.zellansicht()) zellSchritt(c);
    if (zeichnen && ansicht_.ansichtKomprimiert) komprimiertSchritt(c, true);
  }
}

void Anzeige::taktanzeige() {
  auto& z = zustand_;
  const std::string s = std::to_string(sim_.zeittakt);
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
  if (z.neugezeichnet) {
    // paints over the counter left at the old window height
    text(1, z.taktzeile, s, farben::weiss);
    z.neugezeichnet = false;
  }
  text(1, z.H - 80, s);
  z.taktzeile = z.H - 80;
}

void Anzeige::netzfehlerHinweis() {
  const std::string sterne(68, '*');
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
  text(300, 300, sterne);
  text(300, 320, "Netzfehler:");
  text(300, 340, "Simulation abgebrochen,");
  text(300, 360, "Details siehe Protokolldatei");
  text(300, 380, sterne);
}

void Anzeige::netzzeichnen() {
  if (!canvas_.zeichnet()) return;
  if (ansicht_.ansichtKomprimiert)
    gitterZeichnen(false);
  else if (ansicht_.zellansicht())
    zellnetzZeichnen(false);
}

void Anzeige::neuzeichnen() {
  if (!ansicht_.zellansicht() && !ansicht_.ansichtKomprimiert) return;
  if (canvas_.zeichnet()) {
    if (ansicht_.ansichtKomprimiert)
      gitterZeichnen(true);
    else
      zellnetzZeichnen(true);
  }
  zustand_.neugezeichnet = true;
}

}  // namespace velkor
