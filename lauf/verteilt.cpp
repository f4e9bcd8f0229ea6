#include "lauf/verteilt.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/zustand.h"

namespace velkor {

namespace {

// The state file goes from the other processes to the first in pieces of
// about this size, so that no process holds more of its text than that.
constexpr std::size_t stueckgroesse = std::size_t{4} << 20;

// The blocks of the own stretch of cells in pieces: each call fills the next
// piece; false when there is none left.
class Bloecke {
 public:
  Bloecke(const Simulation& sim, bool nummern) : sim_(sim), nummern_(nummern), c_(sim.netz.eigeneVon) {}
  bool naechstes(std::string& stueck) {
    stueck.clear();
    const Netz& netz = sim_.netz;
    for (; c_ < netz.eigeneBis && stueck.size() < stueckgroesse; ++c_)
      zustandsbloecke(stueck, netz, c_, c_ + 1, sim_.param.xVerschiebung, sim_.param.yVerschiebung, nummern_);
    return !stueck.empty();
  }

 private:
  const Simulation& sim_;
  bool nummern_;
  int32_t c_;
};

}  // namespace

int einigen(Verbund& verbund, int status, std::string& text) {
  std::vector<uint64_t> alle;
  verbund.alleWerte(static_cast<uint64_t>(static_cast<uint32_t>(status)), alle);
  for (std::size_t r = 0; r < alle.size(); ++r) {
    if (alle[r] == 0) continue;
    verbund.verbreiten(text, static_cast<int32_t>(r));
    return static_cast<int>(static_cast<uint32_t>(alle[r]));
  }
  return 0;
}

bool zustandVerteiltSchreiben(Verbund& verbund, const Simulation& sim, std::string& fehler) {
  // The numbered form as soon as one stretch needs it.
  std::vector<uint64_t> formen;
  verbund.alleWerte(zustandInNamensform(sim.netz) ? 0 : 1, formen);
  bool nummern = false;
  for (const uint64_t f : formen) nummern = nummern || f != 0;
  Bloecke bloecke(sim, nummern);
  std::string stueck;
  if (verbund.rang() != 0) {
    while (bloecke.naechstes(stueck)) verbund.senden(stueck, 0);
    verbund.senden(std::string(), 0);  // the end of this stretch
    return true;
  }
  // The first process: the header and its own blocks, then those of each
  // other process in turn, then the end.
  enum { kopf, eigene, andere, ende, fertig } stand = kopf;
  int32_t von = 1;
  return zustandStueckweiseSchreiben(
      [&](std::string& teil) {
        teil.clear();
        switch (stand) {
          case kopf:
            zustandskopf(teil, sim.netz.zellenzahl, sim.zeittakt, nummern);
            stand = eigene;
            return true;
          case eigene:
            if (bloecke.naechstes(teil)) return true;
            stand = andere;
            [[fallthrough]];
          case andere:
            for (; von < verbund.groesse(); ++von) {
              verbund.empfangen(teil, von);
              if (!teil.empty()) return true;
            }
            stand = ende;
            [[fallthrough]];
          case ende:
            zustandsende(teil);
            stand = fertig;
            return true;
          case fertig:
            break;
        }
        return false;
      },
      fehler);
}

}  // namespace velkor
