// The menu handlers of "Dateien", "Ansicht", "Extras" and "Hilfe".

#include <QDialog>
#include <QLineEdit>

#include "app/tform1.h"
#include "net/zustand.h"

namespace velkor {

namespace {

std::string gekuerzt(const QString& pfad) { return pfad.left(250).toStdString(); }

}  // namespace

// ---- Dateien ----

QString TForm1::dateiWaehlen(const QString& titel, const QStringList& filter) {
  ++sperre_;
  const QString pfad = optionen_.dateiWaehlen(titel, filter);
  --sperre_;
  return pfad;
}

void TForm1::netzoeffnen() {
  // the first entry lists *.NET and *.NEC in either case
  const QString pfad = dateiWaehlen(
      QStringLiteral("Netzdatei öffnen"),
      {QStringLiteral("Netzdateien(*.net;*.nec) (*.NET *.NEC *.net *.nec)"), QStringLiteral("Alle Dateien (*.*) (*)")});
  if (pfad.isEmpty()) return;
  if (kommandozeilenmodus()) {
    dateiErsetzen(1, pfad);
    return;
  }
  sim_.param.netzdateiname = gekuerzt(pfad);
  anzeige_.hinweisLoeschen(57, hinweisKeineNetzdatei);
  anzeige_.farbenZuruecksetzen();
  if (!sim_.param.netzdateiname.empty() && !sim_.param.eingabedateiname.empty()) {
    menue_.Start1->setEnabled(true);
    menue_.Ansicht1->setEnabled(true);
  }
  menue_.Netzdateiffnen1->setEnabled(false);
  bildZeigen();
}

void TForm1::eingabeoeffnen() {
  const QString pfad =
      dateiWaehlen(QStringLiteral("Eingabedatei öffnen"),
                   {QStringLiteral("Eingabedateien (*.ein) (*.EIN *.ein)"), QStringLiteral("Alle Dateien (*.*) (*)")});
  if (pfad.isEmpty()) return;
  if (kommandozeilenmodus()) {
    dateiErsetzen(2, pfad);
    return;
  }
  sim_.param.eingabedateiname = gekuerzt(pfad);
  anzeige_.hinweisLoeschen(eingabehinweisX_, hinweisKeineEingabedatei);
  anzeige_.farbenZuruecksetzen();
  if (!sim_.param.netzdateiname.empty() && !sim_.param.eingabedateiname.empty()) {
    menue_.Start1->setEnabled(true);
    menue_.Ansicht1->setEnabled(true);
  }
  menue_.Eingabedateiffnen1->setEnabled(false);
  bildZeigen();
}

// In the command-line mode a file chosen after a failed load takes the place
// of its parameter, for this start and every "Neustart"; the start
// preparation runs again at once.
void TForm1::dateiErsetzen(std::size_t parameter, const QString& pfad) {
  optionen_.parameter.at(parameter) = gekuerzt(pfad);
  vorbereitungFehlgeschlagen_ = false;
  fehlhinweis_.clear();
  initialisieren();
}

void TForm1::zustandsausgabe() {
  sanduhr();
  std::string fehler;
  const bool ok =
      zustandschreiben(sim_.netz, sim_.zeittakt, sim_.param.xVerschiebung, sim_.param.yVerschiebung, fehler);
  normalzeiger();
  if (!ok) meldung(fehler);
}

void TForm1::druckausgabe() {
  sanduhr();
  geometrieLesen();
  std::string fehler;
  const bool ok = bildschirmSpeichern(canvas_, zustand_.W, zustand_.H, sim_.param.farbBild, fehler);
  normalzeiger();
  if (!ok) meldung(fehler);
}

// ---- Ansicht ----

void TForm1::Verbindungsgewvariabel1Click() {
  anzeige_.Verbindungsgewvariabel1Click(kommandozeilenmodus());
  bildZeigen();
}

void TForm1::Verbindungsgewkonstant1Click() {
  anzeige_.Verbindungsgewkonstant1Click(kommandozeilenmodus());
  menue_.Ansicht1->setEnabled(false);
  bildZeigen();
}

void TForm1::mitEPSpS1Click() {
  anzeige_.mitEPSpS1Click();
  menue_.Ansicht1->setEnabled(false);
  bildZeigen();
}

void TForm1::ohneEPSPs1Click() {
  anzeige_.ohneEPSPs1Click();
  menue_.Ansicht1->setEnabled(false);
  bildZeigen();
}

void TForm1::numerisch() {
  anzeige_.numerisch();
  bildZeigen();
}

void TForm1::feuerndeZellen1Click() {
  anzeige_.feuerndeZellen1Click();
  bildZeigen();
}

void TForm1::komprimiert1Click() {
  anzeige_.komprimiert1Click();  // the flag is set before the dialog is shown
  Parameterdialog& d = *dialoge().tform2;
  ++sperre_;
  optionen_.dialogZeigen(d);
  --sperre_;
  sim_.param.vergroesserung = d.wert();
  anzeige_.komprimiertZeichnen(kommandozeilenmodus());
  menue_.Start1->setEnabled(true);
  bildZeigen();
}

// ---- Extras ----

// Saves the canvas area around a dialog, shows the dialog modally and puts
// the area back. The rectangle is taken as canvas coordinates, as the
// dialog's screen position gives it; only the part inside the canvas is kept.
void TForm1::bildschirmSichern(QDialog& dialog, int obenAbstand) {
  dialog.setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  const QRect d = dialog.frameGeometry();
  const QRect bereich(QPoint(d.left() - 200, d.top() - obenAbstand),
                      QPoint(d.left() + d.width() + 300 - 1, d.top() + d.height() + 55 - 1));
  const QRect gesichert = bereich.intersected(QRect(0, 0, canvas_.breite(), canvas_.hoehe()));
  const QImage kopie = canvas_.bild().copy(gesichert);
  ++sperre_;
  optionen_.dialogZeigen(dialog);
  --sperre_;
  for (int y = 0; y < kopie.height(); ++y) {
    for (int x = 0; x < kopie.width(); ++x) {
      const QRgb p = kopie.pixel(x, y);
      const int cx = gesichert.left() + x;
      const int cy = gesichert.top() + y;
      if (cx < canvas_.breite() && cy < canvas_.hoehe()) {
        canvas_.setPixel(
            cx, cy, {static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p))});
      }
    }
  }
  bildZeigen();
}

void TForm1::Bereichsauswahl1Click() {
  bildschirmSichern(*dialoge().tform5, 55);
  sim_.param.displayStart = dialoge().tform5->wert();
}

void TForm1::Bildverschiebung1Click() {
  bildschirmSichern(*dialoge().tform6, 55);
  sim_.param.xVerschiebung = dialoge().tform6->wert();
  sim_.param.yVerschiebung = dialoge().tform6->wert2();
}

void TForm1::zeitraffereinstellen() {
  bildschirmSichern(*dialoge().tform4, 55);
  sim_.param.zeitraffer = dialoge().tform4->wert();
}

void TForm1::zeitlupeeinstellen() {
  bildschirmSichern(*dialoge().tform3, 55);
  sim_.param.zeitlupe = dialoge().tform3->wert();
}

void TForm1::Pmitnderung1Click() {
  menue_.Pmitnderung1->setChecked(true);
  menue_.Pohnenderung1->setChecked(false);
  bildschirmSichern(*dialoge().tform8, 55);
  sim_.lauf.pZufall = true;
  sim_.param.pWert = dialoge().tform8->wert();
}

void TForm1::Pohnenderung1Click() {
  menue_.Pmitnderung1->setChecked(false);
  menue_.Pohnenderung1->setChecked(true);
  bildschirmSichern(*dialoge().tform8, 55);
  sim_.lauf.pZufall = false;
  sim_.param.pWert = dialoge().tform8->wert();
}

void TForm1::Paufheben() {
  menue_.Pmitnderung1->setChecked(false);
  menue_.Pohnenderung1->setChecked(false);
  sim_.lauf.pZufall = false;
  sim_.param.pWert = 100;
}

void TForm1::logstart() {
  std::string fehler;
  if (!anzeige_.logstart(fehler)) {
    menue_.Protokollbeenden1->setEnabled(sim_.lauf.logOffen);  // a log open before is closed now
    bildZeigen();
    meldung(fehler);
    return;
  }
  menue_.Protokollbeenden1->setEnabled(true);
  menue_.Protokoll1->setEnabled(false);
  // the log begins here: a checkpoint knows from this one on where it stood
  ++logNummer_;
  if (sim_.lauf.gestartet && laeuft_ == 0) {
    if (sim_.zeittakt < verlauf_.letzter()) marken(sim_.zeittakt + 1);
    verlauf_.aenderung(sim_);
    laborAktualisieren();
  }
  bildZeigen();
}

void TForm1::logende() {
  anzeige_.logende();
  menue_.Protokollbeenden1->setEnabled(false);
  bildZeigen();
  std::string fehler;
  if (!anzeige_.logFehlerfrei(&fehler)) meldung(fehler);  // a write or the closing failed
}

// ---- Hilfe ----

void TForm1::hilfe() { bildschirmSichern(*dialoge().tform7, 200); }

}  // namespace velkor
