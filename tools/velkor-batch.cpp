// velkor-batch: runs a simulation without a window.
//   velkor-batch [OPTIONS] Titel Netzdatei Eingabedatei [Modusparameterliste]

#include <iostream>
#include <string>
#include <vector>

#include "tools/batchlauf.h"

int main(int argc, char** argv) {
  const std::vector<std::string> argumente(argv + 1, argv + argc);
  return velkor::batchHaupt(argumente, std::cout, std::cerr);
}
