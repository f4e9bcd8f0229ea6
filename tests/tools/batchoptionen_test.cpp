// The options of velkor-batch before the title.

#include "tools/batchoptionen.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace velkor {
namespace {

using Argumente = std::vector<std::string>;

TEST(Batchoptionen, OhneOptionenNurPositionen) {
  const Optionslesung l = optionenLesen({"T", "a.net", "b.ein", "G"});
  ASSERT_EQ(l.fehler, "");
  const Batchoptionen& o = l.optionen;
  EXPECT_FALSE(o.laeufe.has_value()) << "default: until the input has ended";
  EXPECT_EQ(o.schritte, 0);
  EXPECT_FALSE(o.zustand || o.protokoll || o.bild || o.statistik || o.zeichnet());
  EXPECT_EQ(o.W, 1032);
  EXPECT_EQ(o.H, 768);
  EXPECT_FALSE(o.seed.has_value());
  EXPECT_FALSE(o.faeden.has_value());
  EXPECT_EQ(o.positionen, (Argumente{"T", "a.net", "b.ein", "G"}));
}

TEST(Batchoptionen, AlleOptionenInBeidenSchreibweisen) {
  const Optionslesung l =
      optionenLesen({"--runs", "3", "--steps=7", "--state", "--log", "--picture", "--size", "800x600", "--png=x.png",
                     "--seed", "18446744073709551615", "--threads", "1024", "--stats", "Titel", "n", "e"});
  ASSERT_EQ(l.fehler, "");
  const Batchoptionen& o = l.optionen;
  EXPECT_EQ(o.laeufe, std::optional<int64_t>(3));
  EXPECT_EQ(o.schritte, 7);
  EXPECT_TRUE(o.zustand && o.protokoll && o.bild && o.statistik);
  EXPECT_EQ(o.W, 800);
  EXPECT_EQ(o.H, 600);
  EXPECT_EQ(o.png, "x.png");
  EXPECT_EQ(o.seed, std::optional<uint64_t>(18446744073709551615u));
  EXPECT_EQ(o.faeden, std::optional<int32_t>(1024));
  EXPECT_EQ(o.positionen, (Argumente{"Titel", "n", "e"}));
}

TEST(Batchoptionen, OptionenEndenBeimTitelOderBeiDoppelstrich) {
  // After the title everything is a parameter of the command line.
  const Optionslesung nachTitel = optionenLesen({"T", "--state", "b"});
  ASSERT_EQ(nachTitel.fehler, "");
  EXPECT_FALSE(nachTitel.optionen.zustand);
  EXPECT_EQ(nachTitel.optionen.positionen, (Argumente{"T", "--state", "b"}));

  const Optionslesung strich = optionenLesen({"--state", "--", "--titel", "n", "e"});
  ASSERT_EQ(strich.fehler, "");
  EXPECT_TRUE(strich.optionen.zustand);
  EXPECT_EQ(strich.optionen.positionen, (Argumente{"--titel", "n", "e"}));

  const Optionslesung einzelnerStrich = optionenLesen({"-", "n", "e"});
  EXPECT_EQ(einzelnerStrich.fehler, "");
  EXPECT_EQ(einzelnerStrich.optionen.positionen.size(), 3u);
}

TEST(Batchoptionen, RunsNullIstErlaubt) {
  const Optionslesung l = optionenLesen({"--runs", "0", "T", "n", "e"});
  ASSERT_EQ(l.fehler, "");
  EXPECT_EQ(l.optionen.laeufe, std::optional<int64_t>(0));
}

TEST(Batchoptionen, FalscheOptionenUndWerte) {
  const std::vector<Argumente> falsch = {
      {"--unbekannt", "T", "n", "e"},
      {"--runs", "-1", "T", "n", "e"},
      {"--runs", "3x", "T", "n", "e"},
      {"--runs", "", "T", "n", "e"},
      {"--steps", "zwei", "T", "n", "e"},
      {"--size", "1032", "T", "n", "e"},
      {"--size", "100x768", "T", "n", "e"},
      {"--size", "1032x20000", "T", "n", "e"},
      {"--size", "199x200", "T", "n", "e"},
      {"--size", "200x199", "T", "n", "e"},
      {"--size", "10001x200", "T", "n", "e"},
      {"--size", "200x10001", "T", "n", "e"},
      {"--size", "x", "T", "n", "e"},
      {"--seed", "-5", "T", "n", "e"},
      {"--seed", "18446744073709551616", "T", "n", "e"},
      {"--threads", "0", "T", "n", "e"},
      {"--threads", "1025", "T", "n", "e"},
      {"--threads", "2x", "T", "n", "e"},
      {"--png=", "T", "n", "e"},
      {"--state=1", "T", "n", "e"},
      {"--runs"},
  };
  for (const Argumente& a : falsch) {
    EXPECT_NE(optionenLesen(a).fehler, "") << a[0] << " " << (a.size() > 1 ? a[1] : "");
  }
}

TEST(Batchoptionen, GroesseBisAnIhreGrenzen) {
  for (const auto& [text, W, H] : {std::tuple{"200x200", 200, 200}, std::tuple{"10000x10000", 10000, 10000},
                                   std::tuple{"200x10000", 200, 10000}, std::tuple{"10000x200", 10000, 200}}) {
    const Optionslesung l = optionenLesen({"--size", text, "T", "n", "e"});
    ASSERT_EQ(l.fehler, "") << text;
    EXPECT_EQ(l.optionen.W, W) << text;
    EXPECT_EQ(l.optionen.H, H) << text;
  }
}

TEST(Batchoptionen, PngVerlangtZeichnen) {
  const Optionslesung l = optionenLesen({"--png", "bild.png", "T", "n", "e"});
  ASSERT_EQ(l.fehler, "");
  EXPECT_TRUE(l.optionen.zeichnet());
  EXPECT_FALSE(l.optionen.bild);
}

}  // namespace
}  // namespace velkor
