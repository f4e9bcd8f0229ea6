// Program entry of the window program: the simulation window, then the six
// parameter dialogs and the help window (hidden), then the event loop until
// the simulation window closes.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/tform1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  Q_INIT_RESOURCE(velkor);
  // The program speaks German; the platform's own dialogs (file dialog,
  // message box) follow where Qt's German texts are installed.
  QTranslator plattformtexte;
  if (plattformtexte.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&plattformtexte);
  }
  velkor::TForm1 form1(velkor::programmoptionen(QApplication::arguments()));
  form1.dialogeErzeugen();
  form1.show();
  return app.exec();
}
