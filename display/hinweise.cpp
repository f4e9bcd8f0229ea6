// The Statusleiste with its notes, and what the view-menu handlers do to the
// flags and the picture.

#include "display/anzeige.h"

namespace velkor {

void Anzeige::farbenZuruecksetzen() {
  canvas_.schriftfarbe(farben::schwarz);
  canvas_.stiftfarbe(farben::schwarz);
  canvas_.stiftstil(Stiftstil::durchgezogen);
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
}

void Anzeige::statusleiste() {
  canvas_.stiftfarbe(farben::gruen);
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::gruen);
  canvas_.rectangle(0, 0, zustand_.W, 19);
  canvas_.stiftfarbe(farben::schwarz);
  canvas_.pinselfarbe(farben::weiss);
}

namespace {

void notiz(Canvas& canvas, int x, const std::string& s, Farbe farbe) {
  canvas.schriftfett(true);
  canvas.schriftfarbe(farbe);
  canvas.pinselstil(Pinselstil::voll);
  canvas.pinselfarbe(farben::gruen);
  canvas.textOut(x, 3, s);
}

}  // namespace

void Anzeige::hinweis(int x, const std::string& text) {
  notiz(canvas_, x, text, farben::weiss);
  farbenZuruecksetzen();
}

void Anzeige::roterHinweis(int x, const std::string& text) {
  notiz(canvas_, x, text, farben::rot);
  farbenZuruecksetzen();
}

void Anzeige::hinweisLoeschen(int x, const std::string& text) {
  notiz(canvas_, x, text, farben::gruen);
  farbenZuruecksetzen();
}

void Anzeige::eingabeHinweis() {
  statusleiste();
  hinweis(80, hinweisEinzelzyklen);
}

// The view-menu handlers: one flag set, the others cleared, the picture
// below the Statusleiste cleared (to H - 55 or H - 60).
void Anzeige::Verbindungsgewvariabel1Click(bool kommandozeilenmodus) {
  ansicht_.alleLoeschen();
  ansicht_.ansichtZellVariabel = true;
  leeren(1, 19, zustand_.W, zustand_.H - 55);
  if (kommandozeilenmodus) neuzeichnen();
}

void Anzeige::Verbindungsgewkonstant1Click(bool kommandozeilenmodus) {
  ansicht_.alleLoeschen();
  ansicht_.ansichtZellKonstant = true;
  leeren(1, 19, zustand_.W, zustand_.H - 60);
  if (kommandozeilenmodus) neuzeichnen();
}

void Anzeige::mitEPSpS1Click() {
  ansicht_.alleLoeschen();
  ansicht_.ansichtOsziMitEpsps = true;
  leeren(1, 19, zustand_.W, zustand_.H - 60);
}

void Anzeige::ohneEPSPs1Click() {
  ansicht_.alleLoeschen();
  ansicht_.ansichtOsziOhneEpsps = true;
  leeren(1, 19, zustand_.W, zustand_.H - 60);
}

void Anzeige::numerisch() {
  ansicht_.alleLoeschen();
  leeren(1, 19, zustand_.W, zustand_.H - 60);
}

void Anzeige::feuerndeZellen1Click() {
  ansicht_.alleLoeschen();
  ansicht_.ansichtFeuernd = true;
  leeren(1, 19, zustand_.W, zustand_.H - 60);
}

void Anzeige::komprimiert1Click() {
  ansicht_.alleLoeschen();
  ansicht_.ansichtKomprimiert = true;
}

void Anzeige::komprimiertZeichnen(bool kommandozeilenmodus) {
  leeren(1, 19, zustand_.W, zustand_.H - 55);
  if (kommandozeilenmodus) neuzeichnen();
}

}  // namespace velkor
