#pragma once
// The view flags. None set means the numeric table.

namespace velkor {

struct Ansichtsflags {
  bool ansichtZellVariabel = false;
  bool ansichtZellKonstant = false;
  bool ansichtOsziMitEpsps = false;
  bool ansichtOsziOhneEpsps = false;
  bool ansichtFeuernd = false;
  bool ansichtKomprimiert = false;

  bool zellansicht() const { return ansichtZellVariabel || ansichtZellKonstant; }
  bool oszi() const { return ansichtOsziMitEpsps || ansichtOsziOhneEpsps; }
  bool numerisch() const {
    return !ansichtZellVariabel && !ansichtZellKonstant && !ansichtOsziMitEpsps && !ansichtOsziOhneEpsps &&
           !ansichtFeuernd && !ansichtKomprimiert;
  }
  void alleLoeschen() { *this = Ansichtsflags{}; }
};

}  // namespace velkor
