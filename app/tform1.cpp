#include "app/tform1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QExposeEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace velkor {

namespace {

constexpr int startbreite = 792;  // initial client area
constexpr int starthoehe = 553;

}  // namespace

Fensteroptionen programmoptionen(const QStringList& argumente) {
  Fensteroptionen o;
  for (qsizetype i = 1; i < argumente.size(); ++i) o.parameter.push_back(argumente[i].toStdString());
  o.maximiertUndOben = qEnvironmentVariableIsEmpty("VELKOR_FENSTER_NORMAL");
  return o;
}

TForm1::TForm1(Fensteroptionen optionen, QWidget* parent)
    : QMainWindow(parent),
      optionen_(std::move(optionen)),
      canvas_(startbreite, starthoehe),
      anzeige_(sim_, ansicht_, zustand_, canvas_) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("simulation"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/velkor.png")));
  QFont fensterschrift(QStringLiteral("MS Sans Serif"));
  fensterschrift.setStyleHint(QFont::SansSerif);
  fensterschrift.setPixelSize(11);
  setFont(fensterschrift);
  canvas_.schrifthoehe(13);

  if (!optionen_.meldung) {
    optionen_.meldung = [this](const QString& text) {
      QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
      box.exec();
    };
  }
  if (!optionen_.dateiWaehlen) {
    optionen_.dateiWaehlen = [this](const QString& titel, const QStringList& filter) {
      QFileDialog d(this, titel);
      d.setFileMode(QFileDialog::ExistingFile);
      d.setOption(QFileDialog::DontUseNativeDialog);
      d.setOption(QFileDialog::HideNameFilterDetails);
      d.setNameFilters(filter);
      return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first() : QString();
    };
  }
  if (!optionen_.dateiSpeichern) {
    optionen_.dateiSpeichern = [this](const QString& titel, const QStringList& filter) {
      QFileDialog d(this, titel);
      d.setAcceptMode(QFileDialog::AcceptSave);
      d.setOption(QFileDialog::DontUseNativeDialog);
      d.setNameFilters(filter);
      d.setDefaultSuffix(QStringLiteral("ein"));
      return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first() : QString();
    };
  }
  if (!optionen_.dialogZeigen) optionen_.dialogZeigen = [](QDialog& d) { d.exec(); };
  if (!optionen_.beenden) optionen_.beenden = [](int code) { QCoreApplication::exit(code); };

  leinwand_ = new Leinwand(canvas_, this);
  leinwand_->geklickt = [this] { neuzeichnen(); };
  leinwand_->gedrueckt = [this](QMouseEvent* e) { return mausGedrueckt(e); };
  verlauf_.beilageAufnehmen = [this] { return beilageAufnehmen(); };
  anzeige_.feuerzeileGeschrieben = [this](int zeile, int32_t zelle) { feuerzeilen_[zeile] = zelle; };
  verlauf_.beilageHerstellen = [this](const Verlauf::Beilage* b) { beilageHerstellen(b); };
  leinwand_->groesseGeaendert = [this] { groesseGeaendert(); };
  setCentralWidget(leinwand_);
  createActions();
  createMenus();
  for (QMenu* menue : menuBar()->findChildren<QMenu*>()) menue->installEventFilter(this);
  resize(startbreite, starthoehe + menuBar()->sizeHint().height());
  if (optionen_.maximiertUndOben) {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    // without a window manager the maximised state alone does nothing
    if (const QScreen* schirm = QGuiApplication::primaryScreen()) setGeometry(schirm->availableGeometry());
    setWindowState(Qt::WindowMaximized);
  }
  leinwand_->setFocus();
}

TForm1::~TForm1() = default;

void TForm1::dialogeErzeugen() {
  if (!dialoge_) dialoge_ = std::make_unique<Dialoge>(this);
}

Dialoge& TForm1::dialoge() {
  dialogeErzeugen();
  return *dialoge_;
}

// The paint handler runs from the event loop whenever the window system
// exposes the window, never inside a paint of the canvas widget.
void TForm1::initialisierenEinreihen() {
  if (initialisierenVorgemerkt_ || beendet_) return;
  initialisierenVorgemerkt_ = true;
  QTimer::singleShot(0, this, [this] {
    initialisierenVorgemerkt_ = false;
    if (laeuft_ > 0) {
      initialisierenNachLauf_ = true;  // the paint handler waits for the end of the run
      return;
    }
    if (sperre_ == 0 && !beendet_ && isVisible()) initialisieren();
  });
}

void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (QWindow* w = windowHandle()) w->installEventFilter(this);
  geometrieLesen();
  initialisierenEinreihen();
}

// A menu of the window that closes uncovers the part of the window under it.
// The window shows the picture there again, the bar and its notes included,
// so that exposure is no paint: a note that the chosen item writes into the
// bar ("Protokolldatei geöffnet", "Einzelne Zyklen mit Leertaste starten")
// stays. Every other exposure runs the paint handler.
bool TForm1::eventFilter(QObject* objekt, QEvent* e) {
  if (e->type() == QEvent::Hide) {
    if (auto* menue = qobject_cast<QMenu*>(objekt); menue && windowHandle()) {
      const QPoint ecke = windowHandle()->mapFromGlobal(menue->geometry().topLeft());
      menueSpur_ += QRect(ecke, menue->size()).adjusted(-2, -2, 2, 2);
    }
  } else if (e->type() == QEvent::Expose && objekt == windowHandle() && windowHandle()->isExposed()) {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    const QRegion bereich = static_cast<QExposeEvent*>(e)->region();
    QT_WARNING_POP
    if (!bereich.isEmpty() && bereich.subtracted(menueSpur_).isEmpty()) {
      menueSpur_ -= bereich;
    } else {
      menueSpur_ = QRegion();
      initialisierenEinreihen();
    }
  }
  return QMainWindow::eventFilter(objekt, e);
}

void TForm1::geometrieLesen() {
  zustand_.W = frameGeometry().width();
  zustand_.H = frameGeometry().height();
}

void TForm1::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (laeuft_ > 0) return;  // a run draws with the size it began with
  geometrieLesen();
}

void TForm1::groesseGeaendert() {
  if (leinwand_->width() <= 0 || leinwand_->height() <= 0) return;
  if (laeuft_ > 0) {
    groesseNachLauf_ = true;  // the canvas keeps its size until the run has stopped
    return;
  }
  canvas_.groesseAendern(leinwand_->width(), leinwand_->height());
  geometrieLesen();
  if (isVisible()) neuzeichnen();
}

void TForm1::neuzeichnen() {
  // nothing of a net whose load failed half-way is drawn
  if (beendet_ || netzUnbrauchbar_) return;
  const bool zeichnet = ansicht_.zellansicht() || ansicht_.ansichtKomprimiert;
  if (zeichnet) sanduhr();
  if (ersterBild_ && zeichnet) {
    // Before the first time step the picture is the net as first drawn, in
    // both start modes, however often the window system resizes the window.
    canvas_.pinselstil(Pinselstil::voll);
    canvas_.pinselfarbe(farben::weiss);
    canvas_.stiftfarbe(farben::weiss);
    canvas_.rectangle(0, 19, canvas_.breite(), canvas_.hoehe());
    auto& gewichtspegel = sim_.netz.verbindungen.gewichtspegelSpalte();
    std::fill(gewichtspegel.begin(), gewichtspegel.end(), int8_t{0});
    anzeige_.farbenZuruecksetzen();
    anzeige_.netzzeichnen();
  } else {
    anzeige_.neuzeichnen();
  }
  if (zeichnet) normalzeiger();
  bildZeigen();
}

void TForm1::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Backspace && !beendet_) {
    auswahl(QLatin1Char('\b'));  // one step back, with the menu effects of every key
    return;
  }
  const QString text = e->text();
  if (text.size() != 1 || beendet_) {
    QMainWindow::keyPressEvent(e);
    return;
  }
  auswahl(text.front());
}

void TForm1::closeEvent(QCloseEvent* e) {
  if (!beendet_) abfrage();
  e->accept();
}

void TForm1::abfrage() {
  if (sim_.lauf.logOffen) logende();
}

void TForm1::sanduhr() {
  if (sanduhrAn_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  sanduhrAn_ = true;
}

void TForm1::normalzeiger() {
  if (!sanduhrAn_) return;
  QApplication::restoreOverrideCursor();
  sanduhrAn_ = false;
}

void TForm1::meldung(const QString& text) {
  normalzeiger();
  ++sperre_;
  bildSofortZeigen();
  optionen_.meldung(text);
  --sperre_;
}

// Ends the program: no further handler runs, the event loop returns `code`.
void TForm1::ende(int code) {
  normalzeiger();
  beendet_ = true;
  endcode_ = code;
  optionen_.beenden(code);
}

void TForm1::bildZeigen() {
  if (labor_ != nullptr) ueberlagerungAktualisieren();
  leinwand_->update();
}

void TForm1::bildSofortZeigen() {
  if (labor_ != nullptr) ueberlagerungAktualisieren();
  if (leinwand_->isVisible()) leinwand_->repaint();
}

void TForm1::logPruefen() {
  // a failed write ends the log; logende reports it
  if (sim_.lauf.logOffen && !anzeige_.logFehlerfrei()) logende();
}

}  // namespace velkor
