#include "report/index_sums.h"

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

// Adds the value unless the total would leave the 64-bit range; only a
// workbook's own huge scores can get there, and they are left out like any
// value that is not a score.
bool addChecked(std::int64_t& total, std::int64_t value) {
  std::int64_t result = 0;
  if (__builtin_add_overflow(total, value, &result)) return false;
  total = result;
  return true;
}

std::int64_t sumOf(const GroupSum& group, const ExcelData& data, bool reportUnusable) {
  std::int64_t total = 0;
  for (const auto& key : group) {
    const auto found = data.find(key);
    const auto number = found == data.end() ? std::nullopt : parseWholeNumber(found->second);
    if (!number || !addChecked(total, *number)) {
      if (reportUnusable) printItems("Kunne ikke konvertere " + key + " til et heltall");
    }
  }
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

  for (const std::int64_t groupSum : {sums.svfi, sums.spri, sums.sami, sums.sphi}) addChecked(sums.sfsiq, groupSum);

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
