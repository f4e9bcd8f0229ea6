#include "tools/spikeliste.h"

#include <cerrno>
#include <cstring>

#include "net/dateigrund.h"

namespace velkor {

std::string csvFeld(const std::string& name) {
  if (name.find_first_of(",\"\r\n") == std::string::npos) return name;
  std::string feld = "\"";
  for (char z : name) {
    if (z == '"') feld += '"';
    feld += z;
  }
  return feld + '"';
}

bool Spikeliste::oeffnen(const std::string& datei, std::string& fehler) {
  name_ = datei;
  errno = 0;
  datei_.reset(std::fopen(datei.c_str(), "wb"));
  if (!datei_) {
    fehler = dateifehler(datei, errno != 0 ? errno : EIO, "Schreibfehler");
    return false;
  }
  fehlernummer_ = 0;
  const char* kopf = "zeittakt,zelle,name\n";
  if (std::fputs(kopf, datei_.get()) < 0) fehlernummer_ = errno != 0 ? errno : EIO;
  return true;
}

void Spikeliste::eintragen(int32_t zeittakt, int32_t zelle, const std::string& name) {
  if (!datei_ || fehlernummer_ != 0) return;
  zeile_ = std::to_string(zeittakt);
  zeile_ += ',';
  zeile_ += std::to_string(zelle);
  zeile_ += ',';
  zeile_ += csvFeld(name);
  zeile_ += '\n';
  errno = 0;
  if (std::fwrite(zeile_.data(), 1, zeile_.size(), datei_.get()) != zeile_.size()) {
    fehlernummer_ = errno != 0 ? errno : EIO;
  }
}

bool Spikeliste::schliessen(std::string& fehler) {
  if (!datei_) return true;
  errno = 0;
  const bool geschlossen = std::fclose(datei_.release()) == 0;
  if (!geschlossen && fehlernummer_ == 0) fehlernummer_ = errno != 0 ? errno : EIO;
  if (fehlernummer_ == 0) return true;
  fehler = dateifehler(name_, fehlernummer_, "Schreibfehler");
  return false;
}

}  // namespace velkor
