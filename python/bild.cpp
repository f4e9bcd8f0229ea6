#include "python/bild.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#include "lauf/bild.h"

#ifdef VELKOR_MIT_BILD
#include <QImage>

#include "display/qt/qimagecanvas.h"
#endif

namespace py = pybind11;

namespace velkor {

void bildumgebungSichern() {
  // The GUI application must outlive every canvas, including those that
  // Python frees late at the end of the interpreter: it is never destroyed.
  static auto* umgebung = new std::shared_ptr<void>(bildumgebungErzeugen());
  (void)umgebung;
}

py::array_t<uint8_t> bildArray(const Canvas& canvas) {
#ifdef VELKOR_MIT_BILD
  const auto* qc = dynamic_cast<const QImageCanvas*>(&canvas);
  if (qc == nullptr) throw std::logic_error("the canvas holds no picture");
  const QImage rgb = qc->bild().convertToFormat(QImage::Format_RGB888);
  const auto h = static_cast<py::ssize_t>(rgb.height());
  const auto w = static_cast<py::ssize_t>(rgb.width());
  py::array_t<uint8_t> aus({h, w, py::ssize_t{3}});
  uint8_t* ziel = aus.mutable_data();
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(ziel + static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 3, rgb.constScanLine(y),
                static_cast<std::size_t>(w) * 3);
  }
  return aus;
#else
  (void)canvas;
  throw std::logic_error("pictures are not available: velkor was built without the display");
#endif
}

}  // namespace velkor
