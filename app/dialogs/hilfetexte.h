#pragma once
// The texts of the help window: tabs, topic headings and their explanations.

#include <vector>

namespace velkor {

// VELKOR_VERSION: the project version in CMakeLists.txt.
inline constexpr const char* versionszeile = "velkor " VELKOR_VERSION;

struct Thema {
  const char* ueberschrift;
  const char* text;
  bool festeBreite = false;  // the body is shown in a fixed-pitch font
};

struct Hilfeseite {
  const char* reiter;  // tab caption
  const char* name;    // component name of the tab
  std::vector<Thema> themen;
};

// The six tabs with scrolling topics, in their order; "Info" follows them.
const std::vector<Hilfeseite>& hilfeseiten();
// The list of changes on the tab "Info", line by line.
const std::vector<const char*>& aenderungen();

}  // namespace velkor
