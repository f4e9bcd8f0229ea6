// The extension module velkor._velkor: the simulation, its recorders and the
// exceptions. The package velkor (velkor/__init__.py) adds the Python side.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "lauf/bild.h"
#include "python/aufzeichnung.h"
#include "python/bild.h"
#include "python/freigabe.h"
#include "python/sitzung.h"
#include "python/spalten.h"

namespace py = pybind11;
using namespace velkor;

namespace velkor {
// The Python classes SpikeRecorder and Recorder (aufzeichnungsbindung.cpp).
void aufzeichnungenBinden(py::module_& m);
// Snapshots and the history (zeitbindung.cpp).
void zeitreiseBinden(py::module_& m, py::class_<Sitzung>& klasse);
// The breakpoint calls of _Simulation (haltebindung.cpp).
void haltepunkteBinden(py::module_& m);
}  // namespace velkor

namespace {

void nichtFehlerhaft(const Sitzung& s) {
  if (s.sim().lauf.netzfehler) throw Netzfehler("Netzfehler: the net is faulty and is not simulated", {});
}

Messgroesse messgroesse(const std::string& name) {
  if (name == "potential") return Messgroesse::potenzial;
  if (name == "learning_factor") return Messgroesse::lernfaktor;
  if (name == "refractory_rest") return Messgroesse::refraktaerrest;
  throw std::invalid_argument("cannot record '" + name + "' (potential, learning_factor, refractory_rest)");
}

py::object netzfehlerKlasse;
py::object formatfehlerKlasse;

void ausnahmenEintragen(py::module_& m) {
  static py::exception<std::runtime_error> basis(m, "Error", PyExc_Exception);
  basis.doc() = "Base class of velkor's own errors.";
  static py::exception<Formatfehler> format(m, "FormatError", basis.ptr());
  format.doc() = "The net file has a line whose first character the format does not define.";
  netzfehlerKlasse = py::reinterpret_steal<py::object>(
      PyErr_NewExceptionWithDoc("velkor.NetError",
                                "The net is faulty (missing target cells, a wrong numbered header): "
                                "`protocol` holds the lines that \"protok.txt\" takes.",
                                basis.ptr(), nullptr));
  m.attr("NetError") = netzfehlerKlasse;
  formatfehlerKlasse = format;
  basis.attr("__module__") = "velkor";
  format.attr("__module__") = "velkor";
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const Formatfehler& e) {
      PyErr_SetString(formatfehlerKlasse.ptr(), e.what());
    } catch (const Netzfehler& e) {
      py::object ausnahme = netzfehlerKlasse(e.what());
      ausnahme.attr("protocol") = py::cast(e.protokoll);
      PyErr_SetObject(netzfehlerKlasse.ptr(), ausnahme.ptr());
    } catch (const Dateifehler& e) {
      // errno known: OSError picks its subclass (FileNotFoundError, IsADirectoryError...).
      py::object ausnahme = e.fehlernummer != 0 ? py::reinterpret_borrow<py::object>(PyExc_OSError)(
                                                      e.fehlernummer, std::strerror(e.fehlernummer), e.datei)
                                                : py::reinterpret_borrow<py::object>(PyExc_OSError)(e.what());
      PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(ausnahme.ptr())), ausnahme.ptr());
    } catch (const std::logic_error& e) {
      if (dynamic_cast<const std::invalid_argument*>(&e) != nullptr) throw;
      if (dynamic_cast<const std::out_of_range*>(&e) != nullptr) throw;
      PyErr_SetString(PyExc_RuntimeError, e.what());
    }
  });
}

std::unique_ptr<Sitzung> sitzungBauen(std::string netz, bool netzAlsText, std::optional<std::string> eingabe,
                                      bool eingabeAlsText, std::string modi, std::optional<uint64_t> seed,
                                      std::optional<std::string> protokollordner,
                                      std::optional<std::pair<int, int>> anzeige) {
  Quelle q;
  q.netz = std::move(netz);
  q.netzAlsText = netzAlsText;
  q.eingabe = std::move(eingabe);
  q.eingabeAlsText = eingabeAlsText;
  q.modi = std::move(modi);
  q.seed = seed;
  q.protokollordner = std::move(protokollordner);
  if (anzeige) {
    const auto [w, h] = *anzeige;
    if (w < 200 || h < 200 || w > 10000 || h > 10000) {
      throw std::invalid_argument("display size must lie between 200x200 and 10000x10000");
    }
    if (!bilderVerfuegbar()) {
      throw std::logic_error("pictures are not available: velkor was built without the display");
    }
    bildumgebungSichern();
    q.breite = w;
    q.hoehe = h;
  }
  return std::make_unique<Sitzung>(std::move(q));
}

}  // namespace

PYBIND11_MODULE(_velkor, m) {
  m.doc() = "The simulation core of velkor (use the package velkor).";
  ausnahmenEintragen(m);
  m.attr("__version__") = VELKOR_VERSION;
  m.attr("pictures_available") = bilderVerfuegbar();
  m.attr("cell_fields") = zellfelder();
  m.attr("connection_fields") = verbindungsfelder();

  aufzeichnungenBinden(m);

  py::class_<Sitzung> klasse(m, "_Simulation");
  klasse
      .def(py::init(&sitzungBauen), py::arg("net"), py::arg("net_is_text"), py::arg("input"), py::arg("input_is_text"),
           py::arg("modes"), py::arg("seed"), py::arg("protocol_dir"), py::arg("display"))
      .def(
          "step",
          [](Sitzung& s, int64_t n) {
            if (n < 0) throw std::invalid_argument("n must not be negative");
            nichtFehlerhaft(s);
            return ohneGil(s, n <= 1, [&](auto unterbrochen) { return s.schritte(n, unterbrochen); });
          },
          py::arg("n") = 1,
          "Runs n single time steps, as the space bar does (also after the input has ended);\n"
          "a breakpoint ends them early. Returns the number of steps run. Other Python threads\n"
          "run meanwhile; Ctrl-C stops it after the current time step (KeyboardInterrupt).")
      .def(
          "run_to_stop",
          [](Sitzung& s) {
            nichtFehlerhaft(s);
            return ohneGil(s, false, [&](auto unterbrochen) { return s.bisStop(unterbrochen); });
          },
          "\"Simulation bis Stop\": time steps up to the next stop mark of the input or its end.\n"
          "Does nothing once the input has ended. Returns the number of steps run.\n"
          "Other Python threads run meanwhile; Ctrl-C stops it after the current time step.")
      .def(
          "run",
          [](Sitzung& s) {
            nichtFehlerhaft(s);
            return ohneGil(s, false, [&](auto unterbrochen) { return s.bisEnde(unterbrochen); });
          },
          "Runs until the input has ended (over every stop mark) or a breakpoint halts.\n"
          "Returns the number of steps run.\n"
          "Other Python threads run meanwhile; Ctrl-C stops it after the current time step.")
      .def("restart", &Sitzung::neustart,
           "\"Neustart\": loads the net and opens the input again; time step 0. Recordings stay.")
      .def_property_readonly(
          "time_step", [](const Sitzung& s) { return s.zeittakt(); },
          "The next time step to run (zeittakt); also readable while a call steps in another thread.")
      .def_property_readonly(
          "input_ended", [](const Sitzung& s) { return s.sim().lauf.eingabeEnde; }, "The input has ended.")
      .def_property_readonly(
          "stopped", [](const Sitzung& s) { return s.sim().lauf.anhalten; },
          "The last time step stopped a run (stop mark, end of input, breakpoint, or a single step).")
      .def_property(
          "p", [](const Sitzung& s) { return s.sim().param.pWert; }, [](Sitzung& s, int32_t p) { s.pSetzen(p); },
          "Firing probability P in percent: each countdown step of a spike succeeds with P %.")
      .def_property(
          "threads", [](const Sitzung& s) { return s.sim().faeden.anzahl(); },
          [](Sitzung& s, int32_t n) {
            if (n < 1) throw std::invalid_argument("threads must be 1 or more");
            s.sim().faeden.setzen(n);
          },
          "Threads of a time step (default: VELKOR_THREADS, else the cores the process may use).\n"
          "Nets too small to gain run on one thread; results are the same on any number.")
      .def_property_readonly(
          "cell_count", [](const Sitzung& s) { return s.sim().netz.zellenzahl; }, "Number of cells.")
      .def_property_readonly(
          "connection_count", [](const Sitzung& s) { return s.sim().netz.verbindungen.size(); },
          "Number of connections.")
      .def_property_readonly(
          "names",
          [](const Sitzung& s) {
            py::list aus;
            for (const auto& n : zellnamen(s)) {
              aus.append(py::reinterpret_steal<py::object>(
                  PyUnicode_DecodeUTF8(n.data(), static_cast<py::ssize_t>(n.size()), "surrogateescape")));
            }
            return aus;
          },
          "Cell names in index order (bytes that are no UTF-8 as surrogate escapes).")
      .def("cell_values", &zellspalte, py::arg("field"), "A copy of one field of every cell.")
      .def("_set_cell_values",
           [](Sitzung& s, const std::string& feld, const std::vector<int32_t>& zellen, const py::array& werte) {
             for (int32_t c : zellen) {
               if (c < 0 || c >= s.sim().netz.zellenzahl) throw std::invalid_argument("no cell " + std::to_string(c));
             }
             zellspalteSetzen(s, feld, zellen, werte);
           })
      .def("connection_values", &verbindungsspalte, py::arg("field"),
           "A copy of one field of every connection, in source order (cells by index, each cell's\n"
           "connections in list order: its newest connection line first).")
      .def("_set_connection_values",
           [](Sitzung& s, const std::string& feld, const std::vector<int64_t>& nummern, const py::array& werte) {
             const auto n = static_cast<int64_t>(s.sim().netz.verbindungen.size());
             for (int64_t k : nummern) {
               if (k < 0 || k >= n) throw std::invalid_argument("no connection " + std::to_string(k));
             }
             verbindungsspalteSetzen(s, feld, nummern, werte);
           })
      .def("_connection_range",
           [](const Sitzung& s, int32_t c) {
             if (c < 0 || c >= s.sim().netz.zellenzahl) throw std::invalid_argument("no cell " + std::to_string(c));
             return verbindungsbereich(s, c);
           })
      .def("_find", [](const Sitzung& s, const std::string& name) { return s.sim().netz.suche(name); })
      .def("_excite",
           [](Sitzung& s, int32_t c) {
             if (c < 0 || c >= s.sim().netz.zellenzahl) throw std::invalid_argument("no cell " + std::to_string(c));
             s.erregen(c);
           })
      .def("state_text", &Sitzung::zustand, "The text that save_state writes (\"zustand.txt\").")
      .def("_save_state", &Sitzung::zustandSpeichern)
      .def(
          "record_spikes",
          [](Sitzung& s) {
            s.aufzeichnung().spikes->aktiv = true;
            return s.aufzeichnung().spikes;
          },
          "Starts recording every firing; returns the SpikeRecorder (times, cells as int32 arrays).")
      .def("_recordings",
           [](Sitzung& s) { return py::make_tuple(s.aufzeichnung().spikes, py::cast(s.aufzeichnung().reihen)); })
      .def("_record",
           [](Sitzung& s, const std::vector<int32_t>& zellen, const std::string& groesse) {
             const Messgroesse art = messgroesse(groesse);
             for (int32_t c : zellen) {
               if (c < 0 || c >= s.sim().netz.zellenzahl) {
                 throw std::invalid_argument("no cell " + std::to_string(c));
               }
             }
             auto reihe = s.aufzeichnung().neueReihe();
             reihe->groesse = art;
             reihe->zellen = zellen;
             return reihe;
           })
      .def(
          "picture",
          [](Sitzung& s, std::optional<std::string> ansicht, std::optional<std::pair<int, int>> groesse) {
            if (!ansicht && !groesse) {
              if (s.canvas() == nullptr) {
                throw std::logic_error(bilderVerfuegbar()
                                           ? "no display attached: create the Simulation with display=(W, H), "
                                             "or name a view: picture(\"V\")"
                                           : "pictures are not available: velkor was built without the display");
              }
              return bildArray(*s.canvas());
            }
            const auto [w, h] = groesse.value_or(std::pair{1032, 768});
            if (w < 200 || h < 200 || w > 10000 || h > 10000) {
              throw std::invalid_argument("size must lie between (200, 200) and (10000, 10000)");
            }
            if (bilderVerfuegbar()) bildumgebungSichern();
            return bildArray(*s.bildZeichnen(ansicht.value_or("V"), w, h));
          },
          py::arg("view") = py::none(), py::arg("size") = py::none(),
          "The canvas as an RGB array (H - 50, W - 8, 3) of uint8, the client area of a window\n"
          "of the outer size (W, H).\n\n"
          "picture(): the attached display (display=(W, H) at creation), drawn every step as\n"
          "velkor-batch --png draws it, in the view of the modes.\n"
          "picture(view, size=(1032, 768)): the net in its present state on a fresh canvas, in\n"
          "the cell view (\"v\" or \"V\") or the compressed view (\"m 4\": magnification 4), as the\n"
          "start draws it.");
  zeitreiseBinden(m, klasse);
  haltepunkteBinden(m);
}
