#pragma once
// One simulation as the Python module drives it: the same load, cycle, input
// reader and state writer as the window and velkor-batch, with errors thrown
// as exceptions instead of messages, and no file written unless asked.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "display/anzeige.h"
#include "engine/erklaeren.h"
#include "engine/simulation.h"
#include "engine/zustandsbild.h"
#include "lauf/haltepunkt.h"
#include "lauf/verlauf.h"
#include "python/aufzeichnung.h"

namespace velkor {

// A line of the net file with a first character the format does not define.
struct Formatfehler : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The net names missing cells (or its numbered header is wrong): the lines
// that "protok.txt" takes.
struct Netzfehler : std::runtime_error {
  Netzfehler(const std::string& text, std::vector<std::string> zeilen)
      : std::runtime_error(text), protokoll(std::move(zeilen)) {}
  std::vector<std::string> protokoll;
};

// A file that cannot be opened, read or written.
struct Dateifehler : std::runtime_error {
  Dateifehler(const std::string& text, int nummer, std::string name)
      : std::runtime_error(text), fehlernummer(nummer), datei(std::move(name)) {}
  int fehlernummer;  // errno, 0 when unknown
  std::string datei;
};

// Where net and input come from: a file name, or text in memory.
struct Quelle {
  std::string netz;
  bool netzAlsText = false;
  std::optional<std::string> eingabe;  // none: no input, it ends in the first time step
  bool eingabeAlsText = false;
  std::string modi;  // the mode parameter list, words separated by blanks
  std::optional<uint64_t> seed;
  std::optional<std::string> protokollordner;  // where "protok.txt" goes; none: nowhere
  int breite = 0;                              // outer size of an attached display; 0: none
  int hoehe = 0;
};

class Sitzung {
 public:
  explicit Sitzung(Quelle quelle);
  ~Sitzung();
  Sitzung(const Sitzung&) = delete;
  Sitzung& operator=(const Sitzung&) = delete;

  // n single time steps, as the space bar runs them. `unterbrechung` is asked
  // after every step; true ends the loop early, and so does a breakpoint.
  int64_t schritte(int64_t n, bool (*unterbrechung)());
  // "Simulation bis Stop": nothing once the input has ended. `unterbrechung`
  // is asked after every step; true stops the run there. `einmalig`:
  // breakpoints for this run beside the set ones.
  int64_t bisStop(bool (*unterbrechung)() = nullptr, const Haltepunkte* einmalig = nullptr);
  // Runs until stop until the input has ended or a breakpoint halts.
  int64_t bisEnde(bool (*unterbrechung)());
  // "Neustart": the net and the input loaded again, zeittakt 0.
  void neustart();

  // An input entry for `zelle` in the next time step's input phase.
  void erregen(int32_t zelle);
  // Before a change of the net by hand: the counters of spikes in transit
  // exact; after it the engine's derived state is rebuilt and the history
  // takes note (`grundlegend`: something a checkpoint does not hold changed;
  // the history starts afresh).
  void vorAenderung();
  void nachAenderung(bool grundlegend = false);
  void pSetzen(int32_t p);

  // The history: on by default.
  Verlauf& verlauf() {
    frei();
    return verlauf_;
  }
  const Verlauf& verlauf() const {
    frei();
    return verlauf_;
  }
  bool verlaufAn() const { return verlaufAn_; }
  void verlaufSetzen(bool an);
  // Goes to step n of the history (std::invalid_argument outside it,
  // Zustandsfehler when the state cannot be put back).
  void gehe(int32_t n);
  // The whole state now, and back to it.
  std::shared_ptr<const Zustandsbild> aufnehmen() const;
  void herstellen(const Zustandsbild& bild);
  uint64_t kennung() const;
  std::string bytes(const Zustandsbild& bild) const;
  std::shared_ptr<const Zustandsbild> ausBytes(std::string_view bytes) const;
  // What happened to `zellen` in time step `schritt` (of the history, or the
  // coming one), reproduced in the plain form; the simulation stays where it is.
  std::vector<Erklaerung> erklaeren(const std::vector<int32_t>& zellen, int32_t schritt);
  // The run as an input file.
  std::string eingabeText() const;

  std::string zustand() const;
  void zustandSpeichern(const std::string& pfad) const;

  // The net in its present state drawn on a fresh canvas of the outer size
  // W x H in a view that draws from the state alone: the cell view ("v",
  // "V") or the compressed view ("m N"), as the start draws it. The display
  // bookkeeping of the net is left as it was.
  std::unique_ptr<Canvas> bildZeichnen(const std::string& ansicht, int breite, int hoehe);

  // The canvas of the attached display, or none.
  const Canvas* canvas() const {
    frei();
    return canvas_.get();
  }

  // While a long call steps without the GIL, every other access throws.
  void laufBeginnen();
  void laufBeenden() { aufzeichnung_.laeuft->store(false, std::memory_order_release); }
  void frei() const { laufPruefen(aufzeichnung_.laeuft); }
  // The next time step to run; also while a call steps in another thread.
  int32_t zeittakt() const {
    if (aufzeichnung_.laeuft->load(std::memory_order_acquire))
      return aufzeichnung_.takt.load(std::memory_order_relaxed);
    return sim_.zeittakt;
  }

  Simulation& sim() {
    frei();
    return sim_;
  }
  const Simulation& sim() const {
    frei();
    return sim_;
  }
  const Quelle& quelle() const { return quelle_; }

  // The breakpoints of the calls above (python/haltebindung.cpp), and those
  // that caught the last step of the last call; empty when it did not halt.
  Haltepunkte haltepunkte;
  std::vector<Halt> halte;

  Aufzeichnung& aufzeichnung() {
    frei();
    return aufzeichnung_;
  }
  const Ansichtsflags& ansicht() const { return ansicht_; }

 private:
  void modiLesen();
  void netzLaden();
  void eingabeOeffnen();
  void anzeigeVorbereiten();
  void aufzeichnungKuerzen(int32_t ab);
  template <class F>
  int64_t mitVerlauf(F&& lauf);

  Quelle quelle_;
  Simulation sim_;
  Ansichtsflags ansicht_;
  Anzeigezustand anzeigezustand_;
  std::unique_ptr<Canvas> canvas_;
  std::unique_ptr<Anzeige> anzeige_;
  Aufzeichnung aufzeichnung_{sim_};
  int eingabeFd_ = -1;  // the input text in memory, read through its /proc path
  Verlauf verlauf_;
  bool verlaufAn_ = true;
  mutable Packer packer_;
  mutable uint64_t kennung_ = 0;
  mutable bool kennungGueltig_ = false;
};

// A state that cannot be put back: foreign, damaged, or its input file changed.
struct Zustandsfehler : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace velkor
