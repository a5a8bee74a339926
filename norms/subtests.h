#pragma once
// The one table of the subtests and the indexes: which subtest belongs to
// which index, which are scored, under which keys their scaled scores stand,
// and where each index's conversion table and keys are; and the one list of
// the norms' age bands. The norm compiler, the sums, the report page, the
// record form and the demonstration-data generator all derive what they need
// from here, so that the form's shading cannot disagree with how the sums are
// formed.

#include <array>
#include <cstddef>
#include <string_view>

namespace kelmora {

// The four index groups, in the order of the page's columns and tables.
enum class IndexGroup { vfi, pri, ami, phi };

inline constexpr std::size_t indexGroupCount = 4;

struct Subtest {
  std::string_view code;       // the two-letter code: the raw score's key and the norm tables' code
  IndexGroup group;            // the index whose sum it belongs to
  bool core;                   // scored by the run and summed; a supplementary one is only drawn as given
  std::string_view scaledKey;  // where its scaled score stands
};

// The core subtests in scoring order, then the supplementary ones in the
// order of the norm files. Within a group this is also the order of the
// subtest profile.
inline constexpr std::array<Subtest, 15> subtests{{
    {"Tm", IndexGroup::pri, true, "sTm"},
    {"Li", IndexGroup::vfi, true, "sLi"},
    {"Th", IndexGroup::ami, true, "sTh"},
    {"Mr", IndexGroup::pri, true, "sMr"},
    {"Of", IndexGroup::vfi, true, "sOf"},
    {"Rg", IndexGroup::ami, true, "sRg"},
    {"Sl", IndexGroup::phi, true, "sSl"},
    {"Vp", IndexGroup::pri, true, "sVp"},
    {"In", IndexGroup::vfi, true, "sIn"},
    {"Kd", IndexGroup::phi, true, "sKd"},
    {"Bt", IndexGroup::ami, false, "sBt"},
    // The report and its workbooks know this one's scaled score as "sVf".
    {"Fv", IndexGroup::pri, false, "sVf"},
    {"Rs", IndexGroup::vfi, false, "sRs"},
    {"Ut", IndexGroup::phi, false, "sUt"},
    {"Bu", IndexGroup::pri, false, "sBu"},
}};

inline constexpr std::size_t coreSubtestCount = 10;

struct Index {
  std::string_view table;   // the conversion table's name
  std::string_view file;    // its resource, "<file>.csv"
  std::string_view prefix;  // the keys of its row: prefix, then prefix + "IQ", "prosentil", "konfidensintervall"
  std::string_view sumKey;  // where its sum of scaled scores stands
};

// The four index groups in their order, then the full scale, whose sum is
// the sum of the four.
inline constexpr std::array<Index, indexGroupCount + 1> indexes{{
    {"VFI", "Sheet 1-VFI", "ivfi", "svfi"},
    {"PRI", "Sheet 2-PRI", "ipri", "spri"},
    {"AMI", "Sheet 3-AMI", "iami", "sami"},
    {"PHI", "Sheet 4-PHI", "iphi", "sphi"},
    {"FSIQ", "Sheet 5-FSIQ", "ifsiq", "sfsiq"},
}};

// The group's place among the four: its column in the scaled-score table
// and its entry in `indexes`.
constexpr std::size_t columnOf(IndexGroup group) { return static_cast<std::size_t>(group); }

constexpr const Index& indexOf(IndexGroup group) { return indexes[columnOf(group)]; }

// The age bands of the norms by their keys, in ascending age: each band's
// first age, and its file resources/norms/<key>.csv. The build reads the band
// files' names from here, so keep the form "bandKeys = std::to_array...".
inline constexpr auto bandKeys =
    std::to_array<std::string_view>({"16", "18", "20", "25", "30", "35", "45", "55", "65"});

}  // namespace kelmora
