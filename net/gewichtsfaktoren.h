#pragma once
// The per-step weight factor of every connection, in one of two forms.
//
// Real nets use few distinct factors. While a net has at most 256 distinct
// values (bit patterns: -0.0 and 0.0, or two NaN payloads, count as two), each
// connection keeps one byte, the number of its value in a small table; a
// per-step walk then reads 1 byte per connection instead of 8. A 257th value
// widens the column to one double per connection. Either way `wert(k)` is the
// very double that was set, so a product with it stays the same bit for bit.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkor {

class Gewichtsfaktoren {
 public:
  static constexpr std::size_t tabellengroesse = 256;

  std::size_t size() const { return kurz_ ? nummern_.size() : voll_.size(); }
  bool kurz() const { return kurz_; }
  double wert(std::size_t k) const { return kurz_ ? tabelle_[nummern_[k]] : voll_[k]; }
  // Sets the factor of connection k; widens the column when x is the 257th value.
  void setzen(std::size_t k, double x);
  void anhaengen(double x);

  // The narrow form: a number per connection into the table.
  const uint8_t* nummern() const { return nummern_.data(); }
  const double* tabelle() const { return tabelle_.data(); }
  std::size_t tabellenlaenge() const { return tabelle_.size(); }
  // The full form: one double per connection.
  const double* voll() const { return voll_.data(); }

  // Calls f with the column of the form in use, to move connections about.
  template <class F>
  void spalteBearbeiten(F&& f) {
    if (kurz_) {
      f(nummern_);
    } else {
      f(voll_);
    }
  }

  void clear();
  void reserve(std::size_t n);
  // Reverses the order of the connections in [von, bis).
  void umkehren(std::size_t von, std::size_t bis);
  // Every factor with the bits of `alt` becomes `neu`; afterwards the column
  // is narrow again if its values allow it.
  void ersetzen(double alt, double neu);
  // Goes back to the narrow form where at most 256 distinct values are left.
  void verdichten();

 private:
  // The number of x in the table, or -1.
  int suchen(uint64_t bits) const;
  // The number of x, entered into the table if new; -1 when the table is full.
  int nummerVon(double x);
  void verbreitern();
  void streuwerteAufbauen();
  void grosseSeiten();

  bool kurz_ = true;
  std::vector<uint8_t> nummern_;
  std::vector<double> tabelle_;
  std::vector<double> voll_;
  // Open addressing over the bit patterns of the table: slot -> number + 1.
  std::array<int16_t, 2 * tabellengroesse> streu_{};
  // The last value looked up: loaders set runs of equal factors.
  uint64_t letzteBits_ = 0;
  int letzteNummer_ = -1;
  std::size_t reserviert_ = 0;
};

}  // namespace velkor
