#include "engine/faeden.h"

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace velkor {

namespace {

// Up to a millisecond of waiting awake before a thread goes to sleep: the
// parts of one time step, and the steps of a run, follow each other closer
// than that (a wake-up from sleep costs tens of microseconds, more in a
// virtual machine), a pause of the run does not. With more threads than
// cores nobody waits awake: a spinning thread would only keep a working one
// from its core.
constexpr std::chrono::microseconds spinzeit{1000};

int kerne() {
  cpu_set_t maske;
  CPU_ZERO(&maske);
  if (sched_getaffinity(0, sizeof maske, &maske) == 0) return std::max(1, CPU_COUNT(&maske));
  return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

void kurzWarten() {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#else
  std::this_thread::yield();
#endif
}

// Waits awake while `weiter()` holds, at most the spin time (checked every
// 64 pauses).
template <class Weiter>
void spinnen(bool erlaubt, Weiter weiter) {
  if (!erlaubt) return;
  const auto bis = std::chrono::steady_clock::now() + spinzeit;
  for (int runde = 1; weiter(); ++runde) {
    kurzWarten();
    if (runde % 64 == 0 && std::chrono::steady_clock::now() >= bis) return;
  }
}

}  // namespace

Faeden::Faeden() : anzahl_(vorgabe()) {}

Faeden::~Faeden() { anhalten(); }

int32_t Faeden::vorgabe() {
  if (const char* text = std::getenv("VELKOR_THREADS")) {
    char* ende = nullptr;
    const long wert = std::strtol(text, &ende, 10);
    if (ende != text && *ende == '\0' && wert >= 1) return static_cast<int32_t>(std::min(wert, 1024L));
  }
  return kerne();
}

void Faeden::setzen(int32_t anzahl) {
  anzahl = std::clamp(anzahl, 1, 1024);
  if (anzahl == anzahl_) return;
  anhalten();
  anzahl_ = anzahl;
}

int32_t Faeden::teile(int32_t zellen) const {
  const int32_t moeglich = std::max(1, zellen / std::max(1, mindestZellen));
  return std::min(anzahl_, moeglich);
}

void Faeden::starten() {
  spinnen_ = anzahl_ <= kerne();
  // No worker runs: the blocks are made anew for this count.
  bloecke_ = std::vector<Block>(static_cast<std::size_t>(anzahl_));
  arbeiter_.reserve(static_cast<std::size_t>(anzahl_ - 1));
  const uint64_t stand = generation_.load(std::memory_order_relaxed);
  for (int32_t i = 1; i < anzahl_; ++i) arbeiter_.emplace_back([this, i, stand] { arbeiter(i, stand); });
}

void Faeden::anhalten() {
  if (arbeiter_.empty()) return;
  // A job of no parts: the end.
  generation_.store(naechsteGeneration(0), std::memory_order_release);
  generation_.notify_all();
  for (std::thread& t : arbeiter_) t.join();
  arbeiter_.clear();
}

void Faeden::verteilen(int32_t teile, int32_t stuecke, const std::function<void(int32_t, int32_t)>& f) {
  if (stuecke <= 0) return;
  teile = std::min(teile, anzahl_);
  if (teile <= 1 || stuecke == 1) {
    for (int32_t s = 0; s < stuecke; ++s) f(s, 0);
    return;
  }
  // More pieces than a job holds: several jobs, each piece once.
  for (int32_t von = 0; von < stuecke; von += meisteStuecke) {
    const int32_t zahl = std::min(meisteStuecke, stuecke - von);
    if (von == 0 && zahl == stuecke) {
      auftrag(teile, zahl, f);
    } else {
      auftrag(teile, zahl, [&](int32_t s, int32_t teil) { f(von + s, teil); });
    }
  }
}

void Faeden::auftrag(int32_t teile, int32_t stuecke, const std::function<void(int32_t, int32_t)>& f) {
  if (arbeiter_.empty()) starten();
  // No piece of the job before is left, and every one of them is done: nobody
  // reads these meanwhile.
  auftrag_ = &f;
  stueckzahl_ = static_cast<uint32_t>(stuecke);
  fertig_.store(0, std::memory_order_relaxed);
  const uint64_t generation = naechsteGeneration(teile);
  const auto job = static_cast<uint32_t>(generation >> 16U);
  for (int32_t t = 0; t < teile; ++t) {
    const auto von = static_cast<uint64_t>(int64_t{stuecke} * t / teile);
    const auto bis = static_cast<uint64_t>(int64_t{stuecke} * (t + 1) / teile);
    bloecke_[static_cast<std::size_t>(t)].wort.store(uint64_t{job} << 32U | bis << 16U | von,
                                                     std::memory_order_release);
  }
  generation_.store(generation, std::memory_order_release);
  generation_.notify_all();
  abarbeiten(0, teile, job);
  // The pieces that others took.
  const auto alle = static_cast<uint32_t>(stuecke);
  spinnen(spinnen_, [&] { return fertig_.load(std::memory_order_acquire) != alle; });
  for (uint32_t n = fertig_.load(std::memory_order_acquire); n != alle; n = fertig_.load(std::memory_order_acquire)) {
    fertig_.wait(n, std::memory_order_acquire);
  }
}

void Faeden::abarbeiten(int32_t teil, int32_t teile, uint32_t job) {
  for (int32_t b = 0; b < teile; ++b) {
    std::atomic<uint64_t>& wort = bloecke_[static_cast<std::size_t>((teil + b) % teile)].wort;
    uint64_t w = wort.load(std::memory_order_acquire);
    for (;;) {
      // A later job: this one is done.
      if (static_cast<uint32_t>(w >> 32U) != job) return;
      const auto naechstes = static_cast<uint32_t>(w & 0xFFFFU);
      if (naechstes >= static_cast<uint32_t>(w >> 16U & 0xFFFFU)) break;
      if (!wort.compare_exchange_weak(w, w + 1, std::memory_order_acq_rel, std::memory_order_acquire)) continue;
      // Read while the piece keeps the job live: the caller may set up the
      // next one as soon as the last piece is counted.
      const uint32_t alle = stueckzahl_;
      (*auftrag_)(static_cast<int32_t>(naechstes), teil);
      if (fertig_.fetch_add(1, std::memory_order_acq_rel) + 1 == alle) fertig_.notify_all();
      w = wort.load(std::memory_order_acquire);
    }
  }
}

uint64_t Faeden::naechsteGeneration(int32_t teile) const {
  const uint64_t zaehler = (generation_.load(std::memory_order_relaxed) >> 16U) + 1U;
  return zaehler << 16U | static_cast<uint32_t>(teile);
}

void Faeden::arbeiter(int32_t nummer, uint64_t gesehen) {
  for (;;) {
    uint64_t jetzt = generation_.load(std::memory_order_acquire);
    spinnen(spinnen_, [&] {
      jetzt = generation_.load(std::memory_order_acquire);
      return jetzt == gesehen;
    });
    while (jetzt == gesehen) {
      generation_.wait(gesehen, std::memory_order_acquire);
      jetzt = generation_.load(std::memory_order_acquire);
    }
    gesehen = jetzt;
    const auto teile = static_cast<int32_t>(jetzt & 0xFFFFU);
    if (teile == 0) return;
    // A worker woken late finds the pieces taken, or those of a later job.
    if (nummer < teile) abarbeiten(nummer, teile, static_cast<uint32_t>(jetzt >> 16U));
  }
}

}  // namespace velkor
