#pragma once
// The window under test: a temporary working directory, the platform seams
// replaced by recorders, and small helpers to read files and the picture.

#include <QAction>
#include <QDialog>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/tform1.h"

namespace velkor::test {

// A temporary directory that is the working directory while it lives.
class Arbeitsverzeichnis {
 public:
  Arbeitsverzeichnis();
  ~Arbeitsverzeichnis();
  std::filesystem::path pfad() const { return std::filesystem::path(dir_.path().toStdString()); }

 private:
  QTemporaryDir dir_;
  std::filesystem::path alt_;
};

void dateiSchreiben(const std::string& name, const std::string& inhalt);
std::string dateiLesen(const std::string& name);
bool gibtEs(const std::string& name);

// A chain A -> B -> C with thresholds 1; the input excites A at 0, 3, 8 and 12,
// has stop marks at 5 and 10 and ends at 12.
inline constexpr const char* kettennetz =
    "z A 1 1\ns 1.0\na 0.5\nr 2\nc B 1.5 1\n\n"
    "z B 1 6\ns 1.0\na 0.5\nr 2\nc C 1.5 1\n\n"
    "z C 1 11\ns 1.0\na 0.5\nr 2\n";
inline constexpr const char* ketteneingabe = "A 0\nA 3\n*** 5\nA 8\n*** 10\nA 12 .\n";
// A net whose one connection names a cell that does not exist.
inline constexpr const char* fehlernetz = "z A 1 1\ns 1.0\nc X 1.0 1\n";

struct Testfenster {
  explicit Testfenster(std::vector<std::string> parameter = {});
  ~Testfenster();

  // Writes "netz.net" and "daten.ein" with the chain and its input.
  void ketteAnlegen();
  // Shows the window and lets the first paint run.
  void zeigen();
  // A typed character, through the key events of the canvas widget.
  void taste(char zeichen);
  // Both files chosen through the "Dateien" menu.
  void dateienWaehlen(const QString& netz = QStringLiteral("netz.net"),
                      const QString& eingabe = QStringLiteral("daten.ein"));
  bool an(QAction* a) const { return a->isEnabled(); }
  const Menue& m() const { return f->menue(); }
  Simulation& sim() { return f->simulation(); }
  // Whether any pixel of the colour lies in the box [x1, x2) × [y1, y2).
  bool farbeIn(Farbe farbe, int x1, int y1, int x2, int y2);

  Arbeitsverzeichnis ort;
  std::vector<QString> meldungen;
  std::vector<int> endcodes;
  std::deque<QString> dateiantworten;  // answers of the file dialog, "" = cancelled
  std::vector<std::pair<QString, QStringList>> dateidialoge;
  std::deque<QString> speicherantworten;   // answers of the save dialog, "" = cancelled
  std::vector<QString> gezeigt;            // names of the dialogs shown
  std::function<void(QDialog&)> imDialog;  // what the user does in a dialog
  std::function<void()> beiMeldung;        // what happens while a message box is open
  std::unique_ptr<TForm1> f;
};

}  // namespace velkor::test
