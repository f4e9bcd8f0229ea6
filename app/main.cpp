// Program entry of the window program: the simulation window, then the six
// parameter dialogs and the help window (hidden), then the event loop until
// the simulation window closes.

#include <QApplication>

#include "app/tform1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  Q_INIT_RESOURCE(velkor);
  velkor::TForm1 form1(velkor::programmoptionen(QApplication::arguments()));
  form1.dialogeErzeugen();
  form1.show();
  return app.exec();
}
