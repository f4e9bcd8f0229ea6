#pragma once
// The simulation window TForm1: owner of the simulation, the view flags, the
// display state and the canvas; its event handlers run the program.

#include <QMainWindow>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialoge.h"
#include "app/fensteroptionen.h"
#include "app/leinwand.h"
#include "display/anzeige.h"
#include "display/qt/qimagecanvas.h"
#include "engine/erklaeren.h"
#include "engine/simulation.h"
#include "lauf/haltepunkt.h"
#include "lauf/verlauf.h"

class QAction;
class QMenu;
class QMouseEvent;

namespace velkor {

class Labor;

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
  QAction* Werkzeuge1 = nullptr;
  QAction* Labor1 = nullptr;
};

// A step of the history at which a run halted: at a stop mark of the input
// or at a breakpoint (then `halt` says which).
struct Haltemarke {
  int32_t takt = 0;  // the step the run halted before
  std::optional<Halt> halt;
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
  // "Werkzeuge"
  void laborZeigen();

  // The history: one step back (Backspace), one forward (replayed, or a new
  // single step at the end of the history), any step, the last stop. False
  // where the step cannot be gone to (no run prepared, outside the history,
  // a run going).
  bool schrittZurueck();
  bool schrittVor();
  bool geheZu(int32_t takt);
  bool zurStoppmarke();
  // Breakpoints: without `schwelle` a firing of `zelle` halts a run, with it
  // a crossing of that potential. Loeschen takes the same one away again.
  void haltepunktSetzen(int32_t zelle, std::optional<double> schwelle);
  void haltepunktLoeschen(int32_t zelle, std::optional<double> schwelle);
  // An input entry for `zelle` in the next time step (Shift+click); false
  // while no run is prepared or one goes.
  bool stimulieren(int32_t zelle);
  // "Eingriffe speichern": the input file with the entries given by hand.
  void eingriffeSpeichern();
  // The cell under a point of the canvas in the cell view or the compressed
  // view, -1 for none.
  int32_t zelleBei(QPoint punkt) const;
  // The cell of the column under a point in the oscilloscope or the numeric
  // table, of the entry in the firing-cells table; -1 for none.
  int32_t spalteBei(QPoint punkt) const;
  // A right-click chose a cell to look at ("Zelle untersuchen").
  std::function<void(int32_t zelle)> zelleUntersuchen;

  Verlauf& verlauf() { return verlauf_; }
  const Haltepunkte& haltepunkte() const { return haltepunkte_; }
  const std::vector<Halt>& letzteHalte() const { return halte_; }
  const std::vector<Haltemarke>& haltemarken() const { return haltemarken_; }
  Labor* labor() const { return labor_; }
  // The explanation of the step that ran last for `zelle`, worked out on a
  // replay of that step; the simulation, the picture and the log stay as they are.
  std::optional<Erklaerung> letzteErklaerung(int32_t zelle) { return erklaerung(zelle, sim_.zeittakt - 1); }
  // The potential of `zelle` at the start of each step of the history up to
  // now (the recent part, where replaying all of it would take long).
  std::vector<std::pair<int32_t, double>> potenzialVorgeschichte(int32_t zelle);
  // The explanation of `zelle` in time step `takt` of the history.
  std::optional<Erklaerung> erklaerung(int32_t zelle, int32_t takt);
  // "Spikes unterwegs zeigen" was switched.
  void unterwegsGeaendert();
  // The note of the bar that tells which breakpoint halted the last run ("" for none).
  static std::string haltText(const Netz& netz, const Halt& halt);

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

  // tform1_verlauf.cpp
  void verlaufBeginnen();
  std::shared_ptr<Verlauf::Beilage> beilageAufnehmen();
  void beilageHerstellen(const Verlauf::Beilage* beilage);
  bool zuSchrittGehen(int32_t takt);
  void marken(int32_t abTakt);  // drops the marks from step `abTakt` on
  void nachLauf();              // the marks, the bar note of a breakpoint, the tools window
  void haltNotizLoeschen();
  void laborAktualisieren();
  void vormerkNotiz();
  bool mausGedrueckt(QMouseEvent* e);
  bool werkzeugFrei() const;

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

  // The history, the breakpoints and what the tools window shows.
  Verlauf verlauf_;
  Haltepunkte haltepunkte_;
  std::vector<Halt> halte_;
  std::vector<Haltemarke> haltemarken_;
  int logNummer_ = 0;         // counts the trace logs opened, so a checkpoint knows its own
  bool logWarOffen_ = false;  // while going to a step: the log flags that the state does not carry
  bool logWarAktiv_ = false;
  std::string haltNotiz_;     // the red note of the breakpoint that halted, at laufhinweisX
  std::string vormerkNotiz_;  // the red note of the entries given by hand, at laufhinweisX
  Labor* labor_ = nullptr;
  std::map<int, int32_t> feuerzeilen_;           // the firing-cells table: row of an entry -> its cell
  std::unique_ptr<QImageCanvas> unterwegsBild_;  // the picture with the spikes in transit, when shown
  void ueberlagerungAktualisieren();
};

}  // namespace velkor
