#include "net/gewichtsfaktoren.h"

#include <algorithm>
#include <bit>

#include "net/modell.h"

namespace velkor {

namespace {

uint64_t bitsVon(double x) { return std::bit_cast<uint64_t>(x); }

std::size_t streuplatz(uint64_t bits) {
  constexpr int stellen = std::bit_width(2 * Gewichtsfaktoren::tabellengroesse - 1);
  return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> (64 - stellen));
}

}  // namespace

int Gewichtsfaktoren::suchen(uint64_t bits) const {
  for (std::size_t p = streuplatz(bits);; p = (p + 1) % streu_.size()) {
    const int eintrag = streu_[p];
    if (eintrag == 0) return -1;
    if (bitsVon(tabelle_[static_cast<std::size_t>(eintrag - 1)]) == bits) return eintrag - 1;
  }
}

int Gewichtsfaktoren::nummerVon(double x) {
  const uint64_t bits = bitsVon(x);
  if (letzteNummer_ >= 0 && bits == letzteBits_) return letzteNummer_;
  int nummer = suchen(bits);
  if (nummer < 0) {
    if (tabelle_.size() == tabellengroesse) return -1;
    nummer = static_cast<int>(tabelle_.size());
    tabelle_.push_back(x);
    // The table holds at most half as many values as there are slots, so a
    // free slot is always found.
    std::size_t p = streuplatz(bits);
    while (streu_[p] != 0) p = (p + 1) % streu_.size();
    streu_[p] = static_cast<int16_t>(nummer + 1);
  }
  letzteBits_ = bits;
  letzteNummer_ = nummer;
  return nummer;
}

void Gewichtsfaktoren::streuwerteAufbauen() {
  const std::vector<double> werte = std::move(tabelle_);
  tabelle_.clear();
  streu_.fill(0);
  letzteNummer_ = -1;
  for (double x : werte) nummerVon(x);
}

void Gewichtsfaktoren::setzen(std::size_t k, double x) {
  if (kurz_) {
    const int nummer = nummerVon(x);
    if (nummer >= 0) {
      nummern_[k] = static_cast<uint8_t>(nummer);
      return;
    }
    verbreitern();
  }
  voll_[k] = x;
}

void Gewichtsfaktoren::anhaengen(double x) {
  if (kurz_) {
    const int nummer = nummerVon(x);
    if (nummer >= 0) {
      nummern_.push_back(static_cast<uint8_t>(nummer));
      return;
    }
    verbreitern();
  }
  voll_.push_back(x);
}

void Gewichtsfaktoren::verbreitern() {
  voll_.clear();
  voll_.reserve(std::max(reserviert_, nummern_.size()));
  grosseSeitenErbitten(voll_.data(), voll_.capacity() * sizeof(double));
  for (uint8_t nummer : nummern_) voll_.push_back(tabelle_[nummer]);
  std::vector<uint8_t>().swap(nummern_);
  tabelle_.clear();
  streu_.fill(0);
  letzteNummer_ = -1;
  kurz_ = false;
}

void Gewichtsfaktoren::verdichten() {
  if (kurz_) return;
  // A first pass only counts, so that a wide column of many values costs no
  // second column.
  for (double x : voll_) {
    if (nummerVon(x) < 0) {
      tabelle_.clear();
      streu_.fill(0);
      letzteNummer_ = -1;
      return;
    }
  }
  nummern_.clear();
  nummern_.reserve(std::max(reserviert_, voll_.size()));
  grosseSeitenErbitten(nummern_.data(), nummern_.capacity());
  for (double x : voll_) nummern_.push_back(static_cast<uint8_t>(nummerVon(x)));
  std::vector<double>().swap(voll_);
  kurz_ = true;
}

void Gewichtsfaktoren::ersetzen(double alt, double neu) {
  if (!kurz_) {
    const uint64_t bits = bitsVon(alt);
    for (double& x : voll_) {
      if (bitsVon(x) == bits) x = neu;
    }
    verdichten();
    return;
  }
  const int i = suchen(bitsVon(alt));
  if (i < 0 || bitsVon(alt) == bitsVon(neu)) return;
  const int j = suchen(bitsVon(neu));
  if (j < 0) {
    tabelle_[static_cast<std::size_t>(i)] = neu;
    streuwerteAufbauen();
    return;
  }
  // Both values are in the table: the numbers of `alt` go to `neu`, and the
  // last entry moves into the freed place.
  std::array<uint8_t, tabellengroesse> umnummer{};
  for (std::size_t n = 0; n < umnummer.size(); ++n) umnummer[n] = static_cast<uint8_t>(n);
  const std::size_t letzte = tabelle_.size() - 1;
  umnummer[static_cast<std::size_t>(i)] = static_cast<uint8_t>(j);
  for (auto& n : umnummer) {
    if (n == letzte) n = static_cast<uint8_t>(i);
  }
  tabelle_[static_cast<std::size_t>(i)] = tabelle_[letzte];
  tabelle_.pop_back();
  for (uint8_t& n : nummern_) n = umnummer[n];
  streuwerteAufbauen();
}

void Gewichtsfaktoren::clear() {
  nummern_.clear();
  std::vector<double>().swap(voll_);
  tabelle_.clear();
  streu_.fill(0);
  letzteNummer_ = -1;
  kurz_ = true;
}

void Gewichtsfaktoren::reserve(std::size_t n) {
  reserviert_ = n;
  if (kurz_) {
    nummern_.reserve(n);
  } else {
    voll_.reserve(n);
  }
  grosseSeiten();
}

void Gewichtsfaktoren::umkehren(std::size_t von, std::size_t bis) {
  const auto a = static_cast<std::ptrdiff_t>(von);
  const auto b = static_cast<std::ptrdiff_t>(bis);
  if (kurz_) {
    std::reverse(nummern_.begin() + a, nummern_.begin() + b);
  } else {
    std::reverse(voll_.begin() + a, voll_.begin() + b);
  }
}

void Gewichtsfaktoren::grosseSeiten() {
  if (kurz_) {
    grosseSeitenErbitten(nummern_.data(), nummern_.capacity());
  } else {
    grosseSeitenErbitten(voll_.data(), voll_.capacity() * sizeof(double));
  }
}

}  // namespace velkor
