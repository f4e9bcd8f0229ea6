#pragma once
// Name lookup of the cells: a flat hash table. Names of up to 6 bytes (all
// names the loader stores) are packed into one 64-bit key, so a lookup costs
// one probe into one array; longer names, which only code outside the loader
// can set, go to a plain map beside it.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velkor {

class Namensindex {
 public:
  void leeren();
  // Prepares the table for `anzahl` names; drops all entries.
  void vorbereiten(std::size_t anzahl);
  // Enters `name` with the cell number `nummer` unless the name is already
  // there: the first cell of a name wins.
  void eintragen(std::string_view name, int32_t nummer);
  // The cell number entered for `name`, or -1.
  int32_t finden(std::string_view name) const;
  // Asks the memory for the place of `name` ahead of a later `finden`, so that
  // several lookups in a row overlap their waiting.
  void vormerken(std::string_view name) const;

 private:
  struct Eintrag {
    uint64_t schluessel = 0;  // 0: free
    int32_t nummer = -1;
  };
  std::size_t platz(uint64_t schluessel) const;

  std::vector<Eintrag> tabelle;
  std::size_t maske = 0;
  std::size_t belegt = 0;
  std::unordered_map<std::string, int32_t> lange;
};

}  // namespace velkor
