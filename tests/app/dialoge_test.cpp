// The parameter dialogs (texts, sizes, conversion, no cancel, the picture
// under them) and the help window.

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/dialogs/hilfe.h"
#include "app/dialogs/parameterdialog.h"
#include "app/dialogs/umrechnen.h"
#include "testfenster.h"

namespace velkor::test {
namespace {

TEST(UmrechnenTest, LeerTeilVorDemBlankUndLeitendeZiffern) {
  const Umrechnungsregel tform3{2, std::nullopt};
  const Umrechnungsregel tform5{1, std::nullopt};
  const Umrechnungsregel tform8{100, 100};
  struct Fall {
    const char* text;
    Umrechnungsregel regel;
    int32_t wert;
  };
  const Fall faelle[] = {
      {"25 Einheiten", tform3, 25},  // the part before the first blank
      {" 25", tform3, 0},            // an empty part
      {"", tform3, 2},               // the empty-field value
      {"", tform5, 1},
      {"", tform8, 100},
      {"9a", tform8, 100},  // TForm8 takes 100 on any failure
      {"9a", tform5, 9},    // the others the digits read so far
      {"-7a", tform5, 7},   // without their sign
      {"-7", tform5, -7},
      {"+12", tform5, 12},
      {"a9", tform5, 0},
      {"$1F", tform5, 31},
      {"x10", tform5, 16},
      {"X1a", tform5, 26},
      {"0x10", tform5, 16},
      {"0XfF", tform5, 255},
      {"$1G", tform5, 1},
      {"-$10", tform5, 0},  // hex forms take no sign
      {"2147483647", tform5, 2147483647},
      {"-2147483648", tform5, -2147483648},
      {"2147483648", tform5, 214748364},  // does not fit: the digits before the overflow
      {"2147483648", tform8, 100},
      {"0", tform8, 0},
  };
  for (const Fall& f : faelle) EXPECT_EQ(umrechnen(f.text, f.regel), f.wert) << '"' << f.text << '"';
}

struct Erwartet {
  Dialogbeschreibung (*beschreibung)();
  const char* name;
  const char* titel;
  int breite, hoehe;
  std::vector<const char*> texte;
  const char* start;
};

TEST(ParameterdialogTest, TitelGroessenUndTexte) {
  const Erwartet alle[] = {
      {tform2Beschreibung,
       "TForm2",
       "Parametereingabe",
       312,
       160,
       {"Vergrößerungsfaktor eingeben (Werte > 1, typisch z. B. 4)"},
       ""},
      {tform3Beschreibung,
       "TForm3",
       "Zeitlupe einstellen",
       301,
       155,
       {"Verzögerungswert eingeben (typisch z. B. 100)"},
       ""},
      {tform4Beschreibung,
       "TForm4",
       "Zeitraffer einstellen",
       285,
       187,
       {"Zahl der zu übergehenden Zeittakte eingeben", "(nur bei Oszilloskopdarstellung wirksam)"},
       ""},
      {tform5Beschreibung,
       "TForm5",
       "Displaystart einstellen",
       415,
       234,
       {"Laufende Nummer der Zelle eingeben, mit der das Display beginnen soll",
        "(kleinster Wert 0; betrifft nur Oszilloskopausgabe und EPSPs, numerisch)"},
       ""},
      {tform6Beschreibung,
       "TForm6",
       "Bildverschiebung einstellen",
       511,
       191,
       {"(betrifft nur Zelldarstellung und komprimiert )", "X-Verschiebung um  ", "Einheiten", "Y-Verschiebung um",
        "Einheiten"},
       ""},
      {tform8Beschreibung,
       "TForm8",
       "Parametereingabe",
       438,
       181,
       {"Wahrscheinlichkeit des Feuerns einer überschwellig erregten Zelle eingeben",
        "(100  entspricht  unbedingtem  Feuern, guter Wert z. B. 90):"},
       "100"},
  };
  for (const Erwartet& e : alle) {
    Parameterdialog d(e.beschreibung());
    EXPECT_EQ(d.objectName().toStdString(), e.name);
    EXPECT_EQ(d.windowTitle().toStdString(), e.titel);
    EXPECT_EQ(d.size(), QSize(e.breite, e.hoehe));
    EXPECT_EQ(d.pos(), QPoint(192, 114));
    std::vector<std::string> texte;
    for (int i = 1;; ++i) {
      auto* l = d.findChild<QLabel*>(QStringLiteral("Label%1").arg(i));
      if (!l) break;
      texte.push_back(l->text().toStdString());
    }
    EXPECT_EQ(texte, std::vector<std::string>(e.texte.begin(), e.texte.end())) << e.name;
    ASSERT_NE(d.findChild<QLineEdit*>(QStringLiteral("Edit1")), nullptr);
    EXPECT_EQ(d.edit1()->text().toStdString(), e.start);
    EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("Edit2")) != nullptr, std::string(e.name) == "TForm6");
    EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("Button1"))->text(), QStringLiteral("OK"));
  }
}

TEST(ParameterdialogTest, OkUndRahmenSchliessenGleichEsGibtKeinAbbrechen) {
  Parameterdialog d(tform3Beschreibung());
  d.edit1()->setText(QStringLiteral("40"));
  QTimer::singleShot(0, &d, [&d] { d.button1()->click(); });
  d.exec();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.wert(), 40);
  QTimer::singleShot(0, &d, [&d] { d.close(); });  // through the frame
  d.exec();
  EXPECT_EQ(d.wert(), 40);
  QTimer::singleShot(0, &d, [&d] { QTest::keyClick(&d, Qt::Key_Escape); });
  d.exec();
  EXPECT_EQ(d.edit1()->text(), QStringLiteral("40"));
}

TEST(ParameterdialogTest, FelderBehaltenIhrenTextUndGebenIhreWerte) {
  Testfenster t;
  t.zeigen();
  int oeffnungen = 0;
  t.imDialog = [&oeffnungen](QDialog& d) {
    auto& p = static_cast<Parameterdialog&>(d);
    if (oeffnungen++ == 0) p.edit1()->setText(QStringLiteral("25 Einheiten"));
  };
  t.f->zeitlupeeinstellen();
  EXPECT_EQ(t.sim().param.zeitlupe, 25);
  t.f->zeitlupeeinstellen();  // reopened, untouched: the text stayed
  EXPECT_EQ(t.sim().param.zeitlupe, 25);
  EXPECT_EQ(t.f->dialoge().tform3->edit1()->text(), QStringLiteral("25 Einheiten"));

  t.imDialog = [](QDialog& d) { static_cast<Parameterdialog&>(d).edit1()->setText(QStringLiteral("9a")); };
  t.f->Bereichsauswahl1Click();
  EXPECT_EQ(t.sim().param.displayStart, 9);
  t.f->Pmitnderung1Click();
  EXPECT_EQ(t.sim().param.pWert, 100);
  t.imDialog = [](QDialog& d) { static_cast<Parameterdialog&>(d).edit1()->setText(QStringLiteral("")); };
  t.f->zeitraffereinstellen();
  EXPECT_EQ(t.sim().param.zeitraffer, 0);

  t.imDialog = [](QDialog& d) {
    auto& p = static_cast<Parameterdialog&>(d);
    p.edit1()->setText(QStringLiteral("3"));
    p.edit2()->setText(QStringLiteral("-2"));
  };
  t.f->Bildverschiebung1Click();
  EXPECT_EQ(t.sim().param.xVerschiebung, 3);
  EXPECT_EQ(t.sim().param.yVerschiebung, -2);
  EXPECT_EQ(t.gezeigt, (std::vector<QString>{"TForm3", "TForm3", "TForm5", "TForm8", "TForm4", "TForm6"}));
}

TEST(ParameterdialogTest, BildUnterDemDialogKommtZurueck) {
  Testfenster t;
  t.zeigen();
  Canvas& c = t.f->canvas();
  c.setPixel(100, 100, farben::blau);
  c.setPixel(900, 400, farben::rot);
  // while the dialog is open, something paints over the picture
  t.imDialog = [&c](QDialog&) {
    c.setPixel(100, 100, farben::weiss);
    c.setPixel(900, 400, farben::weiss);
  };
  t.f->zeitlupeeinstellen();
  EXPECT_EQ(c.getPixel(100, 100), farben::blau);
  EXPECT_EQ(c.getPixel(900, 400), farben::weiss);  // outside the saved area
}

TEST(HilfeTest, ReiterUeberschriftenUndInfo) {
  Hilfefenster h;
  EXPECT_EQ(h.windowTitle(), QStringLiteral("Hilfe"));
  QTabWidget* seiten = h.seiten();
  const QStringList reiter{"Dateien", "Ansicht", "Start", "Extras", "Kommandozeilenparameter", "Werkzeuge", "Info"};
  ASSERT_EQ(seiten->count(), reiter.size());
  for (int i = 0; i < seiten->count(); ++i) EXPECT_EQ(seiten->tabText(i), reiter[i]);
  EXPECT_EQ(seiten->currentIndex(), 6);  // opens on "Info"

  const std::vector<std::vector<std::string>> ueberschriften{
      {"Dateien öffnen", "Zustand speichern", "Bildschirm speichern"},
      {"Allgemeines", "Zelldarstellung", "Oszilloskopdarstellung", "EPSPs, numerisch", "feuernde Zellen",
       "komprimiert"},
      {"Allgemeines", "Simulation bis Stop", "Einzelzyklen (mit Leertaste)", "Neustart"},
      {"Bereichsauswahl", "Bildverschiebung", "Verlaufsprotokoll starten", "Verlaufsprotokoll beenden", "Zeitraffer",
       "Zeitlupe", "P mit Änderung", "P ohne Änderung", "P aufheben"},
      {"Allgemeines", "Modusparameter", "Beispiele"},
      {"Labor", "Schritt zurück", "Zeitleiste", "Haltepunkte", "Eingriffe"}};
  for (int i = 0; i < 6; ++i) {
    std::vector<std::string> gefunden;
    const auto felder = seiten->widget(i)->findChildren<QTextEdit*>();
    for (std::size_t k = 0; k < felder.size(); k += 2) gefunden.push_back(felder[k]->toPlainText().toStdString());
    EXPECT_EQ(gefunden, ueberschriften[static_cast<std::size_t>(i)]);
    for (std::size_t k = 0; k < felder.size(); k += 2) {
      EXPECT_EQ(felder[k]->palette().color(QPalette::Text), QColor(0, 128, 128));
      EXPECT_FALSE(felder[k + 1]->isReadOnly());
      EXPECT_FALSE(felder[k + 1]->toPlainText().isEmpty());
    }
  }
  const auto kommandofelder = seiten->widget(4)->findChildren<QTextEdit*>();
  QTextEdit* beispiele = kommandofelder.back();
  EXPECT_EQ(beispiele->toPlainText(), QStringLiteral("velkor.exe \"Lernen A\" n.net d.ein P 98 d 20 c Z 10 G\n"
                                                     "velkor Lernen_B netz.net daten.ein p 97 c V x 10 y 5"));
  EXPECT_TRUE(QFontInfo(beispiele->font()).fixedPitch());

  const auto info = seiten->widget(6)->findChildren<QTextEdit*>();
  ASSERT_EQ(info.size(), 2);
  EXPECT_EQ(info[0]->toPlainText(), QStringLiteral("velkor 2.3"));
  EXPECT_EQ(info[1]->toPlainText(),
            QStringLiteral("Änderungen gegenüber Version 2.1:\n\n"
                           "- Fehler bei der Zustandsausgabe und der Oszilloskopausgabe beseitigt\n"
                           "- Hilfe-Text ergänzt\n\n"
                           "Änderungen gegenüber Version 2.2:\n\n"
                           "- Fehler bei der Behandlung von Lernvorgängen an ODER-Zellen beseitigt"));
  auto* bild = seiten->widget(6)->findChild<QLabel*>();
  ASSERT_NE(bild, nullptr);
  EXPECT_EQ(bild->pixmap().size(), QSize(32, 32));
}

TEST(HilfeTest, BehaeltDenReiterZwischenDenAnzeigen) {
  Testfenster t;
  t.zeigen();
  t.imDialog = [](QDialog& d) { static_cast<Hilfefenster&>(d).seiten()->setCurrentIndex(2); };
  t.f->hilfe();
  EXPECT_EQ(t.gezeigt, std::vector<QString>{QStringLiteral("TForm7")});
  int beimZweitenMal = -1;
  t.imDialog = [&beimZweitenMal](QDialog& d) {
    beimZweitenMal = static_cast<Hilfefenster&>(d).seiten()->currentIndex();
  };
  t.f->hilfe();
  EXPECT_EQ(beimZweitenMal, 2);
}

}  // namespace
}  // namespace velkor::test
