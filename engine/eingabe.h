#pragma once
// The input file: which cells are excited at which time step, stop marks and
// the end mark. Read strictly forwards, one entry ahead of the simulation.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

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
  std::string eingabeZeile_;
  std::string eingabeWort_;
  int32_t naechsterTakt_ = -1;
};

}  // namespace velkor
