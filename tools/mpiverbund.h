#pragma once
// The processes of an MPI job as the engine's Verbund (engine/verbund.h).
// Only the thread that made it calls MPI.

#include <mpi.h>

#include "engine/verbund.h"

namespace velkor {

class Mpiverbund : public Verbund {
 public:
  // Starts MPI (MPI_Init_thread) and ends it again in the destructor.
  Mpiverbund(int* argc, char*** argv);
  ~Mpiverbund() override;
  Mpiverbund(const Mpiverbund&) = delete;
  Mpiverbund& operator=(const Mpiverbund&) = delete;

  int32_t rang() const override { return rang_; }
  int32_t groesse() const override { return groesse_; }
  void alleWerte(uint64_t eigen, std::vector<uint64_t>& alle) override;
  void alleBytes(const std::vector<unsigned char>& eigen, std::vector<unsigned char>& alle,
                 std::vector<std::size_t>& grenzen) override;
  void verbreiten(std::string& text, int32_t von) override;
  void senden(const std::string& text, int32_t an) override;
  void empfangen(std::string& text, int32_t von) override;

  // Bytes this process has sent in collectives and messages.
  uint64_t gesendet() const override { return gesendet_; }

 private:
  MPI_Comm welt_ = MPI_COMM_NULL;
  MPI_Datatype block_ = MPI_DATATYPE_NULL;  // 16 bytes
  int32_t rang_ = 0;
  int32_t groesse_ = 1;
  uint64_t gesendet_ = 0;
  std::vector<int> zahlen_;
  std::vector<int> anfaenge_;
};

}  // namespace velkor
