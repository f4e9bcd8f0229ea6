#pragma once
// The simulation window TForm1: owner of the simulation, the view flags, the
// display state and the canvas; its event handlers run the program.

#include <QMainWindow>
#include <QRegion>
#include <QString>
#include <memory>
#include <string>

#include "app/dialogs/dialoge.h"
#include "app/fensteroptionen.h"
#include "app/leinwand.h"
#include "display/anzeige.h"
#include "display/qt/qimagecanvas.h"
#include "engine/simulation.h"

class QAction;
class QMenu;

namespace velkor {

// A run can be stopped with Escape; the note says so while it goes.
inline constexpr const char* hinweisLauf = "Lauf: Esc hält an";
inline constexpr int laufhinweisX = 420;
inline constexpr const char* hinweisKeineNetzdatei = "keine Netzdatei geöffnet";
inline constexpr const char* hinweisKeineEingabedatei = "keine Eingabedatei geöffnet";

// The menu items, named after their components.
struct Menue {
  QAction* Dateien1 = nullptr;
  QAction* Netzdateiffnen1 = nullptr;
  QAction* Eingabedateiffnen1 = nullptr;
  QAction* Zustandsausgabe1 = nullptr;
  QAction* Bildschirmspeichern1 = nullptr;
  QAction* Beenden1 = nullptr;
  QAction* Ansicht1 = nullptr;
  QAction* Zelldarstellung1 = nullptr;
  QAction* Verbindungsgewvariabel1 = nullptr;
  QAction* Verbindungsgewkonstant1 = nullptr;
  QAction* Oszilloskopdarstellung1 = nullptr;
  QAction* mitEPSpS1 = nullptr;
  QAction* ohneEPSPs1 = nullptr;
  QAction* EPSPsnumerisch1 = nullptr;
  QAction* feuerndeZellen1 = nullptr;
  QAction* komprimiert1 = nullptr;
  QAction* Start1 = nullptr;
  QAction* SimulationbisStop1 = nullptr;
  QAction* EinzelzyklenmitLeertaste1 = nullptr;
  QAction* Neustart1 = nullptr;
  QAction* Extras1 = nullptr;
  QAction* Bereichsauswahl1 = nullptr;
  QAction* Bildverschiebung1 = nullptr;
  QAction* Protokoll1 = nullptr;
  QAction* Protokollbeenden1 = nullptr;
  QAction* Zeitraffer1 = nullptr;
  QAction* Zeitlupe1 = nullptr;
  QAction* Pmitnderung1 = nullptr;
  QAction* Pohnenderung1 = nullptr;
  QAction* Paufheben1 = nullptr;
  QAction* Hilfe1 = nullptr;
};

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(Fensteroptionen optionen, QWidget* parent = nullptr);
  ~TForm1() override;

  // Creates TForm2..TForm8 (hidden); the handlers create them on first use otherwise.
  void dialogeErzeugen();
  Dialoge& dialoge();

  // Window events.
  void initialisieren();        // paint: the bar, its notes, the start preparation
  void auswahl(QChar zeichen);  // a typed character
  void neuzeichnen();           // click, resize
  void abfrage();               // close

  // "Start"
  void uzyklen();
  void Einzelzellenfunktion_abschalten();
  void neuinitialisieren();
  void Beenden1Click();

  // "Dateien"
  void netzoeffnen();
  void eingabeoeffnen();
  void zustandsausgabe();
  void druckausgabe();
  // "Ansicht"
  void Verbindungsgewvariabel1Click();
  void Verbindungsgewkonstant1Click();
  void mitEPSpS1Click();
  void ohneEPSPs1Click();
  void numerisch();
  void feuerndeZellen1Click();
  void komprimiert1Click();
  // "Extras"
  void Bereichsauswahl1Click();
  void Bildverschiebung1Click();
  void logstart();
  void logende();
  void zeitraffereinstellen();
  void zeitlupeeinstellen();
  void Pmitnderung1Click();
  void Pohnenderung1Click();
  void Paufheben();
  // "Hilfe"
  void hilfe();

  // State, for the tests and the menu handlers.
  bool kommandozeilenmodus() const { return !optionen_.parameter.empty(); }
  Simulation& simulation() { return sim_; }
  Ansichtsflags& ansicht() { return ansicht_; }
  Anzeigezustand& anzeigezustand() { return zustand_; }
  QImageCanvas& canvas() { return canvas_; }
  const Menue& menue() const { return menue_; }
  Leinwand* leinwand() const { return leinwand_; }
  bool beendet() const { return beendet_; }
  int endcode() const { return endcode_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* objekt, QEvent* e) override;

 private:
  // tform1_menue.cpp
  void createActions();
  void createMenus();
  QAction* aktion(QAction*& feld, const char* name, const char* text, void (TForm1::*handler)());

  // tform1_lauf.cpp
  void startvorbereitungKommandozeile();
  void startvorbereitungMenue();
  bool netzLaden();
  bool eingabeOeffnen();
  void ansichtNachLaden();
  void zyklusLaufen();  // tform1_zyklus.cpp
  void dateiWiederWaehlbar(bool netzdatei);
  void fehlhinweisZeigen();
  void laufsperreSetzen();  // "Neustart" on, the parameter items of "Extras" off
  void extrasFreigeben(bool frei);

  // tform1_handler.cpp
  void bildschirmSichern(QDialog& dialog, int obenAbstand);
  QString dateiWaehlen(const QString& titel, const QStringList& filter);
  void dateiErsetzen(std::size_t parameter, const QString& pfad);

  // tform1.cpp
  void initialisierenEinreihen();
  void geometrieLesen();
  void groesseGeaendert();
  void sanduhr();
  void normalzeiger();
  void meldung(const QString& text);
  void meldung(const std::string& text) { meldung(QString::fromStdString(text)); }
  void ende(int code);
  void bildZeigen();        // schedules a repaint of the canvas widget
  void bildSofortZeigen();  // repaints at once, processing no input
  void logPruefen();

  Fensteroptionen optionen_;
  Simulation sim_;
  Ansichtsflags ansicht_;
  Anzeigezustand zustand_;
  QImageCanvas canvas_;
  Anzeige anzeige_;
  std::unique_ptr<Dialoge> dialoge_;
  Leinwand* leinwand_ = nullptr;
  Menue menue_;
  QMenu* dateienMenue_ = nullptr;

  bool initialisierenVorgemerkt_ = false;
  QRegion menueSpur_;                        // what closed menus uncovered and the window system has not yet exposed
  int sperre_ = 0;                           // > 0 while a handler shows a message box or prepares a start
  bool vorbereitungFehlgeschlagen_ = false;  // not retried on every paint; "Neustart" clears it
  // After a file that could not be loaded: the red note of the file to choose
  // anew, redrawn by every paint in the command-line mode.
  int fehlhinweisX_ = 0;
  std::string fehlhinweis_;
  int eingabehinweisX_ = 220;  // moved right when it would run into the net file's note
  bool ersterBild_ = false;
  bool netzUnbrauchbar_ = false;  // a fatal format error: the half-read net is never drawn      // the net as first
                                  // drawn, no time step asked for since
  int laeuft_ = 0;                // > 0 inside a run: paints and redraws wait for its end
  bool groesseNachLauf_ = false;
  bool initialisierenNachLauf_ = false;
  bool sanduhrAn_ = false;
  bool beendet_ = false;
  int endcode_ = 0;
};

}  // namespace velkor
