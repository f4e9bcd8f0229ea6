// Start-up and run control of the simulation window: the paint handler, the
// start preparations, single steps, runs until stop, "Neustart" and the end.

#include <QElapsedTimer>
#include <fstream>

#include "app/kommandozeile.h"
#include "app/tform1.h"
#include "engine/start.h"
#include "engine/zyklus.h"
#include "net/netzladen.h"

namespace velkor {

namespace {

// Passes every hook to the display and, after each time step, shows the
// canvas at least every 50 ms, so the screen follows a run until stop.
class LaufendeAnzeige : public Zyklusanzeige {
 public:
  LaufendeAnzeige(Anzeige& anzeige, std::function<void()> zeigen) : anzeige_(anzeige), zeigen_(std::move(zeigen)) {
    uhr_.start();
  }
  void zeilenvorschub() override { anzeige_.zeilenvorschub(); }
  void refraktaerEnde(int32_t zelle) override { anzeige_.refraktaerEnde(zelle); }
  void anzeigen() override { anzeige_.anzeigen(); }
  void taktanzeige() override {
    anzeige_.taktanzeige();
    if (uhr_.elapsed() >= 50) {
      zeigen_();
      uhr_.restart();
    }
  }
  void eingabeHinweis() override { anzeige_.eingabeHinweis(); }
  void netzfehlerHinweis() override { anzeige_.netzfehlerHinweis(); }

 private:
  Anzeige& anzeige_;
  std::function<void()> zeigen_;
  QElapsedTimer uhr_;
};

}  // namespace

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
    anzeige_.hinweis(80, hinweisEinzelzyklen);
    anzeige_.farbenZuruecksetzen();
    // after a failed file operation the preparation waits for "Neustart"
    if (!sim_.lauf.gestartet && !vorbereitungFehlgeschlagen_) startvorbereitungKommandozeile();
  } else if (!sim_.lauf.gestartet && !sim_.lauf.neugestartet) {
    if (sim_.param.netzdateiname.empty()) anzeige_.roterHinweis(57, hinweisKeineNetzdatei);
    if (sim_.param.eingabedateiname.empty()) anzeige_.roterHinweis(220, hinweisKeineEingabedatei);
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

  if (sim_.param.netzdateiname.empty()) {
    std::ofstream leer(protokolldateiname, std::ios::trunc);  // "protok.txt" is created all the same
    sim_.param.farbBild = true;
    anzeige_.roterHinweis(75, hinweisKeineNetzdatei);
    anzeige_.farbenZuruecksetzen();
    normalzeiger();
    return;
  }
  if (!netzLaden()) return;
  ansichtNachLaden();
  if (sim_.param.eingabedateiname.empty()) {
    sim_.param.farbBild = true;
    anzeige_.roterHinweis(80, hinweisKeineEingabedatei);
    anzeige_.farbenZuruecksetzen();
    normalzeiger();
    return;
  }
  if (!eingabeOeffnen()) return;
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
  normalzeiger();
}

// "protok.txt", the net, the end of the load. False when the program cannot
// go on with this start (a message has been shown).
bool TForm1::netzLaden() {
  const Ladeergebnis e = netzVorbereiten(sim_);
  switch (e.status) {
    case Ladestatus::formatfehler:
      meldung(QString::fromUtf8(formatfehlerText));
      ende(1);  // at once, without the close handler
      return false;
    case Ladestatus::dateifehler:
      vorbereitungFehlgeschlagen_ = true;
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
  sim_.zeittakt = 0;
  if (ansicht_.oszi()) zustand_.schreibzeile = 20;
  if (ansicht_.zellansicht() || ansicht_.ansichtKomprimiert) anzeige_.netzzeichnen();
}

bool TForm1::eingabeOeffnen() {
  std::string fehler;
  if (eingabeVorbereiten(sim_, fehler)) return true;
  vorbereitungFehlgeschlagen_ = true;
  meldung(fehler);
  return false;
}

// Time steps until `anhalten`; the canvas is shown as the run goes, but no
// input is handled until it stops.
void TForm1::zyklusLaufen() {
  LaufendeAnzeige laufend(anzeige_, [this] { bildSofortZeigen(); });
  zyklus(sim_, laufend);
  bildSofortZeigen();
  logPruefen();
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
  if (!sim_.lauf.gestartet) return;
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
  menue_.Ansicht1->setEnabled(true);
  menue_.Neustart1->setEnabled(false);
  extrasFreigeben(true);
  sim_.lauf.neugestartet = true;

  sanduhr();
  anzeige_.statusleiste();
  vorbereitungFehlgeschlagen_ = false;  // the start preparation may try again
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
