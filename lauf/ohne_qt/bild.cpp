// A build without Qt draws no pictures.

#include "lauf/bild.h"

namespace velkor {

bool bilderVerfuegbar() { return false; }
std::shared_ptr<void> bildumgebungErzeugen() { return nullptr; }
std::unique_ptr<Canvas> bildCanvasErzeugen(int, int) { return nullptr; }
bool pngSpeichern(const Canvas&, const std::string& datei, std::string& fehler) {
  fehler = datei + ": pictures are not available in this build";
  return false;
}

}  // namespace velkor
