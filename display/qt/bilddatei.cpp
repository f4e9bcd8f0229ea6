// Pictures with Qt: the GUI application that text needs, the QImage canvas
// and the PNG file.

#include "lauf/bild.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QString>

#include "display/qt/qimagecanvas.h"
#include "net/dateigrund.h"

namespace velkor {

bool bilderVerfuegbar() { return true; }

namespace {

// Qt's notes about the desktop environment (no runtime directory and the
// like) mean nothing to a run without a window; real warnings still show.
void qtMeldung(QtMsgType art, const QMessageLogContext&, const QString& text) {
  if (art == QtDebugMsg || art == QtInfoMsg) return;
  if (art == QtWarningMsg && text.startsWith(QStringLiteral("QStandardPaths:"))) return;
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

}  // namespace

std::shared_ptr<void> bildumgebungErzeugen() {
  qInstallMessageHandler(qtMeldung);
  // The application keeps references to argc and argv for its whole life.
  static int argc = 1;
  static char name[] = "velkor-batch";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_shared<QGuiApplication>(argc, argv);
}

std::unique_ptr<Canvas> bildCanvasErzeugen(int breite, int hoehe) {
  return std::make_unique<QImageCanvas>(breite, hoehe);
}

bool pngSpeichern(const Canvas& canvas, const std::string& datei, std::string& fehler) {
  const auto* bild = dynamic_cast<const QImageCanvas*>(&canvas);
  if (bild == nullptr) {
    fehler = datei + ": the canvas holds no picture";
    return false;
  }
  // Opened here, so that a failure is told as every file message is: the
  // file and the system's reason.
  errno = 0;
  const int fd = ::open(datei.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    fehler = dateifehler(datei, errno);
    return false;
  }
  QFile ziel;
  if (!ziel.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    fehler = datei + ": " + ziel.errorString().toStdString();
    return false;
  }
  QImageWriter schreiber(&ziel, "png");
  errno = 0;
  const bool geschrieben = schreiber.write(bild->bild()) && ziel.flush();
  const int grund = errno;
  ziel.close();
  if (geschrieben) return true;
  fehler =
      grund != 0 ? dateifehler(datei, grund, "Schreibfehler") : datei + ": " + schreiber.errorString().toStdString();
  return false;
}

}  // namespace velkor
