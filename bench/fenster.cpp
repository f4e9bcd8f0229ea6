// fenster: the window's tools against its plain run, and the time of a step
// back, offscreen.
//
//   QT_QPA_PLATFORM=offscreen fenster NETZ EINGABE SCHRITTE [offen|labor] [MODI...]
//
// Opens the window on NETZ and EINGABE in the mode letters MODI, runs
// SCHRITTE single steps by the space bar (events processed after each, as
// the window does; 0: one run to the next stop mark, "u"), with the "Labor" window open ("offen") and a cell chosen
// in its inspector ("labor"), and prints the seconds of the steps; then the median of
// 20 single steps back. Compare the two settings as whole processes,
// interleaved. Run it in a scratch directory.

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/labor/inspektor.h"
#include "app/labor/labor.h"
#include "app/tform1.h"

static void ressourcenLaden() { Q_INIT_RESOURCE(velkor); }

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: fenster NETZ EINGABE SCHRITTE [offen|labor] [MODI...]\n");
    return 2;
  }
  QApplication app(argc, argv);
  ressourcenLaden();
  const long schritte = std::atol(argv[3]);
  int erster = 4;
  const bool zelle = argc > 4 && std::string(argv[4]) == "labor";
  const bool labor = zelle || (argc > 4 && std::string(argv[4]) == "offen");
  if (labor) ++erster;
  velkor::Fensteroptionen o;
  o.parameter = {"Bank", argv[1], argv[2]};
  for (int i = erster; i < argc; ++i) o.parameter.emplace_back(argv[i]);
  o.maximiertUndOben = false;
  o.meldung = [](const QString& text) { std::fprintf(stderr, "fenster: %s\n", text.toUtf8().constData()); };
  o.beenden = [](int) {};
  velkor::TForm1 f(o);
  f.show();
  QApplication::processEvents();
  if (labor) {
    f.laborZeigen();
    if (zelle) f.labor()->inspektor()->zelleWaehlen(0);
    QApplication::processEvents();
  }
  QElapsedTimer uhr;
  uhr.start();
  if (schritte == 0) QTest::keyClick(f.leinwand(), 'u');  // one run to the next stop mark
  for (long i = 0; i < schritte; ++i) {
    QTest::keyClick(f.leinwand(), ' ');
    QApplication::processEvents();
  }
  const double lauf = static_cast<double>(uhr.nsecsElapsed()) * 1e-9;
  const int32_t takt = f.simulation().zeittakt;
  std::vector<double> zurueck;
  for (int i = 0; i < 20; ++i) {
    uhr.restart();
    f.schrittZurueck();
    QApplication::processEvents();
    zurueck.push_back(static_cast<double>(uhr.nsecsElapsed()) * 1e-6);
  }
  std::sort(zurueck.begin(), zurueck.end());
  std::printf("%ld single steps, then zeittakt %d%s: %.3f s; one step back: median %.2f ms, worst %.2f ms\n", schritte,
              takt,
              zelle   ? ", Labor open, a cell chosen"
              : labor ? ", Labor open"
                      : "",
              lauf, zurueck[10], zurueck.back());
  return 0;
}
