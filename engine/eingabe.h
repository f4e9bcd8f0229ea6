#pragma once
// The input file: which cells are excited at which time step, stop marks and
// the end mark. Read strictly forwards, one entry ahead of the simulation.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velkor {

struct Netz;
struct Laufzustand;
class Zyklusanzeige;

class Eingabe {
 public:
  Eingabe();
  ~Eingabe();
  Eingabe(const Eingabe&) = delete;
  Eingabe& operator=(const Eingabe&) = delete;

  // Opens the file and reads the first entry. False (with `fehler` naming the
  // file and the reason) when it cannot be opened.
  bool eingabestart(const std::string& eingabedateiname, std::string& fehler);
  // Phase 2 of time step `zeittakt`.
  void eingabelesen(Netz& netz, int32_t zeittakt, Laufzustand& lauf, Zyklusanzeige& anzeige);
  void schliessen();
  bool offen() const;

  // Where the reader stands: enough to put it back there later (the history,
  // snapshots). The file itself is checked on the way back: a file that has
  // changed on disk since it was opened cannot be read the same again.
  struct Dateikennung {
    uint64_t geraet = 0, knoten = 0, groesse = 0;
    int64_t geaendert = 0;
    bool operator==(const Dateikennung&) const = default;
  };
  struct Lesestand {
    bool offen = false;
    Dateikennung kennung;
    uint64_t position = 0;     // of the next unread byte in the file
    std::string eingabeZeile;  // what is left of the line read last
    std::string eingabeWort;   // the entry read ahead
    int32_t naechsterTakt = -1;
    std::vector<int32_t> vorgemerkt;  // cells excited by hand for the next step
    bool operator==(const Lesestand&) const = default;
  };
  Lesestand lesestand() const;
  // Puts the reader back where `stand` was taken. False, with `fehler` naming
  // the file, when the file has changed since it was opened, or cannot be read.
  bool lesestandSetzen(const Lesestand& stand, std::string& fehler);
  // The open file as (device, inode, size, modification time in ns): a
  // reader state keeps it, so a file changed since is refused.
  const Dateikennung& dateikennung() const { return kennung_; }
  const std::string& dateiname() const { return name_; }
  // What the file still holds from the reader's position on, as text: the
  // entry read ahead and the rest of its line, then the unread bytes. Empty
  // when the input has no further entry.
  std::string resttext() const;

  // An input entry for cell `zelle` in the next input phase, as an entry of
  // the file for that step would be: applied after the file's entries of
  // the step, also after the input has ended.
  void vormerken(int32_t zelle) { vorgemerkt_.push_back(zelle); }
  const std::vector<int32_t>& vorgemerkt() const { return vorgemerkt_; }

  // Reader state, visible for tests.
  const std::string& eingabeWort() const { return eingabeWort_; }
  int32_t naechsterTakt() const { return naechsterTakt_; }

 private:
  bool zeileLesen(std::string& zeile);  // next line, at most 250 characters; false at end of file
  bool dateiende();                     // no further line to read
  std::string wortNehmen();             // naechstesWort on what is left of the line, cut to 6
  int32_t taktNehmen();                 // naechsteGanzzahl on what is left of the line
  void restUebernehmen(std::string_view rest);
  bool endmarkeFolgt() const;  // "." directly behind the step
  void eintragAnwenden(Netz& netz, Laufzustand& lauf, Zyklusanzeige& anzeige);
  void eingabeBeenden(Laufzustand& lauf, Zyklusanzeige& anzeige);

  struct Datei;
  std::unique_ptr<Datei> datei_;
  void vorgemerkteAnwenden(Netz& netz, Zyklusanzeige& anzeige);
  // The file's entries of step `zeittakt`.
  void dateiLesen(Netz& netz, int32_t zeittakt, Laufzustand& lauf, Zyklusanzeige& anzeige);

  std::string eingabeZeile_;
  std::string eingabeWort_;
  int32_t naechsterTakt_ = -1;
  std::vector<int32_t> vorgemerkt_;
  std::string name_;
  Dateikennung kennung_;
};

}  // namespace velkor
