#include "tools/batchoptionen.h"

#include <charconv>
#include <cstddef>
#include <string_view>
#include <system_error>

namespace velkor {

namespace {

// A whole decimal number that fills the text completely.
template <typename Zahl>
bool zahlLesen(std::string_view text, Zahl& zahl) {
  if (text.empty()) return false;
  const auto [ende, fehler] = std::from_chars(text.data(), text.data() + text.size(), zahl);
  return fehler == std::errc{} && ende == text.data() + text.size();
}

bool groesseLesen(std::string_view text, int& W, int& H) {
  const std::size_t x = text.find('x');
  if (x == std::string_view::npos) return false;
  int breite = 0;
  int hoehe = 0;
  if (!zahlLesen(text.substr(0, x), breite) || !zahlLesen(text.substr(x + 1), hoehe)) return false;
  if (breite < kleinsteBreite || hoehe < kleinsteHoehe || breite > groessteSeite || hoehe > groessteSeite) {
    return false;
  }
  W = breite;
  H = hoehe;
  return true;
}

bool brauchtWert(std::string_view name) {
  return name == "--runs" || name == "--steps" || name == "--size" || name == "--png" || name == "--seed" ||
         name == "--spikes" || name == "--threads" || name == "--break-fires" || name == "--break-step" ||
         name == "--explain";
}

// Applies an option with a value; false when the value is bad.
bool wertSetzen(std::string_view name, std::string_view wert, Batchoptionen& o) {
  if (name == "--runs") {
    int64_t n = 0;
    if (!zahlLesen(wert, n) || n < 0) return false;
    o.laeufe = n;
  } else if (name == "--steps") {
    return zahlLesen(wert, o.schritte) && o.schritte >= 0;
  } else if (name == "--size") {
    return groesseLesen(wert, o.W, o.H);
  } else if (name == "--png") {
    if (wert.empty()) return false;
    o.png = std::string(wert);
  } else if (name == "--spikes") {
    if (wert.empty()) return false;
    o.spikes = std::string(wert);
  } else if (name == "--seed") {
    uint64_t seed = 0;
    if (!zahlLesen(wert, seed)) return false;
    o.seed = seed;
  } else if (name == "--threads") {
    int64_t n = 0;
    if (!zahlLesen(wert, n) || n < 1 || n > 1024) return false;
    o.faeden = static_cast<int32_t>(n);
  } else if (name == "--break-fires") {
    if (wert.empty()) return false;
    o.haltZellen.emplace_back(wert);
  } else if (name == "--break-step") {
    int32_t n = 0;
    if (!zahlLesen(wert, n) || n < 0) return false;
    o.haltTakte.push_back(n);
  } else if (name == "--explain") {
    // CELL@STEP; the last "@" divides, so a name may hold one.
    const std::size_t at = wert.rfind('@');
    int32_t n = 0;
    if (at == std::string_view::npos || at == 0 || !zahlLesen(wert.substr(at + 1), n) || n < 0) return false;
    o.erklaerungen.emplace_back(std::string(wert.substr(0, at)), n);
  }
  return true;
}

// Applies an option without a value; false when it is unknown.
bool schalterSetzen(std::string_view name, Batchoptionen& o) {
  if (name == "--state") {
    o.zustand = true;
  } else if (name == "--log") {
    o.protokoll = true;
  } else if (name == "--picture") {
    o.bild = true;
  } else if (name == "--json") {
    o.json = true;
  } else if (name == "--stats") {
    o.statistik = true;
  } else if (name == "--help") {
    o.hilfe = true;
  } else if (name == "--version") {
    o.version = true;
  } else {
    return false;
  }
  return true;
}

}  // namespace

Optionslesung optionenLesen(const std::vector<std::string>& argumente) {
  Optionslesung lesung;
  Batchoptionen& o = lesung.optionen;
  std::size_t i = 0;
  for (; i < argumente.size(); ++i) {
    const std::string_view argument = argumente[i];
    if (argument == "--") {
      ++i;
      break;
    }
    if (!argument.starts_with("--")) break;  // the title

    std::string_view name = argument;
    std::optional<std::string_view> wert;
    if (const std::size_t gleich = argument.find('='); gleich != std::string_view::npos) {
      name = argument.substr(0, gleich);
      wert = argument.substr(gleich + 1);
    }
    if (brauchtWert(name)) {
      if (!wert) {
        if (i + 1 >= argumente.size()) {
          lesung.fehler = "option " + std::string(name) + " needs a value";
          return lesung;
        }
        wert = argumente[++i];
      }
      if (!wertSetzen(name, *wert, o)) {
        lesung.fehler = "bad value for " + std::string(name) + ": \"" + std::string(*wert) + "\"";
        return lesung;
      }
    } else if (wert || !schalterSetzen(name, o)) {
      lesung.fehler = "unknown option " + std::string(argument);
      return lesung;
    }
  }
  o.positionen.assign(argumente.begin() + static_cast<std::ptrdiff_t>(i), argumente.end());
  return lesung;
}

std::string hilfetext() {
  return R"(Usage: velkor-batch [OPTIONS] Titel Netzdatei Eingabedatei [Modusparameterliste]

Runs a velkor simulation without a window. The parameters after the options
are those of the window program (mode letters c d g G k m p P R v V x y Z).
All files are written to the working directory.

Options (before the title; "--" ends them):
  --runs N      run "Simulation bis Stop" N times (default: until the input has ended;
                0: load and prepare only)
  --steps N     then N single time steps, as the space bar runs them (default 0)
  --state       write "zustand.txt" at the end
  --log         write the trace log "logfile.txt" from the first time step on
  --picture     draw the views and save the screen at the end
                ("bild.bmp" with mode letter c, else "bild.pcl")
  --size WxH    outer window size the views lay out on (default 1032x768,
                from 200x200 to 10000x10000)
  --png FILE    also write the drawn canvas as a PNG file
  --spikes FILE write every firing as CSV (zeittakt,zelle,name), in firing order
  --seed N      seed the random generator with N where "P" would seed it from the clock
  --threads N   run the time steps on N threads, 1..1024 (default: VELKOR_THREADS, else
                the cores the process may use; small nets use one)
  --break-fires CELL
                end a run after the time step in which CELL fires, as a stop mark
                would (repeatable); CELL is a cell name, or where no cell has that
                name "#N" or N for the cell of index N (from 0)
  --break-step N
                end a run after time step N, as a stop mark "*** N" would (repeatable)
  --explain CELL@STEP
                print why CELL fired or did not in time step STEP of the run (repeatable;
                CELL as for --break-fires); the other outputs stay as they are
  --json        the explanations as JSON, one object per line
  --stats       print a line with counts, times and peak memory as the last line
  --help        this text
  --version     the version

Exit status:
  0  done
  1  faulty net ("Netzfehler"): no time step ran
  2  usage: too few parameters, unknown option or bad value, empty file name,
     a --break-fires or --explain cell the net does not have, an --explain step
     the run did not reach
  3  fatal net-file format error
  4  a file that cannot be opened, read or written
)";
}

}  // namespace velkor
