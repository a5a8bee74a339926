#include "tools/sample_client/sample_client.h"

#include "norms/subtests.h"

namespace kelmora {

ExcelData sampleClient() {
  ExcelData data{{"Navn", "Kari Nordmann"},
                 {"Fødselsdato", "15-03-1985"},
                 {"Testdato", "10-06-2024"},
                 {"Kjønn", "K"},
                 {"Hendthet", "V"},
                 {"sRs", "10"},
                 {"sVf", "11"},
                 {"sBu", "9"},
                 {"sBt", "12"},
                 {"sUt", "8"}};
  for (const Subtest& subtest : subtests)
    if (subtest.core) data[std::string(subtest.code)] = "20";
  return data;
}

}  // namespace kelmora
