#pragma once
// The index sums of a scoring run and their rows in the conversion tables.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/shared_data.h"
#include "norms/conversion_tables.h"

namespace kelmora {

struct IndexSums {
  std::int64_t svfi = 0;
  std::int64_t spri = 0;
  std::int64_t sami = 0;
  std::int64_t sphi = 0;
  std::int64_t sfsiq = 0;
};

// Column k holds the key with the k-th suffix (none, "IQ", "prosentil",
// "konfidensintervall") of VFI, PRI, AMI, PHI and FSIQ, in that order.
using IndexKeyColumns = std::array<std::vector<std::string>, 4>;

// Sums the scaled scores that the private store holds, reporting the VFI
// scores that it reads and those that do not count. A score that is not a
// whole number is left out of its sum, and so is the largest score of a sum
// beyond the 64-bit range. `windowStore` is only shown.
IndexSums formIndexSums(const SharedData& tempSharedData, const SharedData& windowStore);

// Stores the five sums as decimal text, then "X" for the cross marks.
void storeSums(const IndexSums& sums, ExcelData& excelDataCopy);

// Stores the row's first four fields under the prefix followed by each
// suffix and returns those four keys. The row must have four fields.
std::vector<std::string> updateExcelDataCopy(const ConversionRow& with, const std::string& prefix,
                                             ExcelData& excelDataCopy);

// Looks each sum up in its conversion table and stores the row found. No
// value when a sum finds no row of four fields: the report cannot be made.
std::optional<IndexKeyColumns> convertIndexSums(const IndexSums& sums, ExcelData& excelDataCopy);

}  // namespace kelmora
