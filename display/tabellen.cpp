// The numeric table ("EPSPs, numerisch"), the firing-cells table ("feuernde
// Zellen") and the trace log "logfile.txt" that copies them line by line.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "display/anzeige.h"
#include "display/primitive.h"
#include "net/dateigrund.h"

namespace velkor {

namespace {

const std::string feuerText = " f*f*f  ";
const std::string feuerLog = "  fff";
const std::string refraktaerText = "  ***";
const std::string feuerKopf = "                 Zeittakt       feuernde Zelle";
const std::string feuerKopfLog = "       Zeittakt   feuernde Zelle";
const std::string logHinweis = "Protokolldatei geöffnet";

}  // namespace

bool Anzeige::logt() const { return sim_.lauf.logAktiv && log_ != nullptr; }

// Every entry is flushed at once, so the file is current while the run goes
// on. A failing write is remembered, never fatal.
void Anzeige::logSchreiben(const std::string& s) {
  if (log_ == nullptr) return;
  errno = 0;
  const bool gut = std::fwrite(s.data(), 1, s.size(), log_) == s.size() && std::fflush(log_) == 0;
  if (!gut && logFehler_.empty()) {
    const int fehler = errno;
    logFehler_ = dateifehler(logdateiname, fehler, "Schreibfehler");
  }
}

bool Anzeige::logFehlerfrei(std::string* fehler) const {
  if (fehler != nullptr) *fehler = logFehler_;
  return logFehler_.empty();
}

int64_t Anzeige::logLaenge() const {
  if (log_ == nullptr) return -1;
  return static_cast<int64_t>(std::ftell(log_));  // every entry is flushed
}

bool Anzeige::logKuerzen(int64_t laenge) {
  if (log_ == nullptr || laenge < 0) return false;
  std::error_code fehler;
  std::fflush(log_);
  std::filesystem::resize_file(logdateiname, static_cast<std::uintmax_t>(laenge), fehler);
  if (fehler || std::fseek(log_, static_cast<long>(laenge), SEEK_SET) != 0) {
    if (logFehler_.empty()) logFehler_ = dateifehler(logdateiname, fehler ? fehler.value() : errno, "Schreibfehler");
    return false;
  }
  return true;
}

bool Anzeige::logstart(std::string& fehler) {
  if (log_ != nullptr) {  // started again while open: the file is created anew
    std::fclose(log_);
    log_ = nullptr;
    sim_.lauf.logOffen = false;
    sim_.lauf.logAktiv = false;
  }
  errno = 0;
  log_ = std::fopen(logdateiname, "wb");
  if (log_ == nullptr) {
    const int e = errno;
    fehler = dateifehler(logdateiname, e, "nicht anzulegen");
    return false;
  }
  logFehler_.clear();
  sim_.lauf.logOffen = true;
  sim_.lauf.logAktiv = true;
  zustand_.protokollzeilen = 20;
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::gruen);
  text(580, 3, logHinweis, farben::rot);
  farbenZuruecksetzen();
  return true;
}

void Anzeige::logende() {
  if (log_ != nullptr) {
    if (std::fclose(log_) != 0 && logFehler_.empty()) logFehler_ = dateifehler(logdateiname, errno, "Schreibfehler");
    log_ = nullptr;
  }
  sim_.lauf.logOffen = false;
  hinweisLoeschen(580, logHinweis);
  sim_.lauf.logAktiv = false;
}

// One entry of the numeric row: the potential truncated toward zero in 5
// characters, " f*f*f  " for a firing cell, "  ***" for a refractory one.
void Anzeige::numerischZelle(const TZelle& z) {
  auto& spalte = zustand_.schreibspalte;
  const int32_t zeile = zustand_.schreibzeile;
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.pinselfarbe(farben::weiss);
  switch (zellzustand(z)) {
    case Zellzustand::ruhend: {
      const std::string wert = rechtsbuendig(ganzzahl(z.potenzial), 5);
      text(spalte + 5, zeile, wert);
      spalte += 35;
      if (logt()) logSchreiben(wert);
      break;
    }
    case Zellzustand::feuernd:
      spalte += 5;
      text(spalte, zeile, feuerText);
      spalte += 30;
      if (logt()) logSchreiben(feuerLog);
      break;
    case Zellzustand::refraktaer:
      text(spalte + 5, zeile, refraktaerText);
      spalte += 35;
      if (logt()) logSchreiben(refraktaerText);
      break;
  }
}

// A firing cell gets its own row, on top of a rule and the table header.
void Anzeige::feuerndZeile(const TZelle& z) {
  auto& zs = zustand_;
  const int rechts = zs.W - 10;
  const int32_t modul = zs.H - 131;
  int32_t R = modul > 0 ? (zs.schreibzeile + 20) % modul : 0;
  if (R < 20) R = 20;
  leeren(0, R - 2, rechts, R + 22);
  canvas_.stiftstil(Stiftstil::durchgezogen);
  canvas_.moveTo(0, R + 20);
  canvas_.lineTo(rechts, R + 20);
  leeren(0, R + 21, rechts, R + 34);
  text(0, R + 21, feuerKopf);
  if (logt()) {
    if (zs.protokollzeilen < 20) {
      ++zs.protokollzeilen;
    } else {
      logSchreiben(feuerKopfLog + "\r\n");
      zs.protokollzeilen = 1;
    }
  }
  zs.schreibzeile = R + 1;
  text(75, R + 1, rechtsbuendig(sim_.zeittakt, 5) + std::string(12, ' ') + z.name);
  if (feuerzeileGeschrieben) feuerzeileGeschrieben(R + 1, static_cast<int32_t>(&z - sim_.netz.Zelltabelle.data()));
  if (logt()) logSchreiben("         " + rechtsbuendig(sim_.zeittakt, 5) + "    " + z.name + "\r\n");
}

}  // namespace velkor
