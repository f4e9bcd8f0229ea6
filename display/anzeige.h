#pragma once
// The display layer: the per-step display work, the five views, the notes on
// the Statusleiste, the view-menu handlers' effects on flags and picture, the
// trace log and the screen export. Everything draws through the Canvas.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "display/ansicht.h"
#include "display/canvas.h"
#include "engine/simulation.h"
#include "engine/zyklusanzeige.h"

namespace velkor {

// The notes of the green bar that the window, velkor-batch and the Python
// module write alike (their pictures are compared pixel for pixel).
inline constexpr const char* hinweisEinzelzyklen = "Einzelne Zyklen mit Leertaste starten";
// A run can be stopped with Escape, so the note no longer says it cannot.
inline constexpr const char* hinweisBisStop = "Simulation bis Stop";

inline constexpr int oberkante = 20;
inline constexpr const char* logdateiname = "logfile.txt";

// Display state: the row cursor of the tables and the oscilloscope and the
// bookkeeping of the trace log. W and H are the outer window size.
struct Anzeigezustand {
  int W = 1032;
  int H = 768;
  int32_t schreibzeile = 0;
  int32_t schreibspalte = 0;
  int32_t namenspalte = 0;
  int32_t laufendeNummer = 0;
  int32_t rafferrest = 0;
  int32_t taktzeile = 0;
  bool neugezeichnet = false;
  int32_t protokollzeilen = 0;
};

class Anzeige : public Zyklusanzeige {
 public:
  Anzeige(Simulation& sim, Ansichtsflags& ansicht, Anzeigezustand& zustand, Canvas& canvas);
  ~Anzeige() override;

  // Hooks of the cycle.
  void zeilenvorschub() override;
  void refraktaerEnde(int32_t zelle) override;
  void anzeigen() override;
  void taktanzeige() override;
  void eingabeHinweis() override;     // freshly drawn bar + "Einzelne Zyklen mit Leertaste starten"
  void netzfehlerHinweis() override;  // the five-line block at x = 300

  // Draws the net once after loading (cell view or compressed grid).
  void netzzeichnen();
  // Click or resize: redraw of the cell view or the compressed view.
  void neuzeichnen();

  // View-menu handlers: flags and picture. `kommandozeilenmodus` decides the
  // redraw afterwards. Menu changes are the window's business.
  void Verbindungsgewvariabel1Click(bool kommandozeilenmodus);
  void Verbindungsgewkonstant1Click(bool kommandozeilenmodus);
  void mitEPSpS1Click();
  void ohneEPSPs1Click();
  void numerisch();
  void feuerndeZellen1Click();
  // Sets the flag; the window shows the magnification dialog, sets
  // vergroesserung, then calls komprimiertZeichnen.
  void komprimiert1Click();
  void komprimiertZeichnen(bool kommandozeilenmodus);

  // Statusleiste: the green bar (rows 0..18) and its notes.
  void statusleiste();                                   // empty green bar
  void hinweis(int x, const std::string& text);          // bold white on green at (x, 3)
  void roterHinweis(int x, const std::string& text);     // bold red at (x, 3)
  void hinweisLoeschen(int x, const std::string& text);  // bold green on green at (x, 3)
  void farbenZuruecksetzen();                            // font black, pen black, brush white

  // Trace log "logfile.txt". logstart: false with `fehler` naming the file and
  // the reason when it cannot be created. Both also draw/erase the note
  // "Protokolldatei geöffnet" at (580, 3).
  bool logstart(std::string& fehler);
  void logende();
  // False once a write to the log has failed (with the reason).
  bool logFehlerfrei(std::string* fehler = nullptr) const;
  // The open log's length in bytes (-1: none is open), and the log cut back
  // to such a length, written on from there (false once that fails).
  int64_t logLaenge() const;
  bool logKuerzen(int64_t laenge);

  Canvas& canvas() { return canvas_; }

  // Told of every entry of the firing-cells table: the row it stands on (the
  // top of its text) and the cell. For a front end that maps clicks to cells.
  std::function<void(int zeile, int32_t zelle)> feuerzeileGeschrieben;

 private:
  // Indices [von, bis) of the cells shown in the numeric table and the
  // oscilloscope: running numbers displayStart .. displayStart + 33.
  struct Fenster {
    int32_t von = 0;
    int32_t bis = 0;
    bool enthaelt(int32_t c) const { return c >= von && c < bis; }
  };
  Fenster zellenfenster() const;
  int32_t zellenzahl() const;
  void zelleAnzeigen(int32_t c, bool imFenster);
  void zeileVorbereiten(int32_t R);
  void leeren(int x1, int y1, int x2, int y2);  // pen and brush white, rectangle, pen black
  void text(int x, int y, const std::string& s, Farbe farbe = farben::schwarz);

  // Cell view (zellansicht.cpp).
  void zellnetzZeichnen(bool neu);  // neu: redraw from neuzeichnen
  void verbindungZeichnen(int32_t c, std::size_t k, double gewicht, bool vonNull);
  void zellSchritt(int32_t c);
  void zellZustandZeichnen(int32_t c, bool pegelSchreiben);
  void zellname(const TZelle& z);
  void gewichtsmarken(int32_t c);
  // Compressed view (komprimiert.cpp).
  void gitterZeichnen(bool neu);
  void komprimiertSchritt(int32_t c, bool pegelSchreiben);
  // Oscilloscope (oszi.cpp).
  void osziZelle(const TZelle& z);
  // Tables and trace log (tabellen.cpp).
  void numerischZelle(const TZelle& z);
  void feuerndZeile(const TZelle& z);
  void logSchreiben(const std::string& s);
  bool logt() const;

  Simulation& sim_;
  Ansichtsflags& ansicht_;
  Anzeigezustand& zustand_;
  Canvas& canvas_;
  std::FILE* log_ = nullptr;
  std::string logFehler_;
};

// How a cell is shown, from its record at the moment it is drawn.
enum class Zellzustand { feuernd, refraktaer, ruhend };
inline Zellzustand zellzustand(const TZelle& z) {
  if (z.refraktaerrest <= 0) return Zellzustand::ruhend;
  return z.refraktaerrest == z.refraktaerzeit ? Zellzustand::feuernd : Zellzustand::refraktaer;
}

// "Bildschirm speichern": "bild.bmp" when farbBild is set, else "bild.pcl",
// in the current directory. False with `fehler` naming the file and the reason.
bool bildschirmSpeichern(const Canvas& canvas, int W, int H, bool farbBild, std::string& fehler);

}  // namespace velkor
