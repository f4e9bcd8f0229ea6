#pragma once
// A run shared by several processes (velkor-batch-mpi). Every process holds
// the whole cell table and runs phases 1 and 2 on all of it, which needs
// nothing from the others; the connections are cut by their source cell into
// stretches of the table, one per process in rank order, so that the walk of
// phase 3 is the walks of the stretches one after the other. Per step the
// processes hand each other the draws of their stretches (each stretch draws
// its own stretch of the one random stream) and the arrivals they accepted,
// which every process then applies to its cells in the order of the walk.
// Without a Verbund (nullptr), or with one of one process, a simulation runs
// alone. The engine knows only this interface; tools/ has the MPI one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velkor {

class Verbund {
 public:
  virtual ~Verbund() = default;
  virtual int32_t rang() const = 0;
  virtual int32_t groesse() const = 0;
  // Every process's value, in rank order. Called by all processes alike.
  virtual void alleWerte(uint64_t eigen, std::vector<uint64_t>& alle) = 0;
  // Every process's bytes, in rank order, one after the other; rank r's
  // are alle[grenzen[r], grenzen[r + 1]). The byte counts are multiples of 16.
  virtual void alleBytes(const std::vector<unsigned char>& eigen, std::vector<unsigned char>& alle,
                         std::vector<std::size_t>& grenzen) = 0;
  // `text` of rank `von` to every process.
  virtual void verbreiten(std::string& text, int32_t von) = 0;
  // From one process to one other, in the order sent.
  virtual void senden(const std::string& text, int32_t an) = 0;
  virtual void empfangen(std::string& text, int32_t von) = 0;
  // Bytes this process has handed to the others so far.
  virtual uint64_t gesendet() const { return 0; }
};

// Shared by more than one process.
inline bool verteilt(const Verbund* v) { return v != nullptr && v->groesse() > 1; }

}  // namespace velkor
