// The dialog number conversion on arbitrary texts, checked against the token
// operation that reads whole numbers the same way: for a text that does not
// begin with a blank, both read the same word with the same syntax.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/dialogs/umrechnen.h"
#include "fuzz/hilfen.h"
#include "net/tokens.h"

using namespace velkor;
using velkor::fuzz::pruefen;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t groesse) {
  const std::string text(reinterpret_cast<const char*>(daten), groesse);
  const Umrechnungsregel ziffern{7, std::nullopt};
  const Umrechnungsregel hundert{0, 100};
  const int32_t a = umrechnen(text, ziffern);
  const int32_t b = umrechnen(text, hundert);
  if (text.empty()) {
    pruefen(a == 7 && b == 0, "empty field gives the empty-field value");
    return 0;
  }
  if (text[0] == ' ') {
    pruefen(a == 0 && b == 100, "a text beginning with a blank does not convert");
    return 0;
  }
  std::string_view zeile = text;
  bool fehler = false;
  const int32_t erwartet = naechsteGanzzahl(zeile, fehler);
  pruefen(a == erwartet, "dialog value equals the token value");
  pruefen(b == (fehler ? 100 : erwartet), "TForm8 takes 100 on a failed conversion");
  return 0;
}
