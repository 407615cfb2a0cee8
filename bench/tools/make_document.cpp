// Writes a generated Swagger 2.0 document for whole-process runs:
//
//   build/tolvane_make_document OUT.json [MEGABYTES]
//   /usr/bin/time -v build/tolvane OUT.json
//
// MEGABYTES (default 40) sets the size; definitions and operations come in
// equal numbers, 500 of each per megabyte.
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "generated_document.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cout << "usage: tolvane_make_document OUT.json [MEGABYTES]\n";
    return 2;
  }
  const double megabytes = argc == 3 ? std::atof(argv[2]) : 40.0;
  if (!(megabytes > 0)) {
    std::cout << "MEGABYTES must be a positive number\n";
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << tolvane::bench::GenerateDocument(tolvane::bench::ShapeOfSize(megabytes));
  return out.good() ? 0 : 1;
}
