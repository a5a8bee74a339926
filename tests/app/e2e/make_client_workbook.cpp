// Writes the workbook of the end-to-end test: one client of 33 whose raw
// scores all give the scaled score 10 in the shipped tables, or, with
// "--unequal", a workbook whose key row is longer than its value row.

#include <cstring>
#include <iostream>

#include "workbook_writer.h"

using kelmora::testing::SheetRows;
using kelmora::testing::ShortDate;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: make_client_workbook <file.xlsx> [--unequal]\n";
    return 2;
  }
  const bool unequal = argc > 2 && std::strcmp(argv[2], "--unequal") == 0;
  std::vector<SheetRows> sheets;
  if (unequal) {
    sheets.push_back({{std::string("Navn"), std::string("Tm")}, {std::string("Ola")}});
  } else {
    sheets.push_back({
        {std::string("Navn"), std::string("Fødselsdato"), std::string("Testdato"), std::string("Kjønn"),
         std::string("Hendthet")},
        {std::string("Kari Nordmann"), ShortDate{32978}, std::string("02-03-2024"), std::string("K"),
         std::string("H")},
    });
    sheets.push_back({
        {std::string("Tm"), std::string("Li"), std::string("Th"), std::string("Mr"), std::string("Of"),
         std::string("Rg"), std::string("Sl"), std::string("Vp"), std::string("In"), std::string("Kd")},
        {46.0, 25.0, 28.0, 17.0, 38.0, 14.0, 31.0, 15.0, 13.0, 69.0},
    });
  }
  if (!kelmora::testing::writeWorkbook(argv[1], sheets)) {
    std::cerr << "could not write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
