#include "tools/mpiverbund.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <iostream>

namespace velkor {

namespace {

// Texts go in slices that an int counts.
constexpr uint64_t scheibe = uint64_t{1} << 30;

void pruefen(int ergebnis, const char* was) {
  if (ergebnis == MPI_SUCCESS) return;
  std::cerr << "velkor-batch: MPI: " << was << " failed\n";
  MPI_Abort(MPI_COMM_WORLD, 4);
}

}  // namespace

Mpiverbund::Mpiverbund(int* argc, char*** argv) {
  int gegeben = 0;
  pruefen(MPI_Init_thread(argc, argv, MPI_THREAD_FUNNELED, &gegeben), "MPI_Init_thread");
  pruefen(MPI_Comm_dup(MPI_COMM_WORLD, &welt_), "MPI_Comm_dup");
  int r = 0;
  int n = 1;
  MPI_Comm_rank(welt_, &r);
  MPI_Comm_size(welt_, &n);
  rang_ = r;
  groesse_ = n;
  MPI_Type_contiguous(16, MPI_BYTE, &block_);
  MPI_Type_commit(&block_);
}

Mpiverbund::~Mpiverbund() {
  MPI_Type_free(&block_);
  MPI_Comm_free(&welt_);
  MPI_Finalize();
}

void Mpiverbund::alleWerte(uint64_t eigen, std::vector<uint64_t>& alle) {
  alle.assign(static_cast<std::size_t>(groesse_), 0);
  pruefen(MPI_Allgather(&eigen, 1, MPI_UINT64_T, alle.data(), 1, MPI_UINT64_T, welt_), "MPI_Allgather");
  gesendet_ += 8;
}

void Mpiverbund::alleBytes(const std::vector<unsigned char>& eigen, std::vector<unsigned char>& alle,
                           std::vector<std::size_t>& grenzen) {
  const auto n = static_cast<std::size_t>(groesse_);
  const int bloecke = static_cast<int>(eigen.size() / 16);
  zahlen_.assign(n, 0);
  pruefen(MPI_Allgather(&bloecke, 1, MPI_INT, zahlen_.data(), 1, MPI_INT, welt_), "MPI_Allgather");
  anfaenge_.assign(n, 0);
  grenzen.assign(n + 1, 0);
  for (std::size_t r = 0; r < n; ++r) {
    anfaenge_[r] = static_cast<int>(grenzen[r] / 16);
    grenzen[r + 1] = grenzen[r] + static_cast<std::size_t>(zahlen_[r]) * 16;
  }
  alle.resize(grenzen[n]);
  pruefen(MPI_Allgatherv(eigen.data(), bloecke, block_, alle.data(), zahlen_.data(), anfaenge_.data(), block_, welt_),
          "MPI_Allgatherv");
  gesendet_ += 4 + eigen.size();
}

void Mpiverbund::verbreiten(std::string& text, int32_t von) {
  uint64_t laenge = text.size();
  // A text may be long in coming (the status of a run that the first process
  // makes alone): the others look for it every millisecond instead of
  // keeping a core busy meanwhile.
  MPI_Request anfrage = MPI_REQUEST_NULL;
  pruefen(MPI_Ibcast(&laenge, 1, MPI_UINT64_T, von, welt_, &anfrage), "MPI_Ibcast");
  for (int fertig = 0;;) {
    pruefen(MPI_Test(&anfrage, &fertig, MPI_STATUS_IGNORE), "MPI_Test");
    if (fertig != 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  text.resize(laenge);
  for (uint64_t a = 0; a < laenge; a += scheibe) {
    pruefen(MPI_Bcast(text.data() + a, static_cast<int>(std::min(scheibe, laenge - a)), MPI_CHAR, von, welt_),
            "MPI_Bcast");
  }
  if (von == rang_) gesendet_ += 8 + laenge;
}

void Mpiverbund::senden(const std::string& text, int32_t an) {
  uint64_t laenge = text.size();
  pruefen(MPI_Send(&laenge, 1, MPI_UINT64_T, an, 1, welt_), "MPI_Send");
  for (uint64_t a = 0; a < laenge; a += scheibe) {
    pruefen(MPI_Send(text.data() + a, static_cast<int>(std::min(scheibe, laenge - a)), MPI_CHAR, an, 1, welt_),
            "MPI_Send");
  }
  gesendet_ += 8 + laenge;
}

void Mpiverbund::empfangen(std::string& text, int32_t von) {
  uint64_t laenge = 0;
  pruefen(MPI_Recv(&laenge, 1, MPI_UINT64_T, von, 1, welt_, MPI_STATUS_IGNORE), "MPI_Recv");
  text.resize(laenge);
  for (uint64_t a = 0; a < laenge; a += scheibe) {
    pruefen(MPI_Recv(text.data() + a, static_cast<int>(std::min(scheibe, laenge - a)), MPI_CHAR, von, 1, welt_,
                     MPI_STATUS_IGNORE),
            "MPI_Recv");
  }
}

}  // namespace velkor
