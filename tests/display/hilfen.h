#pragma once
// Small nets built by hand, a display on a QImage canvas, and a scratch
// working directory for the files the display writes.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "display/anzeige.h"
#include "display/qt/qimagecanvas.h"

namespace velkor::test {

inline TZelle zelle(const std::string& name, int32_t spalte, int32_t zeile, double schwelle = 10.0,
                    int32_t refraktaerzeit = 3) {
  TZelle z;
  z.name = name;
  z.spalte = spalte;
  z.zeile = zeile;
  z.schwelle = schwelle;
  z.refraktaerzeit = refraktaerzeit;
  return z;
}

// Connections given per cell as (target, weight), in list order.
struct Verbindung {
  int32_t von, nach;
  double gewicht;
};

inline void netzBauen(Netz& netz, const std::vector<TZelle>& zellen, const std::vector<Verbindung>& verbindungen = {}) {
  netz.leeren();
  netz.Zelltabelle = zellen;
  netz.zellenzahl = static_cast<int32_t>(zellen.size());
  netz.verbindungsstart.assign(zellen.size() + 1, 0);
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    netz.verbindungsstart[static_cast<std::size_t>(c)] = netz.verbindungen.size();
    for (const auto& v : verbindungen)
      if (v.von == c) netz.verbindungen.anhaengen(v.nach, v.gewicht, 1);
  }
  netz.verbindungsstart.back() = netz.verbindungen.size();
  netz.namensindexAufbauen();
}

inline void feuernd(TZelle& z) { z.refraktaerrest = z.refraktaerzeit; }
inline void refraktaer(TZelle& z) { z.refraktaerrest = z.refraktaerzeit - 1; }

inline bool farbeIst(const QImage& b, int x, int y, Farbe f) { return b.pixel(x, y) == qRgb(f.r, f.g, f.b); }

// Number of pixels of colour f in the box [x1, x2) x [y1, y2).
inline int zaehlen(const QImage& b, int x1, int y1, int x2, int y2, Farbe f) {
  int n = 0;
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x) n += farbeIst(b, x, y, f);
  return n;
}

// True when both pictures agree in the box [x1, x2) x [y1, y2).
inline bool gleich(const QImage& a, const QImage& b, int x1, int y1, int x2, int y2) {
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
  return true;
}

// The picture of bold black text on white at (x, y), for comparing positions.
inline QImage textBild(int w, int h, int x, int y, const std::string& s) {
  QImageCanvas c(w, h);
  c.schrifthoehe(14);
  c.schriftfett(true);
  c.textOut(x, y, s);
  return c.bild();
}

inline std::string dateiInhalt(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Stored references under tests/data/referenzen. After a deliberate change of
// what is drawn or written, VELKOR_REFERENZEN_NEU=1 writes them anew.
inline std::filesystem::path referenzpfad(const std::string& name) {
  return std::filesystem::path(VELKOR_TESTDATEN) / "referenzen" / name;
}
inline bool referenzenNeu() { return std::getenv("VELKOR_REFERENZEN_NEU") != nullptr; }

// A whole file against its reference; on a difference the file is kept in
// the temporary directory for a look.
inline void dateiWieReferenz(const std::string& name, const std::string& inhalt) {
  const std::filesystem::path p = referenzpfad(name);
  if (referenzenNeu()) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << inhalt;
    return;
  }
  const std::string referenz = dateiInhalt(p);
  ASSERT_FALSE(referenz.empty()) << p << " is missing (VELKOR_REFERENZEN_NEU=1 writes it)";
  if (inhalt == referenz) return;
  std::size_t i = 0;
  while (i < inhalt.size() && i < referenz.size() && inhalt[i] == referenz[i]) ++i;
  const auto neu = std::filesystem::temp_directory_path() / ("velkor-" + name);
  std::ofstream(neu, std::ios::binary) << inhalt;
  ADD_FAILURE() << name << " differs from " << p << " from byte " << i << " on (" << inhalt.size() << " bytes, "
                << referenz.size() << " stored); written: " << neu;
}

// A whole picture against its reference PNG, pixel by pixel.
inline void bildWieReferenz(const std::string& name, const QImage& bild) {
  const std::filesystem::path p = referenzpfad(name);
  const QImage jetzt = bild.convertToFormat(QImage::Format_RGB32);
  if (referenzenNeu()) {
    std::filesystem::create_directories(p.parent_path());
    ASSERT_TRUE(jetzt.save(QString::fromStdString(p.string()), "png"));
    return;
  }
  const QImage referenz = QImage(QString::fromStdString(p.string())).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(referenz.isNull()) << p << " is missing (VELKOR_REFERENZEN_NEU=1 writes it)";
  if (jetzt == referenz) return;
  const auto neu = std::filesystem::temp_directory_path() / ("velkor-" + name);
  jetzt.save(QString::fromStdString(neu.string()), "png");
  std::string wo = "in size";
  if (jetzt.size() == referenz.size()) {
    for (int y = 0, n = 0; y < jetzt.height() && n == 0; ++y)
      for (int x = 0; x < jetzt.width() && n == 0; ++x)
        if (jetzt.pixel(x, y) != referenz.pixel(x, y)) {
          wo = "first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
          n = 1;
        }
  }
  ADD_FAILURE() << name << " differs from " << p << " " << wo << "; drawn: " << neu;
}

// Runs a test in an empty directory of its own.
class ArbeitsVerzeichnis {
 public:
  ArbeitsVerzeichnis() : alt_(std::filesystem::current_path()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("velkor_display_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }
  ~ArbeitsVerzeichnis() {
    std::filesystem::current_path(alt_);
    std::error_code fehler;
    std::filesystem::remove_all(dir_, fehler);
  }
  const std::filesystem::path& pfad() const { return dir_; }

 private:
  std::filesystem::path alt_;
  std::filesystem::path dir_;
};

// A display on a QImage canvas of the window size (1032 x 768 unless set).
struct Aufbau {
  explicit Aufbau(int W = 1032, int H = 768) : canvas(W, H) {
    zustand.W = W;
    zustand.H = H;
    sim.param.displayStart = 1;
    sim.param.vergroesserung = 1;
  }
  Simulation sim;
  Ansichtsflags ansicht;
  Anzeigezustand zustand;
  QImageCanvas canvas;
  Anzeige anzeige{sim, ansicht, zustand, canvas};

  const QImage& bild() const { return canvas.bild(); }
  // One time step of the display: row, cells, counter, then zeittakt + 1.
  void schritt() {
    anzeige.zeilenvorschub();
    anzeige.anzeigen();
    anzeige.taktanzeige();
    ++sim.zeittakt;
  }
};

}  // namespace velkor::test
