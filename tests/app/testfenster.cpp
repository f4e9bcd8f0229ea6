#include "testfenster.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <fstream>
#include <sstream>

// The widgets need an application object; the resources live in the
// velkor_app library and must be registered by hand.
static void ressourcenLaden() { Q_INIT_RESOURCE(velkor); }

namespace velkor::test {

namespace {

class QtUmgebung : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    ressourcenLaden();
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const umgebung = ::testing::AddGlobalTestEnvironment(new QtUmgebung);

}  // namespace

Arbeitsverzeichnis::Arbeitsverzeichnis() : alt_(std::filesystem::current_path()) {
  std::filesystem::current_path(pfad());
}

Arbeitsverzeichnis::~Arbeitsverzeichnis() { std::filesystem::current_path(alt_); }

void dateiSchreiben(const std::string& name, const std::string& inhalt) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << inhalt;
}

std::string dateiLesen(const std::string& name) {
  std::ifstream ein(name, std::ios::binary);
  std::ostringstream s;
  s << ein.rdbuf();
  return s.str();
}

bool gibtEs(const std::string& name) { return std::filesystem::exists(name); }

Testfenster::Testfenster(std::vector<std::string> parameter) {
  Fensteroptionen o;
  o.parameter = std::move(parameter);
  o.maximiertUndOben = false;
  o.festerSeed = 4711;
  o.meldung = [this](const QString& text) {
    meldungen.push_back(text);
    if (beiMeldung) beiMeldung();
  };
  o.beenden = [this](int code) { endcodes.push_back(code); };
  o.dateiWaehlen = [this](const QString& titel, const QStringList& filter) {
    dateidialoge.emplace_back(titel, filter);
    if (dateiantworten.empty()) return QString();
    QString antwort = dateiantworten.front();
    dateiantworten.pop_front();
    return antwort;
  };
  o.dateiSpeichern = [this](const QString& titel, const QStringList& filter) {
    dateidialoge.emplace_back(titel, filter);
    if (speicherantworten.empty()) return QString();
    QString antwort = speicherantworten.front();
    speicherantworten.pop_front();
    return antwort;
  };
  o.dialogZeigen = [this](QDialog& d) {
    gezeigt.push_back(d.objectName());
    if (imDialog) imDialog(d);
  };
  f = std::make_unique<TForm1>(std::move(o));
  f->dialogeErzeugen();
  f->resize(1032, 768);
}

Testfenster::~Testfenster() { f.reset(); }

void Testfenster::ketteAnlegen() {
  dateiSchreiben("netz.net", kettennetz);
  dateiSchreiben("daten.ein", ketteneingabe);
}

void Testfenster::zeigen() {
  f->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(f.get()));
  QApplication::processEvents();
  QApplication::processEvents();
}

void Testfenster::taste(char zeichen) { QTest::keyClick(f->leinwand(), zeichen); }

void Testfenster::dateienWaehlen(const QString& netz, const QString& eingabe) {
  dateiantworten = {netz, eingabe};
  f->netzoeffnen();
  f->eingabeoeffnen();
}

bool Testfenster::farbeIn(Farbe farbe, int x1, int y1, int x2, int y2) {
  for (int y = y1; y < y2; ++y) {
    for (int x = x1; x < x2; ++x) {
      if (f->canvas().getPixel(x, y) == farbe) return true;
    }
  }
  return false;
}

}  // namespace velkor::test
