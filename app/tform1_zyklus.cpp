// Runs of time steps in the window: the canvas shown as the run goes, Escape
// and the close button looked at between the steps and inside the slow-motion
// pause.

#include <QElapsedTimer>
#include <cmath>
#include <functional>

#include "app/labor/labor.h"
#include "app/laufwache.h"
#include "app/tform1.h"
#include "engine/zyklus.h"
#include "lauf/laufreihe.h"

namespace velkor {

namespace {

constexpr qint64 zeigeabstandMs = 17;

// The pause's results go here, so the compiler cannot drop the loop.
volatile double pausensenke = 0.0;

// Passes every hook to the display. The views draw every time step into the
// canvas; the screen shows it at most every 17 ms (about 60 times a second),
// more would only slow the run down. After the run the window shows the last
// step's picture. After each time step it looks at
// pending input: Escape or a close sets `anhalten`, so the run ends after the
// step in progress. The slow-motion pause runs here, at the start of the
// step, where the cycle would run it, in slices that look at the input too.
class LaufendeAnzeige : public Zyklusanzeige {
 public:
  LaufendeAnzeige(Anzeige& anzeige, Laufwache& wache, int32_t zeitlupe, std::function<void()> zeigen,
                  std::function<void()> gesehen, bool& anhalten)
      : anzeige_(anzeige),
        wache_(wache),
        runden_(zeitlupeRunden(zeitlupe)),
        zeigen_(std::move(zeigen)),
        gesehen_(std::move(gesehen)),
        anhalten_(anhalten) {
    uhr_.start();
  }
  void zeilenvorschub() override {
    anzeige_.zeilenvorschub();
    pause();
  }
  void refraktaerEnde(int32_t zelle) override { anzeige_.refraktaerEnde(zelle); }
  void anzeigen() override { anzeige_.anzeigen(); }
  void taktanzeige() override {
    anzeige_.taktanzeige();
    if (uhr_.elapsed() >= zeigeabstandMs) {
      zeigen_();
      uhr_.restart();
    }
    if (schauen()) anhalten_ = true;
  }
  void eingabeHinweis() override {
    stoppmarke = true;
    anzeige_.eingabeHinweis();
  }
  void netzfehlerHinweis() override { anzeige_.netzfehlerHinweis(); }

  bool stoppmarke = false;  // the input stopped the run (a stop mark or its end)

 private:
  bool schauen() {
    const bool vorher = wache_.gesehen();
    const bool halt = wache_.pruefen();
    if (!vorher && wache_.gesehen()) gesehen_();
    return halt;
  }
  // The same turns of the arctangent as the cycle's own pause; Escape cuts
  // it short.
  void pause() {
    constexpr int64_t scheibe = 1 << 14;
    double summe = 0.0;
    for (int64_t k = 0; k < runden_; ++k) {
      summe += std::atan(static_cast<double>(k));
      if ((k + 1) % scheibe == 0 && schauen()) break;
    }
    pausensenke = summe;
  }

  Anzeige& anzeige_;
  Laufwache& wache_;
  int64_t runden_;
  std::function<void()> zeigen_;
  std::function<void()> gesehen_;
  bool& anhalten_;
  QElapsedTimer uhr_;
};

// The cycle's own pause is off while the window runs it; the value is back
// after the run.
class ZeitlupeUebernehmen {
 public:
  explicit ZeitlupeUebernehmen(int32_t& zeitlupe) : zeitlupe_(zeitlupe), wert_(zeitlupe) {
    zeitlupe_ = -1;  // a negative product: no turn at all
  }
  ~ZeitlupeUebernehmen() { zeitlupe_ = wert_; }
  ZeitlupeUebernehmen(const ZeitlupeUebernehmen&) = delete;
  ZeitlupeUebernehmen& operator=(const ZeitlupeUebernehmen&) = delete;
  int32_t wert() const { return wert_; }

 private:
  int32_t& zeitlupe_;
  int32_t wert_;
};

}  // namespace

// Time steps until `anhalten`; the canvas is shown as the run goes. Of the
// user's input only Escape and a close are taken, between the steps.
void TForm1::zyklusLaufen() {
  ersterBild_ = false;
  Laufwache wache(*this);
  bool laufhinweis = false;
  bool stoppmarke = false;
  // a step taken after going back drops the later history and its marks
  if (sim_.zeittakt < verlauf_.letzter()) marken(sim_.zeittakt + 1);
  haltNotizLoeschen();
  if (!vormerkNotiz_.empty()) {
    anzeige_.hinweisLoeschen(laufhinweisX, vormerkNotiz_);  // the entries are applied in this step
    anzeige_.farbenZuruecksetzen();
    vormerkNotiz_.clear();
  }
  halte_.clear();
  {
    ZeitlupeUebernehmen zeitlupe(sim_.param.zeitlupe);
    LaufendeAnzeige laufend(
        anzeige_, wache, zeitlupe.wert(), [this] { bildSofortZeigen(); },
        [this, &laufhinweis] {
          laufhinweis = true;
          anzeige_.hinweis(laufhinweisX, hinweisLauf);
          bildSofortZeigen();
        },
        sim_.lauf.anhalten);
    Werkzeughaken haken(laufend, sim_, labor_ != nullptr ? labor_->raster() : nullptr);
    Verlaufswache verlauf(verlauf_, sim_, haken);
    ++laeuft_;
    velkor::zyklusLaufen(sim_, verlauf, haltepunkte_, halte_);
    --laeuft_;
    stoppmarke = laufend.stoppmarke;
  }
  if (stoppmarke && halte_.empty() && (haltemarken_.empty() || haltemarken_.back().takt != sim_.zeittakt)) {
    haltemarken_.push_back({sim_.zeittakt, std::nullopt});
  }
  if (wache.angehalten()) {
    anzeige_.eingabeHinweis();  // stopped by the user: single steps from here
  } else if (laufhinweis) {
    anzeige_.hinweisLoeschen(laufhinweisX, hinweisLauf);
  }
  if (groesseNachLauf_) {
    groesseNachLauf_ = false;
    groesseGeaendert();
  }
  nachLauf();
  bildSofortZeigen();
  logPruefen();
  if (initialisierenNachLauf_) {
    initialisierenNachLauf_ = false;
    initialisierenEinreihen();
  }
  if (wache.schliessen()) Beenden1Click();
}

}  // namespace velkor
