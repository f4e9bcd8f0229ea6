#include "python/spalten.h"

#include <algorithm>
#include <stdexcept>

#include "engine/zyklus.h"

namespace py = pybind11;

namespace velkor {

namespace {

template <class T>
using Zellfeld = T TZelle::*;

struct Zelleintrag {
  const char* name;
  Zellfeld<double> real = nullptr;
  Zellfeld<int32_t> ganz = nullptr;
};

// Python name -> field of the cell record.
const Zelleintrag zelltabelle[] = {
    {"potential", &TZelle::potenzial, nullptr},
    {"threshold", &TZelle::schwelle, nullptr},
    {"decay", &TZelle::abklingfaktor, nullptr},
    {"refractory_time", nullptr, &TZelle::refraktaerzeit},
    {"refractory_rest", nullptr, &TZelle::refraktaerrest},
    {"learning_factor", &TZelle::lernfaktor, nullptr},
    {"learning_factor_start", &TZelle::lernfaktorstart, nullptr},
    {"recovery", &TZelle::erholfaktor, nullptr},
    {"change_rate", &TZelle::aenderungsrate, nullptr},
    {"row", nullptr, &TZelle::zeile},
    {"column", nullptr, &TZelle::spalte},
};

const Zelleintrag& zelleintrag(const std::string& feld) {
  for (const auto& e : zelltabelle) {
    if (feld == e.name) return e;
  }
  throw std::invalid_argument("no cell field '" + feld + "'");
}

const char* const verbindungsnamen[] = {"source",       "target",        "weight",       "delay",
                                        "start_weight", "weight_factor", "max_weight",   "learning_step",
                                        "time_window",  "in_transit",    "last_arrival", "in_window"};

// A connection column in list order (the columns keep each cell's
// connections by delay; Netz::platz maps the one to the other).
template <class T>
py::array_t<T> kopie(const Netz& netz, const std::vector<T>& spalte, T leer) {
  const std::size_t n = netz.verbindungen.size();
  py::array_t<T> aus(static_cast<py::ssize_t>(n));
  T* ziel = aus.mutable_data();
  if (spalte.empty()) {
    std::fill(ziel, ziel + n, leer);
    return aus;
  }
  for (int32_t c = 0; c < netz.zellenzahl; ++c) {
    for (std::size_t k = netz.verbindungsanfang(c); k < netz.verbindungsende(c); ++k)
      ziel[k] = spalte[netz.platz(c, k)];
  }
  return aus;
}

// The values to write, one per index or one for all.
template <class T>
std::vector<T> werteLesen(const py::array& werte, std::size_t n) {
  auto a = py::array_t<T, py::array::c_style | py::array::forcecast>::ensure(werte);
  if (!a) throw std::invalid_argument("values must be numbers");
  if (a.ndim() > 1) throw std::invalid_argument("values must be a number or a 1-d sequence");
  const auto anzahl = static_cast<std::size_t>(a.size());
  if (anzahl != 1 && anzahl != n) {
    throw std::invalid_argument("got " + std::to_string(anzahl) + " values for " + std::to_string(n) + " places");
  }
  std::vector<T> aus(n);
  for (std::size_t i = 0; i < n; ++i) aus[i] = a.data()[anzahl == 1 ? 0 : i];
  return aus;
}

}  // namespace

Pegelstand pegelRetten(const Netz& netz) {
  Pegelstand stand;
  for (int32_t c = 0; c < netz.zellenzahl; ++c)
    stand.zellen.push_back(netz.Zelltabelle[static_cast<std::size_t>(c)].pegel);
  stand.gewichte = netz.verbindungen.gewichtspegel;
  return stand;
}

void pegelZurueck(Netz& netz, const Pegelstand& stand) {
  for (std::size_t c = 0; c < stand.zellen.size(); ++c) netz.Zelltabelle[c].pegel = stand.zellen[c];
  netz.verbindungen.gewichtspegel = stand.gewichte;
}

std::vector<std::string> zellfelder() {
  std::vector<std::string> aus;
  for (const auto& e : zelltabelle) aus.emplace_back(e.name);
  return aus;
}

std::vector<std::string> verbindungsfelder() { return {std::begin(verbindungsnamen), std::end(verbindungsnamen)}; }

py::array zellspalte(const Sitzung& s, const std::string& feld) {
  const Zelleintrag& e = zelleintrag(feld);
  const auto& tabelle = s.sim().netz.Zelltabelle;
  const auto n = static_cast<std::size_t>(s.sim().netz.zellenzahl);
  if (e.real != nullptr) {
    py::array_t<double> aus(static_cast<py::ssize_t>(n));
    double* ziel = aus.mutable_data();
    for (std::size_t c = 0; c < n; ++c) ziel[c] = tabelle[c].*e.real;
    return aus;
  }
  py::array_t<int32_t> aus(static_cast<py::ssize_t>(n));
  int32_t* ziel = aus.mutable_data();
  for (std::size_t c = 0; c < n; ++c) ziel[c] = tabelle[c].*e.ganz;
  return aus;
}

void zellspalteSetzen(Sitzung& s, const std::string& feld, const std::vector<int32_t>& zellen, const py::array& werte) {
  const Zelleintrag& e = zelleintrag(feld);
  auto& tabelle = s.sim().netz.Zelltabelle;
  s.vorAenderung();
  if (e.real != nullptr) {
    const auto w = werteLesen<double>(werte, zellen.size());
    for (std::size_t i = 0; i < zellen.size(); ++i) tabelle[static_cast<std::size_t>(zellen[i])].*e.real = w[i];
  } else {
    const auto w = werteLesen<int32_t>(werte, zellen.size());
    for (std::size_t i = 0; i < zellen.size(); ++i) tabelle[static_cast<std::size_t>(zellen[i])].*e.ganz = w[i];
  }
  s.nachAenderung();
}

std::vector<std::string> zellnamen(const Sitzung& s) {
  std::vector<std::string> aus;
  const auto& netz = s.sim().netz;
  aus.reserve(static_cast<std::size_t>(netz.zellenzahl));
  for (int32_t c = 0; c < netz.zellenzahl; ++c) aus.push_back(netz.Zelltabelle[static_cast<std::size_t>(c)].name);
  return aus;
}

std::pair<std::size_t, std::size_t> verbindungsbereich(const Sitzung& s, int32_t c) {
  return {s.sim().netz.verbindungsanfang(c), s.sim().netz.verbindungsende(c)};
}

py::array verbindungsspalte(Sitzung& s, const std::string& feld) {
  const Netz& netz = s.sim().netz;
  const Verbindungen& v = netz.verbindungen;
  const std::size_t n = v.size();
  if (feld == "source") {
    py::array_t<int32_t> aus(static_cast<py::ssize_t>(n));
    int32_t* ziel = aus.mutable_data();
    for (int32_t c = 0; c < netz.zellenzahl; ++c) {
      for (std::size_t k = netz.verbindungsanfang(c); k < netz.verbindungsende(c); ++k) ziel[k] = c;
    }
    return aus;
  }
  if (feld == "target") return kopie(netz, v.ziel, 0);
  if (feld == "weight") return kopie(netz, v.gewicht, 0.0);
  if (feld == "delay") return kopie(netz, v.verzoegerung, 0);
  if (feld == "start_weight") return kopie(netz, v.startgewicht, 0.0);
  if (feld == "weight_factor") {
    py::array_t<double> aus(static_cast<py::ssize_t>(n));
    double* ziel = aus.mutable_data();
    for (int32_t c = 0; c < netz.zellenzahl; ++c) {
      for (std::size_t k = netz.verbindungsanfang(c); k < netz.verbindungsende(c); ++k)
        ziel[k] = v.gewichtsfaktor.wert(netz.platz(c, k));
    }
    return aus;
  }
  if (feld == "max_weight") return kopie(netz, v.maximalgewicht, 0.0);
  if (feld == "learning_step") return kopie(netz, v.lernschritt, 0.0);
  if (feld == "time_window") return kopie(netz, v.zeitfenster, nichtGegeben);
  if (feld == "in_transit") {
    // By schedule the counters are not kept: written back for the reader.
    s.vorAenderung();
    // The counters stand in list order already.
    py::array_t<int32_t> aus(static_cast<py::ssize_t>(n));
    std::copy(v.laufzaehler.begin(), v.laufzaehler.end(), aus.mutable_data());
    return aus;
  }
  if (feld == "last_arrival") return kopie(netz, v.letzteankunft, -1);
  if (feld == "in_window") {
    py::array_t<bool> aus(static_cast<py::ssize_t>(n));
    bool* ziel = aus.mutable_data();
    const auto imfenster = kopie<uint8_t>(netz, v.imfenster, 0);
    for (std::size_t k = 0; k < n; ++k) ziel[k] = imfenster.data()[k] != 0;
    return aus;
  }
  throw std::invalid_argument("no connection field '" + feld + "'");
}

void verbindungsspalteSetzen(Sitzung& s, const std::string& feld, const std::vector<int64_t>& nummern,
                             const py::array& werte) {
  Netz& netz = s.sim().netz;
  Verbindungen& v = netz.verbindungen;
  std::vector<double>* real = nullptr;
  std::vector<int32_t>* ganz = nullptr;
  if (feld == "weight") real = &v.gewicht;
  if (feld == "start_weight") real = &v.startgewicht;
  const bool faktor = feld == "weight_factor";
  if (feld == "max_weight") real = &v.maximalgewicht;
  if (feld == "learning_step") real = &v.lernschritt;
  if (feld == "delay") ganz = &v.verzoegerung;
  if (feld == "time_window") ganz = &v.zeitfensterSpalte();
  if (real == nullptr && ganz == nullptr && !faktor) {
    throw std::invalid_argument("connection field '" + feld + "' cannot be set (settable: weight, start_weight, " +
                                "weight_factor, max_weight, learning_step, delay, time_window)");
  }
  s.vorAenderung();
  if (faktor) {
    // A 257th distinct value widens the column; a wide one that is left with
    // few values becomes narrow again.
    const auto w = werteLesen<double>(werte, nummern.size());
    for (std::size_t i = 0; i < nummern.size(); ++i)
      v.gewichtsfaktor.setzen(netz.platz(static_cast<std::size_t>(nummern[i])), w[i]);
    v.gewichtsfaktor.verdichten();
  } else if (real != nullptr) {
    const auto w = werteLesen<double>(werte, nummern.size());
    for (std::size_t i = 0; i < nummern.size(); ++i) (*real)[netz.platz(static_cast<std::size_t>(nummern[i]))] = w[i];
  } else {
    const auto w = werteLesen<int32_t>(werte, nummern.size());
    for (std::size_t i = 0; i < nummern.size(); ++i) (*ganz)[netz.platz(static_cast<std::size_t>(nummern[i]))] = w[i];
  }
  // Only the weights are part of a checkpoint: a change of what a run never
  // changes starts the history afresh.
  s.nachAenderung(feld != "weight");
}

}  // namespace velkor
