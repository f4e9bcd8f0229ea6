// The command line: title, files, defaults and the mode letters.

#include "lauf/kommandozeile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velkor {
namespace {

struct Lesung {
  Laufparameter param;
  Laufzustand lauf;
  Ansichtsflags ansicht;
  Zufall zufall;
  Kommandozeilenergebnis ergebnis;

  Kommandozeilenergebnis lesen(const std::vector<std::string>& parameter,
                               std::optional<uint64_t> seed = uint64_t{4711}) {
    ergebnis = kommandozeileLesen(parameter, param, lauf, ansicht, zufall, seed);
    return ergebnis;
  }
};

uint64_t zustandNachSeed(uint64_t seed) {
  Zufall z;
  z.seed(seed);
  return z.zustand();
}

TEST(Kommandozeile, ErstesBeispielMitGrossemPUndOszilloskop) {
  Lesung l;
  l.lesen({"Lernen A", "n.net", "d.ein", "P", "98", "d", "20", "c", "Z", "10", "G"});
  EXPECT_EQ(l.param.titel, "Lernen A");
  EXPECT_EQ(l.param.netzdateiname, "n.net");
  EXPECT_EQ(l.param.eingabedateiname, "d.ein");
  EXPECT_EQ(l.param.pWert, 98);
  EXPECT_TRUE(l.lauf.pZufall);
  ASSERT_TRUE(l.ergebnis.benutzterSeed.has_value());
  EXPECT_EQ(*l.ergebnis.benutzterSeed, 4711u);
  EXPECT_EQ(l.zufall.zustand(), zustandNachSeed(4711));
  EXPECT_EQ(l.param.displayStart, 20);
  EXPECT_TRUE(l.param.farbBild);
  EXPECT_EQ(l.param.zeitlupe, 10);
  EXPECT_TRUE(l.ansicht.ansichtOsziMitEpsps);
  EXPECT_TRUE(l.ergebnis.ansichtSperren);
  EXPECT_EQ(l.param.zeitraffer, 0);
}

TEST(Kommandozeile, ZweitesBeispielMitKleinemPUndZellansicht) {
  Lesung l;
  const uint64_t vorher = l.zufall.zustand();
  l.lesen({"Lernen_B", "netz.net", "daten.ein", "p", "97", "c", "V", "x", "10", "y", "5"});
  EXPECT_EQ(l.param.titel, "Lernen_B");
  EXPECT_EQ(l.param.pWert, 97);
  EXPECT_FALSE(l.lauf.pZufall);
  EXPECT_FALSE(l.ergebnis.benutzterSeed.has_value());
  EXPECT_EQ(l.zufall.zustand(), vorher) << "p never seeds the generator";
  EXPECT_TRUE(l.param.farbBild);
  EXPECT_TRUE(l.ansicht.ansichtZellVariabel);
  EXPECT_TRUE(l.ergebnis.ansichtSperren);
  EXPECT_EQ(l.param.xVerschiebung, 10);
  EXPECT_EQ(l.param.yVerschiebung, 5);
  EXPECT_EQ(l.param.displayStart, 1);
  EXPECT_EQ(l.param.vergroesserung, 1);
}

TEST(Kommandozeile, OhneModusparameterGeltenDieStandardwerte) {
  Lesung l;
  // Values from an earlier reading or from the menus.
  l.param.pWert = 7;
  l.param.zeitlupe = 3;
  l.param.zeitraffer = 4;
  l.param.displayStart = 9;
  l.param.xVerschiebung = 2;
  l.param.yVerschiebung = 6;
  l.param.vergroesserung = 5;
  l.param.farbBild = true;
  l.lauf.logAktiv = true;
  l.lauf.pZufall = true;
  l.ansicht.ansichtZellVariabel = true;
  l.ansicht.ansichtKomprimiert = true;
  l.ansicht.ansichtOsziMitEpsps = true;
  l.ansicht.ansichtFeuernd = true;
  l.lesen({"T", "a.net", "b.ein"});
  EXPECT_EQ(l.param.pWert, 100);
  EXPECT_EQ(l.param.zeitlupe, 0);
  EXPECT_EQ(l.param.zeitraffer, 0);
  EXPECT_EQ(l.param.displayStart, 1);
  EXPECT_EQ(l.param.vergroesserung, 1);
  EXPECT_FALSE(l.param.farbBild) << "without c the export is bild.pcl";
  EXPECT_FALSE(l.lauf.logAktiv);
  EXPECT_FALSE(l.ansicht.ansichtZellVariabel);
  EXPECT_FALSE(l.ansicht.ansichtKomprimiert);
  EXPECT_FALSE(l.ansicht.ansichtOsziMitEpsps);
  EXPECT_FALSE(l.ergebnis.ansichtSperren);
  // Not reset by the reader.
  EXPECT_TRUE(l.ansicht.ansichtFeuernd);
  EXPECT_TRUE(l.lauf.pZufall);
  EXPECT_EQ(l.param.xVerschiebung, 2);
  EXPECT_EQ(l.param.yVerschiebung, 6);
  EXPECT_EQ(l.param.titel, "T");
  EXPECT_EQ(l.param.netzdateiname, "a.net");
  EXPECT_EQ(l.param.eingabedateiname, "b.ein");
}

TEST(Kommandozeile, FrischeLesungOhneAnsichtsbuchstabenGibtDieNumerischeAnsicht) {
  Lesung l;
  l.lesen({"T", "a.net", "b.ein"});
  EXPECT_TRUE(l.ansicht.numerisch());
}

TEST(Kommandozeile, ZeitrafferNurMitOszilloskop) {
  Lesung ohne;
  ohne.lesen({"T", "a", "b", "R", "5"});
  EXPECT_EQ(ohne.param.zeitraffer, 0);
  Lesung mitG;
  mitG.lesen({"T", "a", "b", "R", "5", "g"});
  EXPECT_EQ(mitG.param.zeitraffer, 5);
  EXPECT_TRUE(mitG.ansicht.ansichtOsziOhneEpsps);
  Lesung gDavor;
  gDavor.lesen({"T", "a", "b", "G", "R", "5"});
  EXPECT_EQ(gDavor.param.zeitraffer, 5);
}

TEST(Kommandozeile, FehlenderUndFalscherWert) {
  Lesung fehlt;
  fehlt.lesen({"T", "a", "b", "d"});
  EXPECT_EQ(fehlt.param.displayStart, -1) << "a letter at the end reads -1";

  Lesung falsch;
  falsch.lesen({"T", "a", "b", "d", "x"});
  EXPECT_EQ(falsch.param.displayStart, 1) << "x does not convert: default";
  EXPECT_EQ(falsch.param.xVerschiebung, 0) << "the value x is not applied as a letter";

  // Defaults of the other letters on a bad value.
  Lesung l;
  l.lesen({"T", "a", "b", "m", "q", "Z", "2.5", "x", "?", "y", "-", "g", "R", "zz"});
  EXPECT_TRUE(l.ansicht.ansichtKomprimiert);
  EXPECT_EQ(l.param.vergroesserung, 1);
  EXPECT_EQ(l.param.zeitlupe, 0);
  EXPECT_EQ(l.param.xVerschiebung, 0);
  EXPECT_EQ(l.param.yVerschiebung, 0);
  EXPECT_EQ(l.param.zeitraffer, 0);

  Lesung p;
  p.lesen({"T", "a", "b", "p", "viel"});
  EXPECT_EQ(p.param.pWert, 100);
  Lesung pLetzter;
  pLetzter.lesen({"T", "a", "b", "P"});
  EXPECT_EQ(pLetzter.param.pWert, -1);
  EXPECT_TRUE(pLetzter.lauf.pZufall);
  EXPECT_TRUE(pLetzter.ergebnis.benutzterSeed.has_value());
}

TEST(Kommandozeile, WerteWieInDerNetzdatei) {
  Lesung l;
  l.lesen({"T", "a", "b", "Z", "$1F", "x", "-3", "y", "+4", "d", "7 9"});
  EXPECT_EQ(l.param.zeitlupe, 31);
  EXPECT_EQ(l.param.xVerschiebung, -3);
  EXPECT_EQ(l.param.yVerschiebung, 4);
  EXPECT_EQ(l.param.displayStart, 7) << "only the first word of a value counts";
}

TEST(Kommandozeile, NurDerErsteBuchstabeZaehlt) {
  Lesung l;
  l.lesen({"T", "a", "b", "Gross", "12", "klein", "vvv"});
  EXPECT_TRUE(l.ansicht.ansichtOsziMitEpsps);
  EXPECT_TRUE(l.ansicht.ansichtFeuernd);
  EXPECT_TRUE(l.ansicht.ansichtZellKonstant);
  EXPECT_FALSE(l.ansicht.ansichtZellVariabel);
  EXPECT_EQ(l.param.pWert, 100) << "a number where a letter is expected is ignored";
}

TEST(Kommandozeile, GrossUndKleinbuchstabenUnterscheiden) {
  Lesung l;
  l.lesen({"T", "a", "b", "C", "D", "3", "K", "M", "4", "r", "5", "X", "6", "Y", "7", "z", "8", ""});
  EXPECT_FALSE(l.param.farbBild);
  EXPECT_EQ(l.param.displayStart, 1);
  EXPECT_FALSE(l.ansicht.ansichtFeuernd);
  EXPECT_FALSE(l.ansicht.ansichtKomprimiert);
  EXPECT_EQ(l.param.vergroesserung, 1);
  EXPECT_EQ(l.param.zeitraffer, 0);
  EXPECT_EQ(l.param.xVerschiebung, 0);
  EXPECT_EQ(l.param.yVerschiebung, 0);
  EXPECT_EQ(l.param.zeitlupe, 0);
  EXPECT_FALSE(l.ergebnis.ansichtSperren);
}

TEST(Kommandozeile, MehrereAnsichtsbuchstabenSetzenJeIhrFlag) {
  Lesung l;
  l.lesen({"T", "a", "b", "v", "V", "k", "m", "3", "g", "G"});
  EXPECT_TRUE(l.ansicht.ansichtZellKonstant);
  EXPECT_TRUE(l.ansicht.ansichtZellVariabel);
  EXPECT_TRUE(l.ansicht.ansichtFeuernd);
  EXPECT_TRUE(l.ansicht.ansichtKomprimiert);
  EXPECT_EQ(l.param.vergroesserung, 3);
  EXPECT_TRUE(l.ansicht.ansichtOsziOhneEpsps);
  EXPECT_TRUE(l.ansicht.ansichtOsziMitEpsps);
}

TEST(Kommandozeile, KleinesUndGrossesPInBeidenReihenfolgen) {
  Lesung pDannP;
  pDannP.lesen({"T", "a", "b", "p", "97", "P", "50"}, 99);
  EXPECT_EQ(pDannP.param.pWert, 50);
  EXPECT_TRUE(pDannP.lauf.pZufall);
  EXPECT_EQ(pDannP.zufall.zustand(), zustandNachSeed(99));

  Lesung pDannp;
  pDannp.lesen({"T", "a", "b", "P", "50", "p", "97"}, 99);
  EXPECT_EQ(pDannp.param.pWert, 97);
  EXPECT_FALSE(pDannp.lauf.pZufall);
  EXPECT_EQ(pDannp.zufall.zustand(), zustandNachSeed(99)) << "the generator has been seeded all the same";
  EXPECT_EQ(pDannp.ergebnis.benutzterSeed, std::optional<uint64_t>(99));
}

TEST(Kommandozeile, GrossesPSeedetBeiJederLesung) {
  Lesung l;
  l.lesen({"T", "a", "b", "P", "50"}, 5);
  l.zufall.naechste0bis99();
  l.zufall.naechste0bis99();
  // "Neustart" reads the command line again and starts the sequence over.
  l.lesen({"T", "a", "b", "P", "50"}, 5);
  EXPECT_EQ(l.zufall.zustand(), zustandNachSeed(5));
}

TEST(Kommandozeile, OhneFestenSeedSeedetDieUhr) {
  Lesung l;
  l.lesen({"T", "a", "b", "P", "50"}, std::nullopt);
  ASSERT_TRUE(l.ergebnis.benutzterSeed.has_value());
  EXPECT_EQ(l.zufall.zustand(), zustandNachSeed(*l.ergebnis.benutzterSeed));
}

TEST(Kommandozeile, ParameterWerdenAuf250ZeichenGekuerzt) {
  Lesung l;
  const std::string lang(300, 't');
  l.lesen({lang, std::string(260, 'n'), std::string(251, 'e'), "d", "1" + std::string(260, '0')});
  EXPECT_EQ(l.param.titel, std::string(250, 't'));
  EXPECT_EQ(l.param.netzdateiname, std::string(250, 'n'));
  EXPECT_EQ(l.param.eingabedateiname, std::string(250, 'e'));
  EXPECT_EQ(l.param.displayStart, 1) << "a value out of range falls back to the default";
}

TEST(Kommandozeile, GekuerzterTitelTeiltKeinUtf8Zeichen) {
  Lesung l;
  // 249 ASCII bytes and an "ö" (two bytes) that the cut would split.
  std::string titel(249, 'a');
  titel += "\xC3\xB6";
  titel += "xyz";
  l.lesen({titel, "a", "b"});
  EXPECT_EQ(l.param.titel, std::string(249, 'a'));
  std::string passt(248, 'a');
  passt += "\xC3\xB6";
  passt += "xyz";
  l.lesen({passt, "a", "b"});
  EXPECT_EQ(l.param.titel, std::string(248, 'a') + "\xC3\xB6");
}

TEST(Kommandozeile, LeereDateinamenBleibenLeer) {
  Lesung l;
  l.param.netzdateiname = "alt.net";
  l.lesen({"T", "", ""});
  EXPECT_EQ(l.param.netzdateiname, "");
  EXPECT_EQ(l.param.eingabedateiname, "");
}

}  // namespace
}  // namespace velkor
