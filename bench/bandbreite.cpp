// bandbreite: what the memory of this machine gives, as the floor against
// which a time step is measured: streamed reads (GB/s) and reads of single
// cache lines at random places (millions of lines/s, many in flight), each on
// 1 .. N threads.
//
//   bandbreite [MB] [THREADS]      (defaults: 1024 MB, 2 threads)

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Uhr = std::chrono::steady_clock;

double sekunden(Uhr::time_point von) { return std::chrono::duration<double>(Uhr::now() - von).count(); }

// Runs f(t) on `faeden` threads at once; returns the wall time.
template <class F>
double parallel(int faeden, F f) {
  const auto von = Uhr::now();
  std::vector<std::thread> t;
  for (int i = 1; i < faeden; ++i) t.emplace_back(f, i);
  f(0);
  for (std::thread& x : t) x.join();
  return sekunden(von);
}

volatile uint64_t senke = 0;

}  // namespace

int main(int argc, char** argv) {
  const std::size_t mb = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1024;
  const int hoechstens = argc > 2 ? std::atoi(argv[2]) : 2;
  const std::size_t n = mb * 1024 * 1024 / sizeof(uint64_t);
  std::vector<uint64_t> daten(n);
  for (std::size_t i = 0; i < n; ++i) daten[i] = i * 0x9e3779b97f4a7c15ULL;
  // Random places, one per cache line read, the same for every run.
  const std::size_t zuege = 1 << 24;
  std::vector<uint32_t> stellen(zuege);
  uint64_t s = 88172645463325252ULL;
  for (uint32_t& x : stellen) {
    s ^= s << 13U;
    s ^= s >> 7U;
    s ^= s << 17U;
    x = static_cast<uint32_t>(s % (n / 8)) * 8;
  }
  for (int faeden = 1; faeden <= hoechstens; ++faeden) {
    double besterStrom = 1e300;
    double besterZufall = 1e300;
    for (int runde = 0; runde < 3; ++runde) {
      besterStrom = std::min(besterStrom, parallel(faeden, [&](int t) {
        const std::size_t von = n * t / faeden, bis = n * (t + 1) / faeden;
        uint64_t summe = 0;
        for (std::size_t i = von; i < bis; ++i) summe += daten[i];
        senke = senke + summe;
      }));
      besterZufall = std::min(besterZufall, parallel(faeden, [&](int t) {
        const std::size_t von = zuege * t / faeden, bis = zuege * (t + 1) / faeden;
        uint64_t summe = 0;
        for (std::size_t i = von; i < bis; ++i) summe += daten[stellen[i]];
        senke = senke + summe;
      }));
    }
    std::printf("threads=%d stream_gb_s=%.2f random_mlines_s=%.1f random_ns_per_line=%.2f\n", faeden,
                static_cast<double>(n * sizeof(uint64_t)) / besterStrom / 1e9,
                static_cast<double>(zuege) / besterZufall / 1e6, besterZufall / static_cast<double>(zuege) * 1e9);
  }
  return 0;
}
