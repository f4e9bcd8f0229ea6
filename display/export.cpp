// "Bildschirm speichern": the picture as the colour bitmap "bild.bmp" or as
// the black-and-white PCL raster "bild.pcl" (300 dpi, 2 x 2 dots per pixel).

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "display/anzeige.h"
#include "net/dateigrund.h"

namespace velkor {

namespace {

struct DateiSchliessen {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using Datei = std::unique_ptr<std::FILE, DateiSchliessen>;

std::string grund(const char* name) {
  const int e = errno;
  return dateifehler(name, e, "Schreibfehler");
}

// Closes the file and reports whether everything reached it.
bool abschliessen(Datei& datei, const char* name, std::string& fehler) {
  errno = 0;
  const bool gut = std::ferror(datei.get()) == 0;
  const bool zu = std::fclose(datei.release()) == 0;
  if (gut && zu) return true;
  fehler = grund(name);
  return false;
}

void le16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void le32(std::vector<uint8_t>& b, uint32_t v) {
  le16(b, v & 0xFFFF);
  le16(b, v >> 16);
}

// W x (H - 36), white, with the canvas rectangle (1, 19)-(W - 8, H - 55)
// copied to the same place; 24 bits per pixel, uncompressed, rows bottom-up
// and padded to 4 bytes.
bool bmpSchreiben(const Canvas& canvas, int W, int H, std::string& fehler) {
  const char* name = "bild.bmp";
  const int64_t breite = W, hoehe = int64_t{H} - 36;
  if (breite <= 0 || hoehe <= 0) {
    fehler = std::string(name) + ": das Fenster ist zu klein";
    return false;
  }
  const uint64_t zeilenbytes = (static_cast<uint64_t>(breite) * 3 + 3) / 4 * 4;
  const uint64_t bildbytes = zeilenbytes * static_cast<uint64_t>(hoehe);
  if (bildbytes + 54 > std::numeric_limits<uint32_t>::max()) {
    fehler = std::string(name) + ": das Bild ist zu gross";
    return false;
  }
  std::vector<uint8_t> kopf;
  kopf.push_back('B');
  kopf.push_back('M');
  le32(kopf, static_cast<uint32_t>(bildbytes + 54));
  le32(kopf, 0);
  le32(kopf, 54);
  le32(kopf, 40);
  le32(kopf, static_cast<uint32_t>(breite));
  le32(kopf, static_cast<uint32_t>(hoehe));  // positive: bottom-up
  le16(kopf, 1);
  le16(kopf, 24);
  le32(kopf, 0);  // BI_RGB, uncompressed
  le32(kopf, static_cast<uint32_t>(bildbytes));
  le32(kopf, 3780);  // 96 dpi
  le32(kopf, 3780);
  le32(kopf, 0);
  le32(kopf, 0);

  errno = 0;
  Datei datei(std::fopen(name, "wb"));
  if (!datei) {
    fehler = grund(name);
    return false;
  }
  std::fwrite(kopf.data(), 1, kopf.size(), datei.get());
  std::vector<uint8_t> zeile(zeilenbytes, 0);
  for (int64_t y = hoehe - 1; y >= 0; --y) {
    for (int64_t x = 0; x < breite; ++x) {
      const bool kopiert = x >= 1 && x < W - 8 && y >= 19 && y < int64_t{H} - 55;
      const Farbe f = kopiert ? canvas.getPixel(static_cast<int>(x), static_cast<int>(y)) : farben::weiss;
      zeile[static_cast<std::size_t>(3 * x)] = f.b;
      zeile[static_cast<std::size_t>(3 * x + 1)] = f.g;
      zeile[static_cast<std::size_t>(3 * x + 2)] = f.r;
    }
    std::fwrite(zeile.data(), 1, zeile.size(), datei.get());
  }
  return abschliessen(datei, name, fehler);
}

// Screen rows 20 .. H - 28, each written twice; n = trunc((W - 15) / 4) + 1
// bytes per row, two bits per pixel, set for every pixel that is not pure
// white (pixels outside the canvas read black).
bool pclSchreiben(const Canvas& canvas, int W, int H, std::string& fehler) {
  const char* name = "bild.pcl";
  errno = 0;
  Datei datei(std::fopen(name, "wb"));
  if (!datei) {
    fehler = grund(name);
    return false;
  }
  std::FILE* f = datei.get();
  const std::string esc(1, '\x1b');
  const std::string kopf = esc + "E" + esc + "&l26a0o6D" + esc + "&1l60P" + esc + "&l0L" + esc + "9" + esc + "&l1E" +
                           esc + "*r0A" + esc + "*r2Q" + esc + "*t300R";
  std::fputs(kopf.c_str(), f);
  const int64_t n = std::max<int64_t>((int64_t{W} - 15) / 4 + 1, 0);
  const std::string praefix = esc + "*b" + std::to_string(n) + "W";
  std::vector<uint8_t> zeile(static_cast<std::size_t>(n));
  for (int64_t y = oberkante; y <= int64_t{H} - 28; ++y) {
    for (int64_t j = 0; j < n; ++j) {
      uint8_t byte = 0;
      for (int i = 0; i < 4; ++i) {
        const int64_t x = 4 * j + i;
        const Farbe p = x > std::numeric_limits<int>::max() ? farben::schwarz
                                                            : canvas.getPixel(static_cast<int>(x), static_cast<int>(y));
        if (!(p == farben::weiss)) byte |= static_cast<uint8_t>(0xC0 >> (2 * i));
      }
      zeile[static_cast<std::size_t>(j)] = byte;
    }
    for (int mal = 0; mal < 2; ++mal) {
      std::fputs(praefix.c_str(), f);
      std::fwrite(zeile.data(), 1, zeile.size(), f);
    }
  }
  std::fputs((esc + "*rB" + esc + "E").c_str(), f);
  return abschliessen(datei, name, fehler);
}

}  // namespace

bool bildschirmSpeichern(const Canvas& canvas, int W, int H, bool farbBild, std::string& fehler) {
  return farbBild ? bmpSchreiben(canvas, W, H, fehler) : pclSchreiben(canvas, W, H, fehler);
}

}  // namespace velkor
