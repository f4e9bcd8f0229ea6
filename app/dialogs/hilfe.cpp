#include "app/dialogs/hilfe.h"

#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace velkor {

namespace {

const QColor tuerkis(0, 128, 128);
const QColor purpur(128, 0, 128);
constexpr int feldbreite = 620;

QFont schrift(const char* familie, QFont::StyleHint hinweis, int pixel, bool fett, bool kursiv) {
  QFont f(QString::fromLatin1(familie));
  f.setStyleHint(hinweis);
  f.setPixelSize(pixel);
  f.setBold(fett);
  f.setItalic(kursiv);
  return f;
}

QFont fensterschrift() { return schrift("MS Sans Serif", QFont::SansSerif, 11, false, false); }

// A text field only as high as its text, so that the scrolling area scrolls.
void anTextAnpassen(QTextEdit* feld) {
  const int rand = static_cast<int>(feld->document()->documentMargin());
  const QFontMetrics metrik(feld->font());
  const int flags = feld->lineWrapMode() == QTextEdit::NoWrap ? 0 : Qt::TextWordWrap;
  const QRect text = metrik.boundingRect(QRect(0, 0, feldbreite - 2 * rand - 4, 100000), flags, feld->toPlainText());
  feld->setFixedSize(feldbreite, text.height() + 2 * rand + 4);
}

void textfarbe(QTextEdit* feld, const QColor& farbe) {
  QPalette p = feld->palette();
  p.setColor(QPalette::Text, farbe);
  feld->setPalette(p);
}

}  // namespace

Hilfefenster::Hilfefenster(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TForm7"));
  setWindowTitle(QStringLiteral("Hilfe"));
  setFont(fensterschrift());
  resize(703, 593);
  seiten_ = new QTabWidget(this);
  seiten_->setObjectName(QStringLiteral("PageControl1"));
  seiten_->setGeometry(16, 8, 673, 545);
  const auto& alle = hilfeseiten();
  for (std::size_t i = 0; i < alle.size(); ++i) {
    seiten_->addTab(themenseite(static_cast<int>(i) + 1, alle[i]), QString::fromUtf8(alle[i].reiter));
  }
  seiten_->addTab(infoseite(), QStringLiteral("Info"));
  seiten_->setCurrentIndex(seiten_->count() - 1);  // the first showing opens on "Info"
}

void Hilfefenster::ohneMaximieren() { setWindowFlag(Qt::WindowMaximizeButtonHint, false); }

QTextEdit* Hilfefenster::textfeld(QWidget* eltern, const QString& text, const QFont& f) {
  auto* feld = new QTextEdit(eltern);
  feld->setObjectName(QStringLiteral("Memo%1").arg(memoNummer_++));
  feld->setFrameStyle(QFrame::NoFrame);
  feld->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  feld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  feld->setAcceptRichText(false);
  feld->setFont(f);
  feld->setPlainText(text);
  return feld;
}

QWidget* Hilfefenster::themenseite(int nummer, const Hilfeseite& seite) {
  auto* reiter = new QWidget;
  reiter->setObjectName(QString::fromUtf8(seite.name));
  auto* rollbereich = new QScrollArea(reiter);
  rollbereich->setObjectName(QStringLiteral("ScrollBox%1").arg(nummer));
  rollbereich->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* aussen = new QVBoxLayout(reiter);
  aussen->setContentsMargins(0, 0, 0, 0);
  aussen->addWidget(rollbereich);

  auto* inhalt = new QWidget;
  auto* spalte = new QVBoxLayout(inhalt);
  spalte->setSpacing(2);
  const bool dateienSeite = nummer == 1;
  const QFont kopf = dateienSeite ? schrift("MS Sans Serif", QFont::SansSerif, 16, true, true)
                                  : schrift("MS Sans Serif", QFont::SansSerif, 19, false, true);
  for (const Thema& t : seite.themen) {
    QTextEdit* ueberschrift = textfeld(inhalt, QString::fromUtf8(t.ueberschrift), kopf);
    textfarbe(ueberschrift, tuerkis);
    anTextAnpassen(ueberschrift);
    spalte->addWidget(ueberschrift);
    const QFont koerper = t.festeBreite ? schrift("Courier", QFont::TypeWriter, 11, false, false) : fensterschrift();
    QTextEdit* text = textfeld(inhalt, QString::fromUtf8(t.text), koerper);
    if (t.festeBreite) text->setLineWrapMode(QTextEdit::NoWrap);
    anTextAnpassen(text);
    spalte->addWidget(text);
    spalte->addSpacing(10);
  }
  spalte->addStretch();
  rollbereich->setWidget(inhalt);
  return reiter;
}

QWidget* Hilfefenster::infoseite() {
  auto* reiter = new QWidget;
  reiter->setObjectName(QStringLiteral("Info"));
  reiter->setAutoFillBackground(true);
  QPalette hintergrund = reiter->palette();
  hintergrund.setColor(QPalette::Window, palette().color(QPalette::Window));
  reiter->setPalette(hintergrund);
  auto* bild = new QLabel(reiter);
  bild->setObjectName(QStringLiteral("Image1"));
  bild->setPixmap(QPixmap(QStringLiteral(":/icons/velkor.png")));
  bild->setGeometry(32, 24, 32, 32);

  QTextEdit* version =
      textfeld(reiter, QString::fromLatin1(versionszeile), schrift("MS Serif", QFont::Serif, 24, true, true));
  textfarbe(version, purpur);
  version->setGeometry(80, 32, 400, 40);

  QStringList zeilen;
  for (const char* z : aenderungen()) zeilen << QString::fromUtf8(z);
  QTextEdit* liste = textfeld(reiter, zeilen.join(QLatin1Char('\n')), fensterschrift());
  liste->setGeometry(80, 88, 560, 200);
  for (QTextEdit* feld : {version, liste}) {
    // the fields of this tab have the window's background colour
    QPalette p = feld->palette();
    p.setColor(QPalette::Base, palette().color(QPalette::Window));
    feld->setPalette(p);
  }
  return reiter;
}

}  // namespace velkor
