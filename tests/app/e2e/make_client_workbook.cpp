// Writes the end-to-end client's workbook to the file named by its argument.

#include <iostream>

#include "support/workbook_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_client_workbook <file.xlsx>\n";
    return 2;
  }
  if (!kelmora::testing::writeWorkbook(argv[1], kelmora::testing::endToEndClientWorkbook())) {
    std::cerr << "could not write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
