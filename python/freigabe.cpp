#include "python/freigabe.h"

#include <pythread.h>

#include <atomic>
#include <csignal>

namespace velkor {

namespace {

std::atomic<bool> gemeldet{false};
struct sigaction pythons {};

// Async-signal-safe: a lock-free store, then Python's own handler.
void melden(int nummer, siginfo_t* info, void* kontext) {
  gemeldet.store(true, std::memory_order_relaxed);
  if ((pythons.sa_flags & SA_SIGINFO) != 0) {
    pythons.sa_sigaction(nummer, info, kontext);
  } else {
    pythons.sa_handler(nummer);
  }
}

// Python handles signals in its main thread only; a call in another thread
// leaves Ctrl-C to the main thread, as any Python thread does.
bool imHauptfaden() {
  static const unsigned long haupt =
      pybind11::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>();
  return PyThread_get_thread_ident() == haupt;
}

}  // namespace

Unterbrechungswache::Unterbrechungswache(bool noetig) {
  gemeldet.store(false, std::memory_order_relaxed);
  if (!noetig || !imHauptfaden()) return;
  struct sigaction jetzt {};
  if (sigaction(SIGINT, nullptr, &jetzt) != 0) return;
  // SIG_DFL or SIG_IGN: Ctrl-C ends the process or is ignored, as without us.
  const bool funktion =
      (jetzt.sa_flags & SA_SIGINFO) != 0 || (jetzt.sa_handler != SIG_DFL && jetzt.sa_handler != SIG_IGN);
  if (!funktion) return;
  pythons = jetzt;
  struct sigaction unsere = jetzt;
  unsere.sa_flags = (jetzt.sa_flags | SA_SIGINFO) & ~SA_RESETHAND;
  unsere.sa_sigaction = &melden;
  eingesetzt_ = sigaction(SIGINT, &unsere, nullptr) == 0;
}

Unterbrechungswache::~Unterbrechungswache() {
  if (eingesetzt_) sigaction(SIGINT, &pythons, nullptr);
}

bool Unterbrechungswache::ausgeloest() { return gemeldet.load(std::memory_order_relaxed); }

}  // namespace velkor
