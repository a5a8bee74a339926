#include "report/index_sums.h"

#include <algorithm>
#include <limits>

#include "base/diagnostics.h"
#include "base/whole_number.h"
#include "norms/debug_mode.h"
#include "norms/subtests.h"

namespace kelmora {
namespace {

// The scaled-score keys that each group's sum adds, in the order of the
// index groups.
using GroupSum = std::vector<std::string>;

const std::array<GroupSum, indexGroupCount>& groupSums() {
  static const std::array<GroupSum, indexGroupCount> groups = [] {
    std::array<GroupSum, indexGroupCount> made;
    for (const Subtest& subtest : subtests)
      if (subtest.core) made[columnOf(subtest.group)].emplace_back(subtest.scaledKey);
    return made;
  }();
  return groups;
}

std::array<std::int64_t, indexes.size()> inTableOrder(const IndexSums& sums) {
  return {sums.svfi, sums.spri, sums.sami, sums.sphi, sums.sfsiq};
}

const std::array<const char*, 4> indexSuffixes{"", "IQ", "prosentil", "konfidensintervall"};

std::string describe(const SharedData& store) { return "SharedData " + dumpMap(store.excelData()); }

// The sum of the values there are. While it lies beyond the 64-bit range the
// largest value is left out (emptied): only a workbook's own huge scores get
// there, and it is they that do not fit, whatever their order.
std::int64_t sumLeavingOutHuge(std::vector<std::optional<std::int64_t>>& values) {
  const auto size = [](const std::optional<std::int64_t>& value) -> __int128 {
    return !value ? 0 : *value < 0 ? -__int128{*value} : __int128{*value};
  };
  for (;;) {
    __int128 sum = 0;
    for (const auto& value : values) sum += value.value_or(0);
    if (sum >= std::numeric_limits<std::int64_t>::min() && sum <= std::numeric_limits<std::int64_t>::max()) {
      return static_cast<std::int64_t>(sum);
    }
    std::max_element(values.begin(), values.end(), [&](auto& a, auto& b) { return size(a) < size(b); })->reset();
  }
}

// A value that is not a whole number, or that does not fit the sum, is left
// out, and said when asked.
std::int64_t sumOf(const GroupSum& group, const ExcelData& data, bool reportUnusable) {
  std::vector<std::optional<std::int64_t>> values;
  for (const auto& key : group) {
    const auto found = data.find(key);
    values.push_back(found == data.end() ? std::nullopt : parseWholeNumber(found->second));
  }
  const std::int64_t total = sumLeavingOutHuge(values);
  for (std::size_t i = 0; i < group.size(); ++i)
    if (!values[i] && reportUnusable) printItems("Kunne ikke konvertere " + group[i] + " til et heltall");
  return total;
}

}  // namespace

IndexSums formIndexSums(const SharedData& tempSharedData, const SharedData& windowStore) {
  const ExcelData& data = tempSharedData.excelData();
  const auto& groups = groupSums();

  for (const auto& key : groups[0]) {
    const auto found = data.find(key);
    if (found != data.end()) {
      printItems("Verdien for " + key + " er " + found->second);
    } else {
      printItems(key + " finnes ikke i sharedData.excelData: ", describe(tempSharedData));
    }
  }

  IndexSums sums;
  sums.svfi = sumOf(groups[0], data, true);
  printItems("svfi har verdi ", sums.svfi);
  if (debugMode) {
    printItems("svfi har verdi ", sums.svfi);
    printItems("vi ser i ", windowStore.excelData());
  }
  sums.spri = sumOf(groups[1], data, false);
  sums.sami = sumOf(groups[2], data, false);
  sums.sphi = sumOf(groups[3], data, false);

  std::vector<std::optional<std::int64_t>> groupSums{sums.svfi, sums.spri, sums.sami, sums.sphi};
  sums.sfsiq = sumLeavingOutHuge(groupSums);

  if (debugMode) {
    printItems("Summen av ssvfi er " + formatWholeNumber(sums.svfi));
    printItems("Summen av sspri er " + formatWholeNumber(sums.spri));
    printItems("Summen av ssami er " + formatWholeNumber(sums.sami));
    printItems("Summen av ssphi er " + formatWholeNumber(sums.sphi));
    printItems("sfsiq er " + formatWholeNumber(sums.sfsiq));
  }
  return sums;
}

void storeSums(const IndexSums& sums, ExcelData& excelDataCopy) {
  const auto values = inTableOrder(sums);
  for (std::size_t i = 0; i < indexes.size(); ++i)
    excelDataCopy[std::string(indexes[i].sumKey)] = formatWholeNumber(values[i]);
  // Built as a string first: g++ 12 at -O3 wrongly warns (-Wrestrict) on
  // assigning the literal.
  excelDataCopy["X"] = std::string("X");
}

std::vector<std::string> updateExcelDataCopy(const ConversionRow& with, const std::string& prefix,
                                             ExcelData& excelDataCopy) {
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < indexSuffixes.size(); ++i) {
    std::string key = prefix + indexSuffixes[i];
    excelDataCopy[key] = with.at(i);
    keys.push_back(std::move(key));
  }
  return keys;
}

std::optional<IndexKeyColumns> convertIndexSums(const IndexSums& sums, ExcelData& excelDataCopy) {
  const auto values = inTableOrder(sums);

  std::vector<std::vector<std::string>> keyLists;
  for (std::size_t g = 0; g < indexes.size(); ++g) {
    const std::string sumText = formatWholeNumber(values[g]);
    const auto row = index(indexes[g].table, sumText);
    if (!row || row->size() < indexSuffixes.size()) {
      if (g == 0) {
        const auto again = index(indexes[g].table, sumText);
        printItems("Her tryner vi: ", again ? dumpRow(*again) : std::string());
      }
      return std::nullopt;
    }
    keyLists.push_back(updateExcelDataCopy(*row, std::string(indexes[g].prefix), excelDataCopy));
  }

  IndexKeyColumns columns;
  for (std::size_t k = 0; k < columns.size(); ++k)
    for (const auto& keys : keyLists) columns[k].push_back(keys[k]);
  return columns;
}

}  // namespace kelmora
