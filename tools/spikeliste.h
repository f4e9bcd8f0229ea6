#pragma once
// velkor-batch --spikes: every firing as a CSV line "zeittakt,zelle,name",
// in firing order (time step, then cell index).

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "net/modell.h"

namespace velkor {

class Spikeliste {
 public:
  // Creates the file with its header line. False with `fehler` naming the
  // file and the reason.
  bool oeffnen(const std::string& datei, std::string& fehler);
  bool offen() const { return datei_ != nullptr; }
  void eintragen(int32_t zeittakt, int32_t zelle, const std::string& name);
  // Closes the file; false with `fehler` when a write failed on the way.
  bool schliessen(std::string& fehler);

 private:
  struct Schliesser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Schliesser> datei_;
  std::string name_;
  int fehlernummer_ = 0;  // errno of the first failed write
  std::string zeile_;     // reused for every line
};

// A cell name as a CSV field: quoted (with doubled quotes) where it holds a
// comma, a quote or a line break.
std::string csvFeld(const std::string& name);

}  // namespace velkor
