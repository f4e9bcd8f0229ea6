// Start-up and run control of the simulation window: the paint handler, the
// start preparations, single steps, runs until stop, "Neustart" and the end.

#include <fstream>

#include "app/tform1.h"
#include "engine/zyklus.h"
#include "lauf/kommandozeile.h"
#include "lauf/start.h"
#include "net/netzladen.h"

namespace velkor {

void TForm1::initialisieren() {
  if (beendet_ || sperre_ > 0) return;
  geometrieLesen();
  anzeige_.statusleiste();
  if (kommandozeilenmodus()) {
    if (optionen_.parameter.size() < 3) {
      meldung(QString::fromUtf8(zuWenigParameterText));
      ende(1);
      return;
    }
    // after a failed file operation the preparation waits for another file
    // or "Neustart", and the bar promises no single steps
    if (vorbereitungFehlgeschlagen_) {
      fehlhinweisZeigen();
    } else {
      anzeige_.hinweis(80, hinweisEinzelzyklen);
      anzeige_.farbenZuruecksetzen();
      if (!sim_.lauf.gestartet) startvorbereitungKommandozeile();
    }
  } else if (!sim_.lauf.gestartet && !sim_.lauf.neugestartet) {
    const bool netzFehlt = sim_.param.netzdateiname.empty();
    if (netzFehlt) anzeige_.roterHinweis(57, hinweisKeineNetzdatei);
    if (sim_.param.eingabedateiname.empty()) {
      // the two notes would read as one line: a gap after the first
      eingabehinweisX_ = netzFehlt ? std::max(220, 57 + canvas_.textbreite(hinweisKeineNetzdatei) + 16) : 220;
      anzeige_.roterHinweis(eingabehinweisX_, hinweisKeineEingabedatei);
    }
    anzeige_.farbenZuruecksetzen();
    sim_.param.farbBild = true;
  }
  bildZeigen();
}

void TForm1::startvorbereitungKommandozeile() {
  canvas_.schrifthoehe(14);
  sanduhr();
  const Kommandozeilenergebnis k =
      kommandozeileLesen(optionen_.parameter, sim_.param, sim_.lauf, ansicht_, sim_.zufall, optionen_.festerSeed);
  menue_.Netzdateiffnen1->setEnabled(false);
  menue_.Eingabedateiffnen1->setEnabled(false);
  if (k.ansichtSperren) menue_.Ansicht1->setEnabled(false);
  setWindowTitle(QString::fromStdString(sim_.param.titel));

  // An empty file parameter is no dead end either: the file can be chosen
  // as after a failed load.
  if (sim_.param.netzdateiname.empty()) {
    std::ofstream leer(protokolldateiname, std::ios::trunc);  // "protok.txt" is created all the same
    sim_.param.farbBild = true;
    dateiWiederWaehlbar(true);  // "Einzelne Zyklen ..." is no longer true
    return;
  }
  if (!netzLaden()) return;
  ansichtNachLaden();
  if (sim_.param.eingabedateiname.empty()) {
    sim_.param.farbBild = true;
    dateiWiederWaehlbar(false);
    return;
  }
  if (!eingabeOeffnen()) return;
  verlaufBeginnen();
  menue_.Start1->setEnabled(true);
  normalzeiger();
}

void TForm1::startvorbereitungMenue() {
  canvas_.schrifthoehe(14);
  sanduhr();
  setWindowTitle(QStringLiteral("Simulation"));
  if (!netzLaden()) return;
  ansichtNachLaden();
  if (!eingabeOeffnen()) return;
  verlaufBeginnen();
  normalzeiger();
}

// "protok.txt", the net, the end of the load. False when the program cannot
// go on with this start (a message has been shown).
bool TForm1::netzLaden() {
  const Ladeergebnis e = netzVorbereiten(sim_);
  switch (e.status) {
    case Ladestatus::formatfehler:
      netzUnbrauchbar_ = true;
      meldung(QString::fromUtf8(formatfehlerText));
      ende(1);  // at once, without the close handler
      return false;
    case Ladestatus::dateifehler:
      dateiWiederWaehlbar(true);
      meldung(e.meldung);
      return false;
    case Ladestatus::ok:
      break;
  }
  menue_.Zustandsausgabe1->setEnabled(true);
  menue_.Protokoll1->setEnabled(true);
  return true;
}

void TForm1::ansichtNachLaden() {
  if (velkor::ansichtNachLaden(sim_, ansicht_, zustand_, &anzeige_)) ersterBild_ = true;
}

bool TForm1::eingabeOeffnen() {
  std::string fehler;
  if (eingabeVorbereiten(sim_, fehler)) return true;
  dateiWiederWaehlbar(false);
  meldung(fehler);
  return false;
}

// A file that cannot be loaded is no dead end: its open item is available
// again, "Start" waits for a new choice, and the bar says which file is
// missing instead of promising single steps.
void TForm1::dateiWiederWaehlbar(bool netzdatei) {
  vorbereitungFehlgeschlagen_ = true;
  (netzdatei ? menue_.Netzdateiffnen1 : menue_.Eingabedateiffnen1)->setEnabled(true);
  menue_.Start1->setEnabled(false);
  if (kommandozeilenmodus()) {
    fehlhinweisX_ = netzdatei ? 75 : 80;
  } else {
    (netzdatei ? sim_.param.netzdateiname : sim_.param.eingabedateiname).clear();
    fehlhinweisX_ = netzdatei ? 57 : 220;
    if (!netzdatei) eingabehinweisX_ = 220;
  }
  fehlhinweis_ = netzdatei ? hinweisKeineNetzdatei : hinweisKeineEingabedatei;
  fehlhinweisZeigen();
  normalzeiger();
}

void TForm1::fehlhinweisZeigen() {
  anzeige_.statusleiste();
  if (sim_.lauf.logOffen) anzeige_.roterHinweis(580, "Protokolldatei geöffnet");
  if (!fehlhinweis_.empty()) anzeige_.roterHinweis(fehlhinweisX_, fehlhinweis_);
  anzeige_.farbenZuruecksetzen();
}

void TForm1::extrasFreigeben(bool frei) {
  for (QAction* a : {menue_.Bereichsauswahl1, menue_.Bildverschiebung1, menue_.Zeitraffer1, menue_.Zeitlupe1,
                     menue_.Pmitnderung1, menue_.Pohnenderung1, menue_.Paufheben1}) {
    a->setEnabled(frei);
  }
}

void TForm1::laufsperreSetzen() {
  menue_.Neustart1->setEnabled(true);
  extrasFreigeben(false);
}

void TForm1::auswahl(QChar zeichen) {
  if (beendet_) return;
  menue_.Ansicht1->setEnabled(false);
  if (!sim_.lauf.gestartet) {
    // after a file that could not be loaded, "q" still ends the program
    if (zeichen == QLatin1Char('q') && vorbereitungFehlgeschlagen_) Beenden1Click();
    return;
  }
  laufsperreSetzen();
  if (zeichen == QLatin1Char(' ')) {
    sim_.lauf.anhalten = true;
    zyklusLaufen();
  }
  if (zeichen == QLatin1Char('u') && !sim_.lauf.eingabeEnde) {
    sanduhr();
    sim_.lauf.anhalten = false;
    zyklusLaufen();
    normalzeiger();
  }
  if (zeichen == QLatin1Char('\b')) schrittZurueck();
  if (zeichen == QLatin1Char('q')) Beenden1Click();
}

void TForm1::Einzelzellenfunktion_abschalten() {
  for (QAction* a : {menue_.Bereichsauswahl1, menue_.Bildverschiebung1, menue_.Zeitraffer1, menue_.Zeitlupe1}) {
    a->setEnabled(false);
  }
  anzeige_.hinweis(80, hinweisEinzelzyklen);
  anzeige_.farbenZuruecksetzen();
  laufsperreSetzen();
  menue_.Ansicht1->setEnabled(false);
  if (!sim_.lauf.gestartet) {
    startvorbereitungMenue();
  } else {
    neuzeichnen();
  }
  bildZeigen();
}

void TForm1::uzyklen() {
  laufsperreSetzen();
  if (sim_.lauf.eingabeEnde) return;
  sanduhr();
  anzeige_.hinweis(80, hinweisBisStop);
  anzeige_.farbenZuruecksetzen();
  if (!kommandozeilenmodus() && !sim_.lauf.gestartet) startvorbereitungMenue();
  if (beendet_) return;
  // a start preparation that failed leaves nothing to run
  if (sim_.lauf.gestartet) {
    sanduhr();
    sim_.lauf.anhalten = false;
    zyklusLaufen();
  }
  normalzeiger();
  bildZeigen();
}

void TForm1::neuinitialisieren() {
  for (QAction* a :
       {menue_.Bereichsauswahl1, menue_.Bildverschiebung1, menue_.Zeitraffer1, menue_.Zeitlupe1, menue_.Ansicht1}) {
    a->setEnabled(true);
  }
  if (sim_.lauf.pZufall) sim_.zufall.seed(optionen_.festerSeed ? *optionen_.festerSeed : Zufall::uhrzeitSeed());
  if (sim_.lauf.logOffen) logende();
  sim_.lauf.logOffen = false;
  sim_.lauf.logAktiv = false;
  menue_.Protokollbeenden1->setEnabled(false);
  menue_.Protokoll1->setEnabled(true);
  if (sim_.eingabe.offen()) sim_.eingabe.schliessen();

  geometrieLesen();
  canvas_.pinselstil(Pinselstil::voll);
  canvas_.stiftfarbe(farben::weiss);
  canvas_.pinselfarbe(farben::weiss);
  canvas_.rectangle(1, 1, zustand_.W, zustand_.H - 52);  // blanks the picture
  canvas_.stiftfarbe(farben::schwarz);

  sim_.lauf.gestartet = false;
  verlaufBeginnen();
  menue_.Ansicht1->setEnabled(true);
  menue_.Neustart1->setEnabled(false);
  extrasFreigeben(true);
  sim_.lauf.neugestartet = true;

  sanduhr();
  anzeige_.statusleiste();
  vorbereitungFehlgeschlagen_ = false;  // the start preparation may try again
  fehlhinweis_.clear();
  ersterBild_ = false;
  initialisieren();
  if (beendet_) return;
  normalzeiger();
  zustand_.schreibzeile = 20;
  sim_.lauf.eingabeEnde = false;
  bildZeigen();
}

void TForm1::Beenden1Click() {
  abfrage();
  ende(0);
}

}  // namespace velkor
