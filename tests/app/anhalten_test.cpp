// A run the user can stop: Escape and the close button end a run after the
// step in progress, also inside a long slow-motion pause; every other input
// is dropped while the run goes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QWindow>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include "testfenster.h"

namespace velkor::test {
namespace {

// The chain with a stop mark a million steps ahead.
constexpr const char* fernerStopp = "A 0\nA 3\n*** 1000000\nA 1000001 .\n";

void tasteSpaeter(Testfenster& t, int ms, Qt::Key taste, const QString& text) {
  QTimer::singleShot(ms, t.f.get(), [&t, taste, text] {
    QCoreApplication::postEvent(t.f->leinwand(), new QKeyEvent(QEvent::KeyPress, taste, Qt::NoModifier, text));
  });
}

bool laufhinweisSichtbar(Testfenster& t) { return t.farbeIn(farben::weiss, laufhinweisX, 3, laufhinweisX + 100, 17); }

TEST(AnhaltenTest, EscapeBeendetEinenLangenLaufNachDemLaufendenTakt) {
  Testfenster t({"Kette", "netz.net", "daten.ein"});
  t.ketteAnlegen();
  dateiSchreiben("daten.ein", fernerStopp);
  t.zeigen();
  bool hinweisImLauf = false;
  tasteSpaeter(t, 60, Qt::Key_Q, QStringLiteral("q"));  // dropped: no handler runs inside a run
  tasteSpaeter(t, 80, Qt::Key_U, QStringLiteral("u"));
  QTimer::singleShot(150, t.f.get(), [&] { hinweisImLauf = laufhinweisSichtbar(t); });
  tasteSpaeter(t, 200, Qt::Key_Escape, QString(QChar(27)));
  QElapsedTimer uhr;
  uhr.start();
  t.taste('u');
  EXPECT_LT(uhr.elapsed(), 1000);
  EXPECT_TRUE(hinweisImLauf);
  EXPECT_FALSE(laufhinweisSichtbar(t));                   // only while running
  EXPECT_TRUE(t.farbeIn(farben::weiss, 80, 3, 200, 17));  // "Einzelne Zyklen mit Leertaste starten"
  const int32_t takt = t.sim().zeittakt;
  EXPECT_GT(takt, 0);
  EXPECT_LT(takt, 1000000);
  EXPECT_TRUE(t.endcodes.empty());
  EXPECT_TRUE(t.sim().lauf.anhalten);
  EXPECT_FALSE(t.sim().lauf.eingabeEnde);
  QApplication::processEvents();  // the dropped keys do not come back
  EXPECT_EQ(t.sim().zeittakt, takt);
  // the state is that of a stop: single steps and the next run go on from here
  t.taste(' ');
  EXPECT_EQ(t.sim().zeittakt, takt + 1);
  tasteSpaeter(t, 100, Qt::Key_Escape, QString(QChar(27)));
  t.f->uzyklen();
  EXPECT_GT(t.sim().zeittakt, takt + 1);
  EXPECT_LT(t.sim().zeittakt, 1000000);
}

// One space step with the slow motion; Escape after `escMs` (0: none).
std::string schrittMitZeitlupe(const char* zeitlupe, int escMs, qint64& dauer) {
  Testfenster t({"Kette", "netz.net", "daten.ein", "Z", zeitlupe});
  t.ketteAnlegen();
  t.zeigen();
  if (escMs > 0) tasteSpaeter(t, escMs, Qt::Key_Escape, QString(QChar(27)));
  QElapsedTimer uhr;
  uhr.start();
  t.taste(' ');
  dauer = uhr.elapsed();
  EXPECT_EQ(t.sim().zeittakt, 1);
  EXPECT_EQ(t.sim().param.zeitlupe, std::stoi(zeitlupe));  // the value is back after the run
  t.f->zustandsausgabe();
  return dateiLesen("zustand.txt");
}

TEST(AnhaltenTest, EscapeKuerztDieZeitlupeAbUndDerTaktWirdFertig) {
  // 2 * 10^8 turns of the arctangent: seconds without Escape
  qint64 dauer = 0;
  const std::string ohnePause = schrittMitZeitlupe("0", 0, dauer);
  const std::string abgekuerzt = schrittMitZeitlupe("100000", 50, dauer);
  EXPECT_LT(dauer, 1000);
  EXPECT_EQ(abgekuerzt, ohnePause);  // the step is complete: the same state
}

TEST(AnhaltenTest, SchliessenImLaufBeendetWieBeenden) {
  // The window closed by the program (QWidget::close) and by the window
  // system's close button (a close event for the window's handle), in a run
  // until stop and inside the slow-motion pause of a single step.
  struct Fall {
    bool griff;
    bool zeitlupe;
  };
  for (const Fall fall : {Fall{false, false}, Fall{true, false}, Fall{true, true}}) {
    Testfenster t(fall.zeitlupe ? std::vector<std::string>{"Kette", "netz.net", "daten.ein", "Z", "100000"}
                                : std::vector<std::string>{"Kette", "netz.net", "daten.ein"});
    t.ketteAnlegen();
    dateiSchreiben("daten.ein", fernerStopp);
    t.zeigen();
    t.f->logstart();
    QTimer::singleShot(100, t.f.get(), [&] {
      if (fall.griff) {
        QCloseEvent e;
        QCoreApplication::sendEvent(t.f->windowHandle(), &e);
      } else {
        t.f->close();
      }
    });
    // Should the close be missed, Escape ends the run, so that the test fails rather than hangs.
    tasteSpaeter(t, 3000, Qt::Key_Escape, QString(QChar(27)));
    QElapsedTimer uhr;
    uhr.start();
    if (fall.zeitlupe) {
      t.taste(' ');
    } else {
      t.f->uzyklen();
    }
    EXPECT_LT(uhr.elapsed(), 1000) << fall.griff << fall.zeitlupe;
    EXPECT_EQ(t.endcodes, std::vector<int>{0}) << fall.griff << fall.zeitlupe;
    EXPECT_FALSE(t.sim().lauf.logOffen);
    const std::string log = dateiLesen("logfile.txt");
    EXPECT_NE(log.find("\r\n"), std::string::npos);  // flushed and closed
  }
}

}  // namespace
}  // namespace velkor::test
