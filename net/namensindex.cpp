#include "net/namensindex.h"

#include <bit>
#include <cstring>

namespace velkor {

namespace {

constexpr std::size_t packbar = 6;

// The bytes of the name and its length + 1 in the top byte, so that no key is
// 0 (the empty name included) and names of different length never collide.
uint64_t packen(std::string_view name) {
  uint64_t schluessel = 0;
  // an empty word may have no data at all, which memcpy must not be given
  if (!name.empty()) std::memcpy(&schluessel, name.data(), name.size());
  return schluessel | (uint64_t{name.size() + 1} << 56);
}

uint64_t mischen(uint64_t x) {
  x ^= x >> 30;
  x *= 0xbf58476d1ce4e5b9ULL;
  x ^= x >> 27;
  x *= 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

}  // namespace

void Namensindex::leeren() {
  tabelle.clear();
  maske = 0;
  belegt = 0;
  lange.clear();
}

void Namensindex::vorbereiten(std::size_t anzahl) {
  leeren();
  // at most half full, so probe runs stay short
  std::size_t groesse = std::bit_ceil(2 * anzahl + 2);
  tabelle.assign(groesse, Eintrag{});
  maske = groesse - 1;
}

std::size_t Namensindex::platz(uint64_t schluessel) const {
  std::size_t i = static_cast<std::size_t>(mischen(schluessel)) & maske;
  while (tabelle[i].schluessel != 0 && tabelle[i].schluessel != schluessel) i = (i + 1) & maske;
  return i;
}

void Namensindex::eintragen(std::string_view name, int32_t nummer) {
  if (name.size() > packbar) {
    lange.emplace(std::string(name), nummer);
    return;
  }
  if (2 * (belegt + 1) > tabelle.size()) {
    // grow: enter everything again
    std::vector<Eintrag> alt = std::move(tabelle);
    std::size_t groesse = std::bit_ceil(4 * (belegt + 1));
    tabelle.assign(groesse, Eintrag{});
    maske = groesse - 1;
    for (const Eintrag& e : alt)
      if (e.schluessel != 0) tabelle[platz(e.schluessel)] = e;
  }
  uint64_t schluessel = packen(name);
  Eintrag& e = tabelle[platz(schluessel)];
  if (e.schluessel != 0) return;
  e = Eintrag{schluessel, nummer};
  ++belegt;
}

void Namensindex::vormerken(std::string_view name) const {
  if (name.size() > packbar || tabelle.empty()) return;
  __builtin_prefetch(&tabelle[static_cast<std::size_t>(mischen(packen(name))) & maske]);
}

int32_t Namensindex::finden(std::string_view name) const {
  if (name.size() > packbar) {
    if (lange.empty()) return -1;
    auto it = lange.find(std::string(name));
    return it == lange.end() ? -1 : it->second;
  }
  if (tabelle.empty()) return -1;
  const Eintrag& e = tabelle[platz(packen(name))];
  return e.schluessel != 0 ? e.nummer : -1;
}

}  // namespace velkor
