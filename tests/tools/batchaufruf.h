#pragma once
// Runs the built velkor-batch in a fresh working directory of its own and
// collects its exit status, stdout, stderr and the files it leaves behind.

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace velkor::testhilfe {

namespace fs = std::filesystem;

inline std::string dateiLesen(const fs::path& pfad) {
  std::ifstream datei(pfad, std::ios::binary);
  std::ostringstream inhalt;
  inhalt << datei.rdbuf();
  return inhalt.str();
}

inline void dateiSchreiben(const fs::path& pfad, const std::string& inhalt) {
  std::ofstream datei(pfad, std::ios::binary | std::ios::trunc);
  datei << inhalt;
}

// A word for the shell, in single quotes.
inline std::string gequotet(const std::string& wort) {
  std::string ergebnis = "'";
  for (char c : wort) {
    if (c == '\'') {
      ergebnis += "'\\''";
    } else {
      ergebnis += c;
    }
  }
  return ergebnis + "'";
}

inline std::string beispiel(const std::string& name) { return std::string(VELKOR_BEISPIELE) + "/" + name; }

// One scratch area per test: "arbeit" is the working directory of the runner,
// "daten" holds the nets and inputs a test writes, "aus" stdout and stderr.
class Batchumgebung {
 public:
  Batchumgebung() {
    static std::atomic<int> zaehler{0};
    wurzel_ = fs::temp_directory_path() /
              ("velkor-batch-test-" + std::to_string(::getpid()) + "-" + std::to_string(zaehler++));
    fs::remove_all(wurzel_);
    fs::create_directories(arbeit());
    fs::create_directories(daten());
    fs::create_directories(wurzel_ / "aus");
  }
  ~Batchumgebung() {
    std::error_code ignoriert;
    fs::remove_all(wurzel_, ignoriert);
  }
  Batchumgebung(const Batchumgebung&) = delete;
  Batchumgebung& operator=(const Batchumgebung&) = delete;

  fs::path arbeit() const { return wurzel_ / "arbeit"; }
  fs::path daten() const { return wurzel_ / "daten"; }

  // Writes a file into "daten" and returns its full path.
  std::string datei(const std::string& name, const std::string& inhalt) const {
    const fs::path pfad = daten() / name;
    dateiSchreiben(pfad, inhalt);
    return pfad.string();
  }

  // Runs velkor-batch with `argumente`; `umgebung` is put before the command
  // (e.g. "env -u QT_QPA_PLATFORM").
  int starten(const std::vector<std::string>& argumente, const std::string& umgebung = "") {
    // Appended piece by piece (GCC 12 warns wrongly about "literal" + string).
    std::string befehl = "cd ";
    befehl += gequotet(arbeit().string());
    befehl += " && ";
    befehl += umgebung;
    befehl += ' ';
    befehl += gequotet(VELKOR_BATCH);
    for (const std::string& a : argumente) {
      befehl += ' ';
      befehl += gequotet(a);
    }
    befehl += " >";
    befehl += gequotet((wurzel_ / "aus" / "stdout").string());
    befehl += " 2>";
    befehl += gequotet((wurzel_ / "aus" / "stderr").string());
    const int roh = std::system(befehl.c_str());
    aus = dateiLesen(wurzel_ / "aus" / "stdout");
    fehler = dateiLesen(wurzel_ / "aus" / "stderr");
    return WIFEXITED(roh) ? WEXITSTATUS(roh) : -1;
  }

  // Names of the files in the working directory.
  std::set<std::string> ausgaben() const {
    std::set<std::string> namen;
    for (const auto& eintrag : fs::directory_iterator(arbeit())) namen.insert(eintrag.path().filename().string());
    return namen;
  }
  std::string ausgabe(const std::string& name) const { return dateiLesen(arbeit() / name); }

  // The last line of stdout (without its line end).
  std::string letzteZeile() const {
    std::string text = aus;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    const std::size_t anfang = text.rfind('\n');
    return anfang == std::string::npos ? text : text.substr(anfang + 1);
  }

  std::string aus;
  std::string fehler;

 private:
  fs::path wurzel_;
};

}  // namespace velkor::testhilfe
