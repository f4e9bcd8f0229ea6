#pragma once
// The in-memory net: the cell table and the outgoing connections of every cell.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/gewichtsfaktoren.h"
#include "net/namensindex.h"

namespace velkor {

// -1 (or -1.0) marks a parameter that the net file did not give.
inline constexpr int32_t nichtGegeben = -1;
inline constexpr double nichtGegebenReal = -1.0;
// Cell names hold at most this many bytes.
inline constexpr std::size_t namenslaenge = 6;

// The fields that a time step reads and writes come first and fill the first
// 64 bytes (one cache line, the table is aligned to it); name, position and
// display bookkeeping follow.
struct alignas(64) TZelle {
  // run state
  int32_t refraktaerrest = 0;
  // from the net file
  int32_t refraktaerzeit = -1;
  // run state
  double potenzial = 0.0;
  // from the net file
  double schwelle = -1.0;
  double abklingfaktor = -1.0;
  // learned
  double lernfaktor = -1.0;
  double lernfaktorstart = -1.0;
  double erholfaktor = -1.0;
  double aenderungsrate = -1.0;
  // from the net file
  std::string name;  // at most 6 bytes
  int32_t zeile = -1;
  int32_t spalte = -1;
  // Set by the loader when the file gave the row (column) and only the picture
  // shift made it -1: the position is still one the file gave, and the state
  // file writes it back (see zustand.cpp).
  bool zeileVerschobenAufMinusEins = false;
  bool spalteVerschobenAufMinusEins = false;
  // display bookkeeping
  int32_t pegel = 0;
};

// All connections of the net, one column per field. The connections of cell c
// stand at the indices [Netz::verbindungsstart[c], Netz::verbindungsstart[c+1])
// in list order: the newest connection line of the cell first.
struct Verbindungen {
  // from the net file
  std::vector<int32_t> ziel;
  std::vector<double> gewicht;  // learned too
  std::vector<int32_t> verzoegerung;
  std::vector<double> startgewicht;
  Gewichtsfaktoren gewichtsfaktor;  // one byte per connection while few distinct
  std::vector<double> maximalgewicht;
  std::vector<double> lernschritt;
  // Empty while no connection has a window (every value -1, not given): most
  // nets have none, and the column would cost 4 bytes per connection.
  std::vector<int32_t> zeitfenster;
  int32_t zeitfensterVon(std::size_t k) const { return zeitfenster.empty() ? nichtGegeben : zeitfenster[k]; }
  // The windows at their full size, for writing.
  std::vector<int32_t>& zeitfensterSpalte() {
    if (zeitfenster.size() != ziel.size()) {
      zeitfenster.reserve(std::max(reserviert_, ziel.size()));
      zeitfenster.assign(ziel.size(), nichtGegeben);
    }
    return zeitfenster;
  }
  // run state
  // The counters stand in list order, not by place (see Netz::platz): the
  // countdown walks them so, one random draw after the other.
  // Empty after a load (no spike in transit anywhere): the engine fills it when
  // it counts down and keeps it empty while it runs by schedule (P >= 99);
  // laufzaehlerAbgleichen (engine/zyklus.h) fills it for a reader.
  std::vector<int32_t> laufzaehler;
  std::vector<int32_t> letzteankunft;
  std::vector<uint8_t> imfenster;
  // display bookkeeping, 0..12: empty (every level 0) until the cell view
  // first draws, so that a large net that is never drawn cell by cell does
  // not pay a byte per connection for it.
  std::vector<int8_t> gewichtspegel;
  // The levels at their full size.
  std::vector<int8_t>& gewichtspegelSpalte() {
    if (gewichtspegel.size() != ziel.size()) gewichtspegel.assign(ziel.size(), 0);
    return gewichtspegel;
  }

  std::size_t size() const { return ziel.size(); }
  void clear();
  void reserve(std::size_t n);
  // Appends a connection with every field at its start value.
  std::size_t anhaengen(int32_t ziel, double gewicht, int32_t verzoegerung);
  // Reverses the order of the connections in [von, bis).
  void umkehren(std::size_t von, std::size_t bis);
  // Rearranges the n connections from `anfang` on: the one at anfang + p
  // comes from anfang + alt[p]. Every column moves alike, except the
  // counters, which keep the list order.
  void umordnen(std::size_t anfang, const uint32_t* alt, std::size_t n);

 private:
  std::size_t reserviert_ = 0;         // the size given to reserve
  std::vector<unsigned char> puffer_;  // scratch of umordnen
};

// Memory that is read at random places (the cell table, the columns of the
// arrivals) gets large pages where the system offers them on request: one page
// table entry then covers 2 MB instead of 4 KB. Only a hint, given before the
// memory is first written; the contents are not touched.
void grosseSeitenErbitten(const void* daten, std::size_t bytes);

// Which place in the columns holds a cell's connection at a given list
// position. The connections of a cell stand in its range of the columns by
// delay (see engine/reihenfolge.h), so that the spikes of one delay that
// arrive together are read side by side; the list order (newest first)
// stays the order of the walk, of the state file and of every reader. Per
// list index, the offset of the place in the cell's range: one byte each
// where no list is longer than 256 connections (kurz), four otherwise
// (lang). Both empty: places and list indices are the same.
struct Listenfolge {
  std::vector<uint8_t> kurz;
  std::vector<uint32_t> lang;
  bool gleich() const { return kurz.empty() && lang.empty(); }
  void leeren() {
    std::vector<uint8_t>().swap(kurz);
    std::vector<uint32_t>().swap(lang);
  }
};

// The three forms of the map, as functions of (first place of the cell,
// list index), for loops that are compiled once per form.
struct FolgeGleich {
  std::size_t operator()(std::size_t, std::size_t k) const { return k; }
};
struct FolgeKurz {
  const uint8_t* versatz;
  std::size_t operator()(std::size_t anfang, std::size_t k) const { return anfang + versatz[k]; }
};
struct FolgeLang {
  const uint32_t* versatz;
  std::size_t operator()(std::size_t anfang, std::size_t k) const { return anfang + versatz[k]; }
};

struct Netz {
  std::vector<TZelle> Zelltabelle;
  int32_t zellenzahl = 0;
  int32_t ersteZelle = 0;
  std::vector<std::size_t> verbindungsstart{0};  // zellenzahl + 1 entries
  Verbindungen verbindungen;
  bool nummernformat = false;
  // A net shared by several processes holds the connections of the cells
  // [eigeneVon, eigeneBis) only; the other cells' lists are empty here. By
  // default (eigeneBis -1) it holds them all.
  int32_t eigeneVon = 0;
  int32_t eigeneBis = -1;

  Listenfolge listenfolge;

  // The list indices of cell c are [verbindungsanfang(c), verbindungsende(c)),
  // and so is its range of places; `platz` maps one to the other. Every
  // reader of a column that cares for the list order goes through it.
  std::size_t verbindungsanfang(int32_t zelle) const { return verbindungsstart[static_cast<std::size_t>(zelle)]; }
  std::size_t verbindungsende(int32_t zelle) const { return verbindungsstart[static_cast<std::size_t>(zelle) + 1]; }
  // The place of the connection at list index k of cell c.
  std::size_t platz(int32_t c, std::size_t k) const {
    if (!listenfolge.kurz.empty()) return verbindungsanfang(c) + listenfolge.kurz[k];
    if (!listenfolge.lang.empty()) return verbindungsanfang(c) + listenfolge.lang[k];
    return k;
  }
  // The same for a list index of any cell (a search for the cell).
  std::size_t platz(std::size_t k) const;
  // Calls f with the map in the form this net has (FolgeGleich, FolgeKurz or
  // FolgeLang), so that a loop over many lists is compiled for each.
  template <class F>
  decltype(auto) mitFolge(F&& f) const {
    if (!listenfolge.kurz.empty()) return f(FolgeKurz{listenfolge.kurz.data()});
    if (!listenfolge.lang.empty()) return f(FolgeLang{listenfolge.lang.data()});
    return f(FolgeGleich{});
  }

  // First cell in index order whose name equals `name` byte for byte;
  // zellenzahl when there is none.
  int32_t suche(std::string_view name) const;
  // A hint before a later `suche` of the same name (lets lookups overlap).
  void sucheVormerken(std::string_view name) const { namensindex.vormerken(name); }
  // Rebuilds the name index after the names have changed.
  void namensindexAufbauen();
  void leeren();

 private:
  Namensindex namensindex;
};

}  // namespace velkor
