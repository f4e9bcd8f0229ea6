// The token operations with which every line of the net file, the input file
// and the command line is read.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "net/tokens.h"

namespace velkor {
namespace {

struct Ganz {
  const char* zeile;
  int32_t wert;
  bool fehler;
  const char* rest;
};

TEST(Tokens, WortNimmtTextBisZumBlank) {
  std::string_view zeile = "  ab  cd";
  EXPECT_EQ(naechstesWort(zeile), "ab");
  EXPECT_EQ(zeile, " cd");
  EXPECT_EQ(naechstesWort(zeile), "cd");
  EXPECT_EQ(zeile, "");

  zeile = "ab";
  EXPECT_EQ(naechstesWort(zeile), "ab");
  EXPECT_EQ(zeile, "");

  zeile = "   ";
  EXPECT_EQ(naechstesWort(zeile), "");
  EXPECT_EQ(zeile, "");

  // only the space separates words
  zeile = "a\tb c";
  EXPECT_EQ(naechstesWort(zeile), "a\tb");
  EXPECT_EQ(zeile, "c");
}

TEST(Tokens, NurWortKuerztDenRestAuf99Zeichen) {
  const std::string lang(150, 'q');
  std::string text = "k " + lang;
  std::string_view zeile = text;
  EXPECT_EQ(naechstesWort(zeile), "k");
  EXPECT_EQ(zeile, lang.substr(0, 99));

  text = "12 " + lang;
  zeile = text;
  bool fehler = true;
  EXPECT_EQ(naechsteGanzzahl(zeile, fehler), 12);
  EXPECT_EQ(zeile.size(), lang.size() + 1);  // the blank stays, nothing is cut

  text = "1.5 " + lang;
  zeile = text;
  EXPECT_EQ(naechsteReal(zeile, fehler), 1.5);
  EXPECT_EQ(zeile.size(), lang.size() + 1);
}

TEST(Tokens, GanzzahlWerteFehlerUndRest) {
  const Ganz faelle[] = {
      {"12 x", 12, false, " x"},
      {"", -1, false, ""},
      {"    ", -1, false, ""},
      {"  -1", -1, false, ""},
      {"$1F", 31, false, ""},
      {"2.5", 2, true, ""},
      {"-7a", 7, true, ""},
      {"a", 0, true, ""},
      {"+5 6", 5, false, " 6"},
      {"-0", 0, false, ""},
      {"x1f", 31, false, ""},
      {"X1F", 31, false, ""},
      {"0x1f", 31, false, ""},
      {"0XfF", 255, false, ""},
      {"$7FFFFFFF", 2147483647, false, ""},
      {"$1G", 1, true, ""},
      {"$", 0, true, ""},
      {"0x", 0, true, ""},
      {"-", 0, true, ""},
      {"+-3", 0, true, ""},
      {"-$1F", 0, true, ""},  // a hexadecimal word has no sign
      {"00x1", 0, true, ""},
      {"2147483647", 2147483647, false, ""},
      {"-2147483648", -2147483647 - 1, false, ""},
      // leaving the 32-bit range fails at the digit that does not fit
      {"2147483648", 214748364, true, ""},
      {"-2147483649", 214748364, true, ""},
      {"-2147483648a", 214748364, true, ""},
      {"99999999999999999999999", 999999999, true, ""},
      {"$FFFFFFFF", 0xFFFFFFF, true, ""},
      {"$123456789ABCDEF", 0x12345678, true, ""},
  };
  for (const Ganz& fall : faelle) {
    std::string_view zeile = fall.zeile;
    bool fehler = !fall.fehler;  // the flag is cleared or set by every call
    EXPECT_EQ(naechsteGanzzahl(zeile, fehler), fall.wert) << fall.zeile;
    EXPECT_EQ(fehler, fall.fehler) << fall.zeile;
    EXPECT_EQ(zeile, fall.rest) << fall.zeile;
  }
}

TEST(Tokens, RealSyntaxUndWertNachFehler) {
  struct Real {
    const char* zeile;
    double wert;
    bool fehler;
  };
  const Real faelle[] = {
      {"-0.5e1", -5.0, false},
      {"", -1.0, false},
      {"1", 1.0, false},
      {"+2.25", 2.25, false},
      {".5", 0.5, false},
      {"5.", 5.0, false},
      {"1E2", 100.0, false},
      {"1e-2", 0.01, false},
      {"0.9", 0.9, false},
      {"-1", -1.0, false},
      // a failed conversion gives the well-formed front part, with its sign
      {"1.5x", 1.5, true},
      {"-2,5", -2.0, true},
      {"1e", 1.0, true},
      {"1.2.3", 1.2, true},
      {"abc", 0.0, true},
      {"-", 0.0, true},
      {".", 0.0, true},
      {"inf", 0.0, true},
      {"nan", 0.0, true},
      {"0x10", 0.0, true},
      {"1e999", 0.0, true},
  };
  for (const Real& fall : faelle) {
    std::string_view zeile = fall.zeile;
    bool fehler = !fall.fehler;
    EXPECT_EQ(naechsteReal(zeile, fehler), fall.wert) << fall.zeile;
    EXPECT_EQ(fehler, fall.fehler) << fall.zeile;
    EXPECT_EQ(zeile, "") << fall.zeile;
  }
  std::string_view zeile = "  0.75  y";
  bool fehler = true;
  EXPECT_EQ(naechsteReal(zeile, fehler), 0.75);
  EXPECT_FALSE(fehler);
  EXPECT_EQ(zeile, "  y");
}

TEST(Tokens, WoerterEinerZeileNacheinander) {
  std::string_view zeile = "c  ZIEL -0.5 3 rest";
  bool fehler = false;
  EXPECT_EQ(naechstesWort(zeile), "c");
  EXPECT_EQ(naechstesWort(zeile), "ZIEL");
  EXPECT_EQ(naechsteReal(zeile, fehler), -0.5);
  EXPECT_EQ(naechsteGanzzahl(zeile, fehler), 3);
  EXPECT_EQ(naechsteGanzzahl(zeile, fehler), 0);
  EXPECT_TRUE(fehler);
  EXPECT_EQ(naechsteGanzzahl(zeile, fehler), -1);  // the line has ended
  EXPECT_FALSE(fehler);
}

}  // namespace
}  // namespace velkor
