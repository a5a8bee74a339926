#include "report/index_sums.h"

#include "base/diagnostics.h"
#include "norms/debug_mode.h"
#include "base/whole_number.h"

namespace kelmora {
namespace {

struct IndexGroup {
  const char* sumKey;
  std::vector<std::string> scaledKeys;
  const char* table;
  const char* prefix;
};

const std::array<IndexGroup, 4>& indexGroups() {
  static const std::array<IndexGroup, 4> groups{{
      {"svfi", {"sLi", "sOf", "sIn"}, "VFI", "ivfi"},
      {"spri", {"sTm", "sMr", "sVp"}, "PRI", "ipri"},
      {"sami", {"sTh", "sRg"}, "AMI", "iami"},
      {"sphi", {"sSl", "sKd"}, "PHI", "iphi"},
  }};
  return groups;
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

std::int64_t sumOf(const IndexGroup& group, const ExcelData& data, bool reportUnusable) {
  std::int64_t total = 0;
  for (const auto& key : group.scaledKeys) {
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
  const auto& groups = indexGroups();

  for (const auto& key : groups[0].scaledKeys) {
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
  excelDataCopy["svfi"] = formatWholeNumber(sums.svfi);
  excelDataCopy["spri"] = formatWholeNumber(sums.spri);
  excelDataCopy["sami"] = formatWholeNumber(sums.sami);
  excelDataCopy["sphi"] = formatWholeNumber(sums.sphi);
  excelDataCopy["sfsiq"] = formatWholeNumber(sums.sfsiq);
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
  struct Lookup {
    const char* table;
    const char* prefix;
    std::int64_t sum;
  };
  const auto& groups = indexGroups();
  const std::array<Lookup, 5> lookups{{
      {groups[0].table, groups[0].prefix, sums.svfi},
      {groups[1].table, groups[1].prefix, sums.spri},
      {groups[2].table, groups[2].prefix, sums.sami},
      {groups[3].table, groups[3].prefix, sums.sphi},
      {"FSIQ", "ifsiq", sums.sfsiq},
  }};

  std::vector<std::vector<std::string>> keyLists;
  for (std::size_t g = 0; g < lookups.size(); ++g) {
    const std::string sumText = formatWholeNumber(lookups[g].sum);
    const auto row = index(lookups[g].table, sumText);
    if (!row || row->size() < indexSuffixes.size()) {
      if (g == 0) {
        const auto again = index(lookups[g].table, sumText);
        printItems("Her tryner vi: ", again ? dumpRow(*again) : std::string());
      }
      return std::nullopt;
    }
    keyLists.push_back(updateExcelDataCopy(*row, lookups[g].prefix, excelDataCopy));
  }

  IndexKeyColumns columns;
  for (std::size_t k = 0; k < columns.size(); ++k)
    for (const auto& keys : keyLists) columns[k].push_back(keys[k]);
  return columns;
}

}  // namespace kelmora
