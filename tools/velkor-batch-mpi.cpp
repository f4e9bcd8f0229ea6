// velkor-batch-mpi: velkor-batch on the processes of an MPI job,
//   mpirun -np N velkor-batch-mpi [OPTIONS] Titel Netzdatei Eingabedatei [Modusparameterliste]
// with the outputs of one process.

#include <iostream>
#include <string>
#include <vector>

#include "tools/batchlauf.h"
#include "tools/mpiverbund.h"

int main(int argc, char** argv) {
  int status = 0;
  {
    velkor::Mpiverbund verbund(&argc, &argv);
    const std::vector<std::string> argumente(argv + 1, argv + argc);
    status = velkor::batchHaupt(argumente, std::cout, std::cerr, &verbund);
    std::cout.flush();
  }
  return status;
}
