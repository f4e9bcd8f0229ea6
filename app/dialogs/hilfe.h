#pragma once
// The help window TForm7: six tabs of German explanations, the version line
// and the list of changes. A passive window; it keeps its tab and scroll
// positions between showings.

#include <QDialog>

#include "app/dialogs/hilfetexte.h"

class QTabWidget;
class QTextEdit;

namespace velkor {

class Hilfefenster : public QDialog {
  Q_OBJECT
 public:
  explicit Hilfefenster(QWidget* parent = nullptr);
  QTabWidget* seiten() const { return seiten_; }
  // Removes the maximise button from the frame.
  void ohneMaximieren();

 private:
  QWidget* themenseite(int nummer, const Hilfeseite& seite);
  QWidget* infoseite();
  QTextEdit* textfeld(QWidget* eltern, const QString& text, const QFont& schrift);
  QTabWidget* seiten_ = nullptr;
  int memoNummer_ = 1;
};

}  // namespace velkor
