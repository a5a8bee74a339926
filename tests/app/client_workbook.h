#pragma once
// The sample client of the application's tests: 33 years old at the test
// date, every raw score giving the scaled score 10 in the shipped tables. The
// birth date is a short-date cell, the test date text.

#include <string>
#include <vector>

#include "workbook_writer.h"

namespace kelmora::testing {

inline std::vector<SheetRows> clientWorkbook() {
  using S = std::string;
  return {
      {{S("Navn"), S("Fødselsdato"), S("Testdato"), S("Kjønn"), S("Hendthet")},
       {S("Kari Nordmann"), ShortDate{32978}, S("02-03-2024"), S("K"), S("H")}},
      {{S("Tm"), S("Li"), S("Th"), S("Mr"), S("Of"), S("Rg"), S("Sl"), S("Vp"), S("In"), S("Kd")},
       {46.0, 25.0, 28.0, 17.0, 38.0, 14.0, 31.0, 15.0, 13.0, 69.0}},
  };
}

}  // namespace kelmora::testing
