// The history and snapshots for Python: goto, snapshot/restore (also across
// processes, as bytes), the memory budget, the run as an input file.
// velkor/zeitreise.py builds the public API on these.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "engine/zustandsbild.h"
#include "lauf/erklaerungstext.h"
#include "python/sitzung.h"

namespace py = pybind11;

namespace velkor {

namespace {

py::object zustandsfehlerKlasse;

template <class T>
py::array_t<T> alsArray(const std::vector<T>& v) {
  py::array_t<T> a(static_cast<py::ssize_t>(v.size()));
  std::copy(v.begin(), v.end(), a.mutable_data());
  return a;
}

// What a diff compares, from a snapshot: per cell potential, learning factor
// and refractory rest; per connection (source order) the weight.
py::dict werteDesBilds(Sitzung& s, const Zustandsbild& bild) {
  const Netz& netz = s.sim().netz;
  if (bild.zellenzahl != netz.zellenzahl || bild.verbindungszahl != netz.verbindungen.size()) {
    throw Zustandsfehler("the snapshot belongs to another net");
  }
  Packer packer;
  Bildwerte w = bildwerte(bild, packer);
  std::vector<double> gewicht(w.gewicht.size());
  for (std::size_t k = 0; k < gewicht.size(); ++k) gewicht[k] = w.gewicht[netz.platz(k)];
  py::dict aus;
  aus["potential"] = alsArray(w.potenzial);
  aus["learning_factor"] = alsArray(w.lernfaktor);
  aus["refractory_rest"] = alsArray(w.refraktaerrest);
  aus["weight"] = alsArray(gewicht);
  aus["time_step"] = bild.zeittakt;
  return aus;
}

}  // namespace

void zeitreiseBinden(py::module_& m, py::class_<Sitzung>& klasse) {
  zustandsfehlerKlasse = py::reinterpret_steal<py::object>(PyErr_NewExceptionWithDoc(
      "velkor.StateError",
      "A state that cannot be put back: a snapshot of another net, damaged bytes, or an input\n"
      "file that has changed on disk since it was opened (its entries cannot be read again).",
      py::make_tuple(m.attr("Error"), py::reinterpret_borrow<py::object>(PyExc_ValueError)).ptr(), nullptr));
  m.attr("StateError") = zustandsfehlerKlasse;
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const Zustandsfehler& e) {
      PyErr_SetString(zustandsfehlerKlasse.ptr(), e.what());
    }
  });

  py::class_<Zustandsbild, std::shared_ptr<Zustandsbild>>(m, "_State")
      .def_property_readonly("time_step", [](const Zustandsbild& b) { return b.zeittakt; })
      .def_property_readonly("nbytes", &Zustandsbild::bytes);

  klasse.def("_snapshot", [](const Sitzung& s) { return std::const_pointer_cast<Zustandsbild>(s.aufnehmen()); })
      .def("_restore", [](Sitzung& s, const Zustandsbild& b) { s.herstellen(b); })
      .def("_state_bytes", [](const Sitzung& s, const Zustandsbild& b) { return py::bytes(s.bytes(b)); })
      .def("_state_from_bytes",
           [](const Sitzung& s, const py::bytes& b) {
             const std::string_view d = b;
             return std::const_pointer_cast<Zustandsbild>(s.ausBytes(d));
           })
      .def("_state_values", [](Sitzung& s, const Zustandsbild& b) { return werteDesBilds(s, b); })
      .def("_goto", &Sitzung::gehe)
      .def("_history",
           [](const Sitzung& s) {
             py::dict d;
             const Verlauf& v = s.verlauf();
             d["enabled"] = s.verlaufAn();
             d["first"] = v.erster();
             d["last"] = v.letzter();
             d["memory"] = v.speicher();
             d["budget"] = v.budget;
             d["checkpoints"] = v.punktschritte();
             return d;
           })
      .def("_set_history_enabled", &Sitzung::verlaufSetzen)
      .def("_set_history_budget",
           [](Sitzung& s, int64_t n) {
             if (n < 0) throw std::invalid_argument("the budget must not be negative");
             s.verlauf().budget = static_cast<std::size_t>(n);
           })
      .def("_explain",
           [](Sitzung& s, const std::vector<int32_t>& zellen, int32_t schritt) {
             py::list aus;
             for (const Erklaerung& e : s.erklaeren(zellen, schritt)) {
               aus.append(py::make_tuple(py::bytes(erklaerungText(e, s.sim().netz)),
                                         py::bytes(erklaerungJson(e, s.sim().netz))));
             }
             return aus;
           })
      .def("_input_text", [](const Sitzung& s) { return py::bytes(s.eingabeText()); })
      .def("_pending", [](const Sitzung& s) { return s.sim().eingabe.vorgemerkt(); });
}

}  // namespace velkor
