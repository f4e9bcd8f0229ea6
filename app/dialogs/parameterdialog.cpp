#include "app/dialogs/parameterdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

namespace velkor {

namespace {

QFont fensterschrift() {
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(11);
  return f;
}

constexpr Qt::WindowFlags rahmenMitKnoepfen = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                              Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

}  // namespace

Parameterdialog::Parameterdialog(const Dialogbeschreibung& b, QWidget* parent)
    : QDialog(parent, rahmenMitKnoepfen), b_(b) {
  setObjectName(b_.name);
  setWindowTitle(b_.titel);
  setModal(true);
  setFont(fensterschrift());
  aufbauen();
  resize(b_.breite, b_.hoehe);
  move(dialogLinks, dialogOben);
}

void Parameterdialog::aufbauen() {
  const int textbreite = b_.breite - 24;
  int y = 12;
  int nummer = 1;
  auto label = [&](const QString& text, int x, int yy, int w) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QStringLiteral("Label%1").arg(nummer++));
    l->setGeometry(x, yy, w, 16);
    return l;
  };
  for (const QString& t : b_.texte) {
    // a text wider than the dialog in the font at hand wraps onto a second line
    QLabel* l = label(t, 12, y, textbreite);
    l->setWordWrap(true);
    const int hoehe = std::max(16, l->heightForWidth(textbreite));
    l->resize(textbreite, hoehe);
    y += hoehe + 4;
  }
  y += 8;
  edit1_ = new QLineEdit(b_.starttext, this);
  edit1_->setObjectName(QStringLiteral("Edit1"));
  if (b_.zweiFelder) {
    label(QStringLiteral("X-Verschiebung um  "), 16, y + 3, 120);
    edit1_->setGeometry(140, y, 120, 22);
    label(QStringLiteral("Einheiten"), 272, y + 3, 100);
    y += 32;
    edit2_ = new QLineEdit(b_.starttext, this);
    edit2_->setObjectName(QStringLiteral("Edit2"));
    label(QStringLiteral("Y-Verschiebung um"), 16, y + 3, 120);
    edit2_->setGeometry(140, y, 120, 22);
    label(QStringLiteral("Einheiten"), 272, y + 3, 100);
  } else {
    edit1_->setGeometry(16, y, 120, 22);
  }
  y += 34;
  button1_ = new QPushButton(QStringLiteral("OK"), this);
  button1_->setObjectName(QStringLiteral("Button1"));
  button1_->setGeometry(16, y, 75, 25);
  button1_->setDefault(true);
  connect(button1_, &QPushButton::clicked, this, &Parameterdialog::schliessen);
}

int32_t Parameterdialog::wert() const { return umrechnen(edit1_->text().toStdString(), b_.regel); }

int32_t Parameterdialog::wert2() const {
  return edit2_ ? umrechnen(edit2_->text().toStdString(), b_.regel) : b_.regel.leerwert;
}

void Parameterdialog::ohneMaximieren() { setWindowFlag(Qt::WindowMaximizeButtonHint, false); }

void Parameterdialog::schliessen() { accept(); }

void Parameterdialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  aussenmassSetzen();
  move(dialogLinks, dialogOben);
}

// A window manager frames the dialog only after it is shown; the move that
// the framing brings makes the frame known, and the size is set again.
void Parameterdialog::moveEvent(QMoveEvent* e) {
  QDialog::moveEvent(e);
  if (isVisible()) aussenmassSetzen();
}

// The nominal size is that of the outer frame.
void Parameterdialog::aussenmassSetzen() {
  const int rahmenBreite = frameGeometry().width() - width();
  const int rahmenHoehe = frameGeometry().height() - height();
  const QSize innen(b_.breite - rahmenBreite, b_.hoehe - rahmenHoehe);
  if (size() != innen) resize(innen);
}

Dialogbeschreibung tform2Beschreibung() {
  return {QStringLiteral("TForm2"),
          QStringLiteral("Parametereingabe"),
          312,
          160,
          {QStringLiteral("Vergrößerungsfaktor eingeben (Werte > 1, typisch z. B. 4)")},
          false,
          QString(),
          {2, std::nullopt}};
}

Dialogbeschreibung tform3Beschreibung() {
  return {QStringLiteral("TForm3"),
          QStringLiteral("Zeitlupe einstellen"),
          301,
          155,
          {QStringLiteral("Verzögerungswert eingeben (typisch z. B. 100)")},
          false,
          QString(),
          {2, std::nullopt}};
}

Dialogbeschreibung tform4Beschreibung() {
  return {QStringLiteral("TForm4"),
          QStringLiteral("Zeitraffer einstellen"),
          285,
          187,
          {QStringLiteral("Zahl der zu übergehenden Zeittakte eingeben"),
           QStringLiteral("(nur bei Oszilloskopdarstellung wirksam)")},
          false,
          QString(),
          {0, std::nullopt}};
}

Dialogbeschreibung tform5Beschreibung() {
  return {QStringLiteral("TForm5"),
          QStringLiteral("Displaystart einstellen"),
          415,
          234,
          {QStringLiteral("Laufende Nummer der Zelle eingeben, mit der das Display beginnen soll"),
           QStringLiteral("(kleinster Wert 0; betrifft nur Oszilloskopausgabe und EPSPs, numerisch)")},
          false,
          QString(),
          {1, std::nullopt}};
}

Dialogbeschreibung tform6Beschreibung() {
  return {QStringLiteral("TForm6"),
          QStringLiteral("Bildverschiebung einstellen"),
          511,
          191,
          {QStringLiteral("(betrifft nur Zelldarstellung und komprimiert )")},
          true,
          QString(),
          {0, std::nullopt}};
}

Dialogbeschreibung tform8Beschreibung() {
  return {QStringLiteral("TForm8"),
          QStringLiteral("Parametereingabe"),
          438,
          181,
          {QStringLiteral("Wahrscheinlichkeit des Feuerns einer überschwellig erregten Zelle eingeben"),
           QStringLiteral("(100  entspricht  unbedingtem  Feuern, guter Wert z. B. 90):")},
          false,
          QStringLiteral("100"),
          {100, 100}};
}

}  // namespace velkor
