#pragma once
// The options of velkor-batch: everything before the title that begins with
// "--". The positional parameters after them are the command line of the
// window program.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velkor {

// VELKOR_VERSION: the project version in CMakeLists.txt.
inline constexpr const char* batchVersion = "velkor-batch " VELKOR_VERSION;

// Exit statuses of velkor-batch.
enum Exitstatus : int {
  exitFertig = 0,
  exitNetzfehler = 1,    // the net names a missing cell: no time step ran
  exitAufruf = 2,        // usage: too few parameters, bad option, empty file name
  exitFormatfehler = 3,  // a net-file line with a bad first character
  exitDateifehler = 4,   // a file that cannot be opened, read or written
};

struct Batchoptionen {
  std::optional<int64_t> laeufe;  // "Simulation bis Stop" so often; none: until the input has ended
  int64_t schritte = 0;           // single time steps afterwards
  bool zustand = false;           // "zustand.txt" at the end
  bool protokoll = false;         // trace log "logfile.txt"
  bool bild = false;              // "bild.bmp" / "bild.pcl" at the end
  std::string png;                // the canvas as PNG, when not empty
  std::string spikes;             // every firing as CSV, when not empty
  int W = 1032;                   // outer window size
  int H = 768;
  std::optional<uint64_t> seed;   // replaces the clock seed of "P"
  std::optional<int32_t> faeden;  // threads of the time step; none: VELKOR_THREADS or the cores
  // Breakpoints: cells as given (name, "#N" or N), resolved after the load;
  // the time steps after which a run halts.
  std::vector<std::string> haltZellen;
  std::vector<int32_t> haltTakte;
  // --explain CELL@STEP: the cell as given and the step, in the order given.
  std::vector<std::pair<std::string, int32_t>> erklaerungen;
  bool json = false;  // the explanations as JSON, one object per line
  bool statistik = false;
  bool hilfe = false;
  bool version = false;
  std::vector<std::string> positionen;  // Titel Netzdatei Eingabedatei [Modusparameterliste]

  // A real canvas is needed: the views draw.
  bool zeichnet() const { return bild || !png.empty(); }
};

// The smallest and largest window sizes that the views can lay out on.
inline constexpr int kleinsteBreite = 200;
inline constexpr int kleinsteHoehe = 200;
inline constexpr int groessteSeite = 10000;

struct Optionslesung {
  Batchoptionen optionen;
  std::string fehler;  // empty when the options are valid
};

// Reads the arguments of the process (without the program name).
Optionslesung optionenLesen(const std::vector<std::string>& argumente);

// The text of --help.
std::string hilfetext();

}  // namespace velkor
