// The breakpoint calls of _Simulation: the set breakpoints, a run until stop
// with one-shot breakpoints beside them, and what halted the last call. The
// Python side (velkor/haltepunkte.py) resolves cells and keeps the list.

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "lauf/haltepunkt.h"
#include "python/freigabe.h"
#include "python/sitzung.h"

namespace py = pybind11;

namespace velkor {

namespace {

using Potenziale = std::vector<std::pair<int32_t, double>>;

Haltepunkte haltepunkte(const Sitzung& s, std::vector<int32_t> feuern, const Potenziale& potenziale,
                        std::vector<int32_t> takte) {
  const int32_t zahl = s.sim().netz.zellenzahl;
  Haltepunkte h;
  h.feuern = std::move(feuern);
  for (const auto& [c, wert] : potenziale) h.potenziale.push_back({c, wert});
  h.takte = std::move(takte);
  for (int32_t c : h.feuern) {
    if (c < 0 || c >= zahl) throw std::invalid_argument("no cell " + std::to_string(c));
  }
  for (const Potenzialmarke& m : h.potenziale) {
    if (m.zelle < 0 || m.zelle >= zahl) throw std::invalid_argument("no cell " + std::to_string(m.zelle));
  }
  return h;
}

const char* artName(Haltart art) {
  switch (art) {
    case Haltart::feuern:
      return "fires";
    case Haltart::potenzial:
      return "potential";
    case Haltart::takt:
      break;
  }
  return "step";
}

}  // namespace

void haltepunkteBinden(py::module_& m) {
  auto simulation = py::reinterpret_borrow<py::class_<Sitzung>>(m.attr("_Simulation"));
  simulation
      .def("_set_breakpoints",
           [](Sitzung& s, std::vector<int32_t> feuern, const Potenziale& potenziale, std::vector<int32_t> takte) {
             Haltepunkte h = haltepunkte(s, std::move(feuern), potenziale, std::move(takte));
             s.haltepunkte = std::move(h);
           })
      .def("_run_to_stop_until",
           [](Sitzung& s, std::vector<int32_t> feuern, const Potenziale& potenziale, std::vector<int32_t> takte) {
             if (s.sim().lauf.netzfehler) throw Netzfehler("Netzfehler: the net is faulty and is not simulated", {});
             const Haltepunkte einmalig = haltepunkte(s, std::move(feuern), potenziale, std::move(takte));
             return ohneGil(s, false, [&](auto unterbrochen) { return s.bisStop(unterbrochen, &einmalig); });
           })
      .def("_halts", [](const Sitzung& s) {
        s.frei();
        py::list aus;
        for (const Halt& h : s.halte) {
          aus.append(py::make_tuple(artName(h.art), h.zelle, h.takt, h.wert));
        }
        return aus;
      });
}

}  // namespace velkor
