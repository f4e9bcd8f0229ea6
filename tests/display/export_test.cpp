// "Bildschirm speichern": the PCL byte stream and the 24-bit bitmap.

#include <gtest/gtest.h>

#include <cstdint>

#include "hilfen.h"

namespace velkor {
namespace {

const std::string esc = "\x1b";
const std::string pclKopf = esc + "E" + esc + "&l26a0o6D" + esc + "&1l60P" + esc + "&l0L" + esc + "9" + esc + "&l1E" +
                            esc + "*r0A" + esc + "*r2Q" + esc + "*t300R";
const std::string pclEnde = esc + "*rB" + esc + "E";

// The raster rows of a PCL file (each prefix checked), in file order.
std::vector<std::string> rasterzeilen(const std::string& pcl, std::size_t n) {
  std::vector<std::string> zeilen;
  const std::string praefix = esc + "*b" + std::to_string(n) + "W";
  std::size_t pos = pclKopf.size();
  while (pcl.compare(pos, praefix.size(), praefix) == 0) {
    pos += praefix.size();
    zeilen.push_back(pcl.substr(pos, n));
    pos += n;
  }
  EXPECT_EQ(pcl.substr(pos), pclEnde);
  return zeilen;
}

TEST(ExportTest, PclKopfZeilenlaengeUndZeilenzahl) {
  test::ArbeitsVerzeichnis dir;
  QImageCanvas canvas(1032, 768);
  canvas.setPixel(5, 20, farben::schwarz);  // first raster row
  canvas.setPixel(8, 21, farben::gelb);     // coloured prints black
  canvas.setPixel(1019, 21, farben::gruen);
  std::string fehler;
  ASSERT_TRUE(bildschirmSpeichern(canvas, 1032, 768, false, fehler)) << fehler;
  const std::string pcl = test::dateiInhalt("bild.pcl");
  ASSERT_EQ(pcl.compare(0, pclKopf.size(), pclKopf), 0);
  const auto zeilen = rasterzeilen(pcl, 255);
  ASSERT_EQ(zeilen.size(), 1442u);  // 2 · (740 - 20 + 1)
  std::string erste(255, '\0');
  erste[1] = 48;  // x = 5: bits 5 and 4
  EXPECT_EQ(zeilen[0], erste);
  EXPECT_EQ(zeilen[1], erste);
  std::string zweite(255, '\0');
  zweite[2] = static_cast<char>(0xC0);
  zweite[254] = 0x03;
  EXPECT_EQ(zeilen[2], zweite);
  EXPECT_EQ(zeilen[3], zweite);
  EXPECT_EQ(zeilen[4], std::string(255, '\0'));
  // Whole files of small windows: n = (W - 15) / 4 + 1 bytes per row for
  // every remainder of W - 15 mod 4, the last pixels of a row at its end.
  for (int W = 47; W <= 50; ++W) {
    QImageCanvas klein(W - 8, 60);
    for (int y = 20; y < 40; ++y) klein.setPixel((y * 7) % (W - 8), y, farben::rot);
    klein.setPixel(W - 9, 21, farben::schwarz);
    ASSERT_TRUE(bildschirmSpeichern(klein, W, 60, false, fehler)) << fehler;
    test::dateiWieReferenz("bild-" + std::to_string(W) + ".pcl", test::dateiInhalt("bild.pcl"));
  }
}

TEST(ExportTest, PixelAusserhalbDesCanvasDruckenSchwarz) {
  test::ArbeitsVerzeichnis dir;
  QImageCanvas canvas(1016, 700);  // the client area is smaller than the window
  std::string fehler;
  ASSERT_TRUE(bildschirmSpeichern(canvas, 1032, 768, false, fehler)) << fehler;
  const auto zeilen = rasterzeilen(test::dateiInhalt("bild.pcl"), 255);
  ASSERT_EQ(zeilen.size(), 1442u);
  // Columns 1016 .. 1019 of byte 254 lie outside; rows from y = 700 on too.
  EXPECT_EQ(static_cast<uint8_t>(zeilen[0][254]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(zeilen[0][253]), 0x00);
  EXPECT_EQ(zeilen[2 * (699 - 20)][0], '\0');
  EXPECT_EQ(zeilen[2 * (700 - 20)], std::string(255, '\xFF'));
}

TEST(ExportTest, PclBeiWinzigemFenster) {
  test::ArbeitsVerzeichnis dir;
  QImageCanvas canvas(10, 10);
  std::string fehler;
  ASSERT_TRUE(bildschirmSpeichern(canvas, 0, 30, false, fehler)) << fehler;
  EXPECT_EQ(test::dateiInhalt("bild.pcl"), pclKopf + pclEnde);
}

uint32_t le32(const std::string& s, std::size_t pos) {
  return static_cast<uint8_t>(s[pos]) | static_cast<uint8_t>(s[pos + 1]) << 8 | static_cast<uint8_t>(s[pos + 2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[pos + 3])) << 24;
}

TEST(ExportTest, BmpVierundzwanzigBitUnkomprimiertMitKopiertemBereich) {
  test::ArbeitsVerzeichnis dir;
  // Widths of every remainder mod 4: rows of 303 to 312 bytes, padded to 304 .. 312.
  for (const int W : {101, 102, 103, 104}) {
    const int H = 120;
    QImageCanvas canvas(W, H);
    canvas.setPixel(1, 19, farben::rot);        // first copied pixel
    canvas.setPixel(W - 9, 64, farben::blau);   // last copied pixel (W - 9, H - 56)
    canvas.setPixel(0, 30, farben::gruen);      // column 0: not copied
    canvas.setPixel(50, 18, farben::gelb);      // the Statusleiste: not copied
    canvas.setPixel(W - 8, 30, farben::gruen);  // from W - 8 on: not copied
    for (int x = 1; x < W - 8; x += 3) canvas.setPixel(x, 40, Farbe{static_cast<uint8_t>(x), 100, 200});
    std::string fehler;
    ASSERT_TRUE(bildschirmSpeichern(canvas, W, H, true, fehler)) << fehler;
    const std::string bmp = test::dateiInhalt("bild.bmp");
    test::dateiWieReferenz("bild-" + std::to_string(W) + ".bmp", bmp);
    ASSERT_EQ(bmp.substr(0, 2), "BM");
    const int hoehe = H - 36;
    const std::size_t zeilenbytes = (3 * static_cast<std::size_t>(W) + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + zeilenbytes * hoehe);
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    EXPECT_EQ(le32(bmp, 10), 54u);
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(le32(bmp, 18), static_cast<uint32_t>(W));
    EXPECT_EQ(le32(bmp, 22), static_cast<uint32_t>(hoehe));
    EXPECT_EQ(static_cast<uint8_t>(bmp[28]), 24);  // bits per pixel
    EXPECT_EQ(le32(bmp, 30), 0u);                  // no compression
    auto pixelBei = [&](int x, int y) {
      const std::size_t p =
          54 + zeilenbytes * static_cast<std::size_t>(hoehe - 1 - y) + 3 * static_cast<std::size_t>(x);
      return Farbe{static_cast<uint8_t>(bmp[p + 2]), static_cast<uint8_t>(bmp[p + 1]), static_cast<uint8_t>(bmp[p])};
    };
    int abweichungen = 0;
    for (int y = 0; y < hoehe; ++y)
      for (int x = 0; x < W; ++x) {
        const bool kopiert = x >= 1 && x < W - 8 && y >= 19 && y < H - 55;
        abweichungen += !(pixelBei(x, y) == (kopiert ? canvas.getPixel(x, y) : farben::weiss));
      }
    EXPECT_EQ(abweichungen, 0);
    EXPECT_EQ(pixelBei(1, 19), farben::rot);
    EXPECT_EQ(pixelBei(W - 9, 64), farben::blau);
    EXPECT_EQ(pixelBei(0, 30), farben::weiss);
    EXPECT_EQ(pixelBei(50, 18), farben::weiss);
    EXPECT_EQ(pixelBei(W - 8, 30), farben::weiss);
  }
}

TEST(ExportTest, NichtSchreibbareDateiMeldetDenGrund) {
  test::ArbeitsVerzeichnis dir;
  std::filesystem::create_directory("bild.pcl");
  std::filesystem::create_directory("bild.bmp");
  QImageCanvas canvas(100, 100);
  std::string fehler;
  EXPECT_FALSE(bildschirmSpeichern(canvas, 100, 100, false, fehler));
  EXPECT_NE(fehler.find("bild.pcl"), std::string::npos);
  EXPECT_FALSE(bildschirmSpeichern(canvas, 100, 100, true, fehler));
  EXPECT_NE(fehler.find("bild.bmp"), std::string::npos);
  EXPECT_FALSE(bildschirmSpeichern(canvas, 100, 30, true, fehler));  // no rows at all
}

}  // namespace
}  // namespace velkor
