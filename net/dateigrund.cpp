#include "net/dateigrund.h"

#include <cerrno>
#include <cstring>

namespace velkor {

std::string dateigrund(int fehlernummer, const char* ohneNummer) {
  switch (fehlernummer) {
    case 0:
      return ohneNummer;
    case ENOENT:
      return "Datei oder Verzeichnis nicht gefunden";
    case EACCES:
    case EPERM:
      return "Keine Berechtigung";
    case EISDIR:
      return "Ist ein Verzeichnis";
    case ENOSPC:
      return "Kein Platz mehr auf dem Datenträger";
    case EROFS:
      return "Dateisystem ist nur lesbar";
    case EMFILE:
    case ENFILE:
      return "Zu viele offene Dateien";
    default:
      return std::strerror(fehlernummer);
  }
}

std::string dateifehler(const std::string& datei, int fehlernummer, const char* ohneNummer) {
  return datei + ": " + dateigrund(fehlernummer, ohneNummer);
}

}  // namespace velkor
