#pragma once
// The threads of the time step: a small pool that runs the pieces of a phase
// side by side and returns when all pieces are done. The calling thread
// takes pieces itself. Workers that find nothing to do wait awake for up
// to a millisecond and then sleep, so an idle pool costs no core.
//
// How many threads: the cores the process may run on (its affinity mask),
// unless the environment variable VELKOR_THREADS names a number; the batch
// runner's --threads overrides both. Small nets run on one thread: a phase is
// split only where every part gets at least `mindestZellen` cells.

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace velkor {

class Faeden {
 public:
  Faeden();
  ~Faeden();
  Faeden(const Faeden&) = delete;
  Faeden& operator=(const Faeden&) = delete;

  // The count a process starts with: VELKOR_THREADS if it holds a number of
  // 1 or more, else the cores of the affinity mask (at least 1).
  static int32_t vorgabe();
  // Threads wanted, 1 or more (a smaller value counts as 1). The workers are
  // started when a phase first needs them.
  void setzen(int32_t anzahl);
  int32_t anzahl() const { return anzahl_; }

  // Fewest cells per part: below it a phase stays on fewer threads.
  static constexpr int32_t standardMindestZellen = 16384;
  int32_t mindestZellen = standardMindestZellen;
  // The parts a phase over `zellen` cells is split into.
  int32_t teile(int32_t zellen) const;

  // Pieces of a phase per thread: a phase in `teile` parts is cut into
  // teile * stueckeJeTeil pieces. Each thread first takes the pieces of its
  // own block, in order (so that thread t works the same cells in every
  // phase of a step and finds them in its own cache), and then those left
  // in the other blocks, so that a core that is slower (or busy with another
  // program) does less of the phase instead of holding it up. The pieces of
  // a block shrink towards its end (stueckanfang, engine/teilarbeit.h), so
  // what is left to take at the end of a phase is short. On two threads,
  // against pieces of one size, interleaved: the plain 10^5 net 2.5 and 7 %
  // faster (two sets of four rounds), the learning net 5 % (three rounds),
  // 10^6 no difference (five rounds).
  static constexpr int32_t stueckeJeTeil = 4;
  // Runs f(stueck, teil) for every stueck below `stuecke` on up to `teile`
  // threads, the calling one among them; `teil` (below teile) names the
  // thread. Which thread takes which piece varies; what a piece does must
  // not depend on it. Returns when every piece is done: a worker that has
  // not woken up by then takes no part, and nobody waits for it.
  void verteilen(int32_t teile, int32_t stuecke, const std::function<void(int32_t, int32_t)>& f);

 private:
  // Most pieces of one job; verteilen runs more as several jobs.
  static constexpr int32_t meisteStuecke = 0xFFFF;

  void starten();
  void anhalten();
  void arbeiter(int32_t nummer, uint64_t gesehen);
  uint64_t naechsteGeneration(int32_t teile) const;
  void auftrag(int32_t teile, int32_t stuecke, const std::function<void(int32_t, int32_t)>& f);
  // Takes and runs pieces of job `job` until none is left: its own block
  // first, then the others'.
  void abarbeiten(int32_t teil, int32_t teile, uint32_t job);

  int32_t anzahl_ = 1;
  std::vector<std::thread> arbeiter_;
  // The workers are woken by a new generation: a counter in the upper bits
  // (the job's number), the threads wanted in the lower 16 (0: the workers end).
  alignas(64) std::atomic<uint64_t> generation_{0};
  // A thread's block of the live job: the job's number (bits 32 to 63), the
  // end of the block (16 to 31) and its next piece nobody has taken (0 to
  // 15). A piece is taken by moving the word on from what it is now; only a
  // job not yet done has pieces to take, so whoever takes one may read
  // `auftrag_` and `stueckzahl_`.
  struct alignas(64) Block {
    std::atomic<uint64_t> wort{0};
  };
  std::vector<Block> bloecke_;
  std::atomic<uint32_t> fertig_{0};  // pieces of the live job done
  uint32_t stueckzahl_ = 0;
  const std::function<void(int32_t, int32_t)>* auftrag_ = nullptr;
  bool spinnen_ = false;  // wait awake a while before sleeping
};

}  // namespace velkor
