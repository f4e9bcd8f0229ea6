// The recorders of the Python module: the spike recorder and the series of
// cell values per time step.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <string>
#include <vector>

#include "python/aufzeichnung.h"

namespace py = pybind11;

namespace velkor {

namespace {

template <class T>
py::array_t<T> alsArray(const std::vector<T>& werte) {
  py::array_t<T> aus(static_cast<py::ssize_t>(werte.size()));
  std::copy(werte.begin(), werte.end(), aus.mutable_data());
  return aus;
}

}  // namespace

void aufzeichnungenBinden(py::module_& m) {
  py::class_<Spikespur, std::shared_ptr<Spikespur>>(m, "SpikeRecorder",
                                                    "Every firing while recording is on: time step and cell index.")
      .def_property_readonly(
          "times",
          [](const Spikespur& s) {
            laufPruefen(s.laeuft);
            return alsArray(s.takte);
          },
          "Time steps of the firings (int32).")
      .def_property_readonly(
          "cells",
          [](const Spikespur& s) {
            laufPruefen(s.laeuft);
            return alsArray(s.zellen);
          },
          "Indices of the firing cells (int32).")
      .def_readonly("active", &Spikespur::aktiv)
      .def(
          "stop",
          [](Spikespur& s) {
            laufPruefen(s.laeuft);
            s.aktiv = false;
          },
          "Stops recording; what was recorded stays.")
      .def(
          "resume",
          [](Spikespur& s) {
            laufPruefen(s.laeuft);
            s.aktiv = true;
          },
          "Records again.")
      .def(
          "clear",
          [](Spikespur& s) {
            laufPruefen(s.laeuft);
            s.takte.clear();
            s.zellen.clear();
          },
          "Drops what was recorded.")
      .def("__len__",
           [](const Spikespur& s) {
             laufPruefen(s.laeuft);
             return s.takte.size();
           })
      .def("__repr__", [](const Spikespur& s) {
        laufPruefen(s.laeuft);
        return "<velkor.SpikeRecorder " + std::to_string(s.takte.size()) + " spikes" +
               (s.aktiv ? ", recording>" : ", stopped>");
      });

  py::class_<Messreihe, std::shared_ptr<Messreihe>>(
      m, "Recorder", "Values of chosen cells at the end of every time step while recording is on.")
      .def_property_readonly(
          "times",
          [](const Messreihe& r) {
            laufPruefen(r.laeuft);
            return alsArray(r.takte);
          },
          "Time step of each row (int32).")
      .def_property_readonly(
          "cells",
          [](const Messreihe& r) {
            laufPruefen(r.laeuft);
            return alsArray(r.zellen);
          },
          "The recorded cells (int32).")
      .def_property_readonly(
          "values",
          [](const Messreihe& r) {
            laufPruefen(r.laeuft);
            const auto breite = static_cast<py::ssize_t>(r.zellen.size());
            py::array_t<double> aus({static_cast<py::ssize_t>(r.takte.size()), breite});
            std::copy(r.werte.begin(), r.werte.end(), aus.mutable_data());
            return aus;
          },
          "The values, one row per time step, one column per cell (float64).")
      .def_readonly("active", &Messreihe::aktiv)
      .def(
          "stop",
          [](Messreihe& r) {
            laufPruefen(r.laeuft);
            r.aktiv = false;
          },
          "Stops recording; what was recorded stays.")
      .def_property_readonly(
          "variable",
          [](const Messreihe& r) {
            switch (r.groesse) {
              case Messgroesse::potenzial:
                return "potential";
              case Messgroesse::lernfaktor:
                return "learning_factor";
              case Messgroesse::refraktaerrest:
                break;
            }
            return "refractory_rest";
          },
          "The recorded value: potential, learning_factor or refractory_rest.")
      .def("__repr__", [](const Messreihe& r) {
        laufPruefen(r.laeuft);
        return "<velkor.Recorder " + std::to_string(r.zellen.size()) + " cells x " + std::to_string(r.takte.size()) +
               " steps>";
      });
}

}  // namespace velkor
