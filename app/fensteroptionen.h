#pragma once
// What the simulation window takes from outside: the command-line parameters
// and the seams to the platform (message box, file dialog, modal showing,
// ending the program), which tests replace.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QDialog;

namespace velkor {

struct Fensteroptionen {
  // The command-line parameters without the program name.
  std::vector<std::string> parameter;
  // Maximised and kept above all other windows. Off for tests, or when the
  // environment variable VELKOR_FENSTER_NORMAL is set.
  bool maximiertUndOben = true;
  // Seed used instead of the clock ("P", "P mit Änderung" with "Neustart").
  std::optional<uint64_t> festerSeed;

  // A message box with the text; returns when the user has closed it.
  std::function<void(const QString& text)> meldung;
  // A file-open dialog: caption and filter entries ("Name (muster muster)");
  // the chosen path, or an empty string when cancelled.
  std::function<QString(const QString& titel, const QStringList& filter)> dateiWaehlen;
  // A file-save dialog, the same way; the path to write, or "" when cancelled.
  std::function<QString(const QString& titel, const QStringList& filter)> dateiSpeichern;
  // Shows a dialog modally and returns when it is closed.
  std::function<void(QDialog& dialog)> dialogZeigen;
  // Ends the program with the exit code.
  std::function<void(int code)> beenden;
};

// Options for the real program: the process's parameters and the platform's
// own dialogs.
Fensteroptionen programmoptionen(const QStringList& argumente);

}  // namespace velkor
