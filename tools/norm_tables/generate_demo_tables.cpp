// Generates kelmora's demonstration norm and conversion tables.
//
// The publisher's norms cannot be shipped, so kelmora ships tables made here
// from a stated statistical model. The output is deterministic; the committed
// files under resources/ are this program's output, and a test checks that.
//
// Usage: kelmora_generate_demo_tables <resources folder>
//   writes <folder>/norms/<band>.csv and <folder>/Sheet N-<index>.csv
//
// Norm model, for each subtest:
//   - the raw score, as a fraction of the subtest's usual range, follows a
//     beta distribution whose mean follows one smooth curve over age, the
//     same for every band (speed subtests fall from the early twenties,
//     perceptual ones from thirty, working-memory ones slowly from
//     thirty-five, verbal ones rise into middle age) and whose spread is the
//     subtest's own;
//   - at a band's middle age, a raw score's z is the normal quantile of that
//     distribution's cumulative share at the middle of the raw score's cell,
//     its continuous scaled score 10 + 3z kept within 1 to 19 (19 for raw
//     scores beyond the usual range, where a band reaches further);
//   - the band's rows are then fitted to those scores: the table format fixes
//     the band's raw-score range and its number of rows (the published tables
//     skip scores that no raw score reaches), and the rows, each a run of
//     consecutive raw scores with a higher scaled score than the one before,
//     are those that minimise the sum over raw scores of the squared
//     difference between the row's scaled score and the continuous one. So
//     the range and row count shape only the band's rows, and one raw score
//     gets about the same scaled score in neighbouring bands. In band "18"
//     the format fixes which scores are unreached: each keeps a row with both
//     bounds 0 in its place. In band "16" "Tm" it fixes the rows (1, 0, 8)
//     and (19, 66, 66) and that 18 has no row.
//
// Conversion model, for each index: each scaled score is normal with mean 10
// and deviation 3, the subtests of an index correlated by a stated rho, so a
// sum of n scores has mean 10n and deviation 3*sqrt(n + n(n-1)rho); the index
// score is 100 + 15z rounded, kept within the index's printed range; the
// percentile is the normal one of the index score; the 95 % confidence
// interval is centred on the estimated true score 100 + r(IQ - 100) with half
// width 1.96 * 15 * sqrt(r(1 - r)), r the stated reliability.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "norms/subtests.h"

namespace {

// ---------------------------------------------------------------- maths

double normalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

// Continued fraction of the regularized incomplete beta function (modified
// Lentz), valid for x < (a + 1) / (a + b + 2).
double betaContinuedFraction(double a, double b, double x) {
  constexpr double tiny = 1e-300;
  double c = 1.0;
  double d = 1.0 - (a + b) * x / (a + 1.0);
  if (std::fabs(d) < tiny) d = tiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m <= 500; ++m) {
    const double m2 = 2.0 * m;
    double aa = m * (b - m) * x / ((a + m2 - 1.0) * (a + m2));
    d = 1.0 + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    h *= d * c;
    aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1.0));
    d = 1.0 + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1.0) < 1e-15) break;
  }
  return h;
}

double incompleteBeta(double a, double b, double x) {
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  const double front =
      std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1.0) / (a + b + 2.0)) return front * betaContinuedFraction(a, b, x) / a;
  return 1.0 - front * betaContinuedFraction(b, a, 1.0 - x) / b;
}

// ---------------------------------------------------------------- norms

enum class Kind { speed, perceptual, memory, verbal };

struct Model {
  Kind kind;
  double mean;       // raw-score mean as a fraction of the usual range, at age 25
  double spread;     // raw-score deviation as a fraction of the usual range
  int usualHighest;  // highest raw score in most bands
};

// In the order of the subtest table.
constexpr std::array<Model, kelmora::subtests.size()> models = {{
    {Kind::perceptual, 0.68, 0.185, 66},  // Tm
    {Kind::verbal, 0.66, 0.15, 36},       // Li
    {Kind::memory, 0.58, 0.12, 48},       // Th
    {Kind::perceptual, 0.66, 0.17, 26},   // Mr
    {Kind::verbal, 0.62, 0.16, 57},       // Of
    {Kind::memory, 0.62, 0.15, 22},       // Rg
    {Kind::speed, 0.55, 0.13, 60},        // Sl
    {Kind::perceptual, 0.60, 0.17, 26},   // Vp
    {Kind::verbal, 0.50, 0.18, 26},       // In
    {Kind::speed, 0.55, 0.12, 135},       // Kd
    {Kind::memory, 0.65, 0.12, 30},       // Bt
    {Kind::perceptual, 0.60, 0.18, 27},   // Fv
    {Kind::verbal, 0.64, 0.14, 36},       // Rs
    {Kind::speed, 0.57, 0.13, 72},        // Ut
    {Kind::perceptual, 0.58, 0.16, 24},   // Bu
}};

struct ModelledSubtest {
  std::string code;
  Model model;
};

const std::vector<ModelledSubtest>& modelledSubtests() {
  static const std::vector<ModelledSubtest> all = [] {
    std::vector<ModelledSubtest> made;
    for (std::size_t i = 0; i < models.size(); ++i) made.push_back({std::string(kelmora::subtests[i].code), models[i]});
    return made;
  }();
  return all;
}

struct Band {
  std::string key;
  double age;  // middle of the band's ages
};

// The middle of each band's ages, in the order of the band keys.
constexpr auto middleAges = std::to_array({16.5, 18.5, 22.0, 27.0, 32.0, 39.5, 49.5, 59.5, 70.0});
static_assert(middleAges.size() == kelmora::bandKeys.size());

// Rows per subtest (in the order of the subtest table) and band, as the table
// format has them.
constexpr std::array<int, kelmora::subtests.size()> rowCounts[] = {
    {18, 19, 19, 13, 19, 18, 19, 18, 19, 19, 19, 19, 19, 19, 19},  // 16
    {19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19},  // 18
    {18, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19},  // 20
    {18, 19, 19, 16, 19, 17, 19, 18, 19, 19, 18, 17, 19, 19, 19},  // 25
    {18, 19, 19, 16, 19, 17, 19, 19, 19, 19, 19, 19, 19, 19, 19},  // 30
    {19, 19, 19, 17, 19, 17, 19, 19, 18, 19, 16, 19, 19, 19, 18},  // 35
    {18, 19, 19, 16, 19, 17, 19, 19, 19, 19, 19, 19, 19, 19, 19},  // 45
    {18, 19, 19, 18, 19, 17, 18, 19, 18, 18, 17, 19, 19, 19, 19},  // 55
    {19, 19, 19, 18, 19, 17, 19, 19, 18, 19, 18, 19, 19, 19, 19},  // 65
};
static_assert(std::size(rowCounts) == kelmora::bandKeys.size());

// Highest raw score of a subtest in a band.
int highestRaw(const std::string& code, const std::string& band) {
  // clang-format off
  static const std::map<std::pair<std::string, std::string>, int> special = {
      {{"Mr", "16"}, 22}, {{"Mr", "20"}, 29}, {{"Rg", "20"}, 28}, {{"Vp", "20"}, 27},
      {{"In", "65"}, 25}, {{"Bt", "16"}, 36}, {{"Bt", "30"}, 39}, {{"Bt", "45"}, 39},
      {{"Fv", "16"}, 36}, {{"Fv", "20"}, 36}, {{"Fv", "30"}, 30}, {{"Fv", "45"}, 30},
      {{"Rs", "25"}, 35}};
  // clang-format on
  const auto found = special.find({code, band});
  if (found != special.end()) return found->second;
  for (const ModelledSubtest& subtest : modelledSubtests())
    if (subtest.code == code) return subtest.model.usualHighest;
  std::cerr << "no subtest " << code << "\n";
  std::exit(1);
}

// Band "18": the scaled scores that no raw score reaches; each keeps a row
// with both bounds 0.
const std::map<std::string, std::set<int>>& band18Unreached() {
  static const std::map<std::string, std::set<int>> unreached = {{"Tm", {18}}, {"Mr", {13, 15, 19}}, {"Rg", {17, 18}},
                                                                 {"Vp", {18}}, {"Bt", {15}},         {"Fv", {16, 18}}};
  return unreached;
}

// A smooth stand-in for max(0, x), in years: the age curves bend over about
// four years instead of at a corner.
double hinge(double x) {
  constexpr double width = 4.0;
  return x > 10 * width ? x : width * std::log1p(std::exp(x / width));
}

double trendShape(Kind kind, double age) {
  switch (kind) {
    case Kind::speed:
      return -0.008 * hinge(22 - age) - 0.0055 * hinge(age - 25);
    case Kind::perceptual:
      return -0.006 * hinge(20 - age) - 0.0045 * hinge(age - 30);
    case Kind::memory:
      return -0.005 * hinge(20 - age) - 0.0025 * hinge(age - 35);
    case Kind::verbal:
      return 0.004 * (age - 25) - 0.004 * hinge(age - 50) - 0.002 * hinge(age - 60);
  }
  return 0;
}

// Shift of the mean fraction from its value at age 25.
double ageTrend(Kind kind, double age) { return trendShape(kind, age) - trendShape(kind, 25.0); }

struct FittedRow {
  int scaled, lowest, highest;
  bool operator==(const FittedRow&) const = default;
};

// The z below which a share p of the normal distribution lies, by bisection;
// within +-4, which is beyond the scaled scores' 1 to 19 already.
double normalQuantile(double p) {
  double low = -4.0, high = 4.0;
  for (int i = 0; i < 60; ++i) {
    const double middle = 0.5 * (low + high);
    if (normalCdf(middle) < p) low = middle;
    else high = middle;
  }
  return 0.5 * (low + high);
}

// The continuous scaled score, within 1 to 19, of each raw score from 0 to
// `highest` at one age. The distribution spans the subtest's usual range
// whatever the band's own range, so that one raw score means the same
// everywhere; a band that reaches further has its extra raw scores at the top.
std::vector<double> continuousScaled(const ModelledSubtest& subtest, double age, int highest) {
  const int cells = subtest.model.usualHighest + 1;
  const double mean = std::clamp(subtest.model.mean + ageTrend(subtest.model.kind, age), 0.15, 0.85);
  const double spread = subtest.model.spread;
  const double concentration = mean * (1 - mean) / (spread * spread) - 1;
  const double a = mean * concentration, b = (1 - mean) * concentration;
  std::vector<double> scaled;
  for (int raw = 0; raw <= highest; ++raw) {
    const double z = normalQuantile(incompleteBeta(a, b, (raw + 0.5) / cells));
    scaled.push_back(std::clamp(10 + 3 * z, 1.0, 19.0));
  }
  return scaled;
}

// What the table format fixes for one subtest and band beyond its row count.
struct Fixed {
  std::set<int> unreached;                  // scaled scores without a real row
  bool placeholders = false;                // whether those keep a row with both bounds 0
  std::map<int, std::pair<int, int>> rows;  // scaled -> (lowest, highest)
};

Fixed fixedRows(const std::string& code, const std::string& band) {
  Fixed fixed;
  if (band == "18" && band18Unreached().contains(code)) {
    fixed.unreached = band18Unreached().at(code);
    fixed.placeholders = true;
  }
  // The format documents the ends of band "16" "Tm" and that it skips 18.
  if (band == "16" && code == "Tm") {
    fixed.unreached = {18};
    fixed.rows = {{1, {0, 8}}, {19, {66, 66}}};
  }
  return fixed;
}

// The `levels` rows, from raw 0 to the last raw score, closest to the
// continuous scores in the sum of squares, found by dynamic programming.
std::vector<FittedRow> closestRows(const std::vector<double>& target, int levels, const Fixed& fixed) {
  const int rawCount = static_cast<int>(target.size());
  std::vector<double> sum(rawCount + 1, 0.0), squares(rawCount + 1, 0.0);
  for (int r = 0; r < rawCount; ++r) {
    sum[r + 1] = sum[r] + target[r];
    squares[r + 1] = squares[r] + target[r] * target[r];
  }
  // Cost of giving raw scores [from, to) the scaled score s.
  const auto cost = [&](int s, int from, int to) {
    return squares[to] - squares[from] - 2.0 * s * (sum[to] - sum[from]) + double(s) * s * (to - from);
  };
  const auto allowed = [&](int s, int from, int to) {
    if (fixed.unreached.contains(s)) return false;
    const auto pinned = fixed.rows.find(s);
    return pinned == fixed.rows.end() || (pinned->second.first == from && pinned->second.second == to - 1);
  };

  constexpr double none = std::numeric_limits<double>::infinity();
  // best[k][s][j]: least cost of raw scores [0, j) in k rows, the last scaled
  // s; choice[k][s][j]: the scaled score and first raw score of the row before.
  std::vector best(levels + 1, std::vector(20, std::vector<double>(rawCount + 1, none)));
  std::vector choice(levels + 1, std::vector(20, std::vector<std::pair<int, int>>(rawCount + 1)));
  for (int k = 1; k <= levels; ++k) {
    for (int s = k; s <= 19; ++s) {
      for (int j = k; j <= rawCount; ++j) {
        for (int i = k - 1; i < j; ++i) {
          if (!allowed(s, i, j)) continue;
          double before = k == 1 && i == 0 ? 0.0 : none;
          int previous = 0;
          for (int t = k - 1; k > 1 && t < s; ++t) {
            if (best[k - 1][t][i] < before) before = best[k - 1][t][i], previous = t;
          }
          if (before == none) continue;
          const double total = before + cost(s, i, j);
          if (total < best[k][s][j]) best[k][s][j] = total, choice[k][s][j] = {previous, i};
        }
      }
    }
  }
  int last = 0;
  for (int s = 1; s <= 19; ++s) {
    if (best[levels][s][rawCount] < (last ? best[levels][last][rawCount] : none)) last = s;
  }
  std::vector<FittedRow> rows;
  for (int k = levels, s = last, j = rawCount; k >= 1 && s; --k) {
    const auto [previous, i] = choice[k][s][j];
    rows.push_back({s, i, j - 1});
    s = previous, j = i;
  }
  std::reverse(rows.begin(), rows.end());
  return rows;
}

std::vector<FittedRow> normRows(const ModelledSubtest& subtest, const Band& band, int rowCount) {
  const std::string code = subtest.code;
  const int highest = highestRaw(code, band.key);
  const Fixed fixed = fixedRows(code, band.key);
  const int placeholders = fixed.placeholders ? static_cast<int>(fixed.unreached.size()) : 0;
  auto rows = closestRows(continuousScaled(subtest, band.age, highest), rowCount - placeholders, fixed);
  if (static_cast<int>(rows.size()) != rowCount - placeholders) {
    std::cerr << "band " << band.key << " " << code << ": cannot make " << rowCount << " rows\n";
    std::exit(1);
  }
  for (const auto& [scaled, bounds] : fixed.rows) {
    if (std::ranges::find(rows, FittedRow{scaled, bounds.first, bounds.second}) == rows.end()) {
      std::cerr << "band " << band.key << " " << code << ": cannot keep the row for " << scaled << "\n";
      std::exit(1);
    }
  }
  if (fixed.placeholders) {
    for (const int s : fixed.unreached) rows.push_back({s, 0, 0});
    std::ranges::sort(rows, {}, &FittedRow::scaled);
  }
  return rows;
}

// ---------------------------------------------------------------- conversion

struct IndexModel {
  double rho;
  double reliability;
  int lowestScore, highestScore;
};

// In the order of the index table.
constexpr std::array<IndexModel, kelmora::indexes.size()> indexModels = {{
    {0.70, 0.96, 45, 155},  // VFI
    {0.55, 0.95, 45, 155},  // PRI
    {0.60, 0.94, 50, 150},  // AMI
    {0.55, 0.90, 50, 150},  // PHI
    {0.45, 0.98, 40, 160},  // FSIQ
}};

// How many core subtests the sum of index i adds: those of its group, or all
// of them for the full scale.
int coreSubtestsOf(std::size_t i) {
  int count = 0;
  for (const auto& subtest : kelmora::subtests)
    if (subtest.core && (i == kelmora::indexGroupCount || kelmora::columnOf(subtest.group) == i)) ++count;
  return count;
}

// A percentile as a Norwegian report writes it: whole numbers in the middle,
// one decimal (with a decimal comma) near the ends, "<0,1" and ">99,9" beyond.
std::string percentileText(double percent) {
  if (percent < 0.1) return "<0,1";
  if (percent > 99.9) return ">99,9";
  const long tenths = std::lround(percent * 10);
  if (tenths < 10 || tenths > 990) {
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
  }
  return std::to_string(std::lround(percent));
}

std::string conversionTable(const IndexModel& index, int n) {
  const double deviation = 3.0 * std::sqrt(n + n * (n - 1) * index.rho);
  const double halfWidth = 1.96 * 15.0 * std::sqrt(index.reliability * (1 - index.reliability));
  std::ostringstream out;
  for (int sum = n; sum <= 19 * n; ++sum) {
    const double z = (sum - 10.0 * n) / deviation;
    const long score = std::clamp(std::lround(100 + 15 * z), static_cast<long>(index.lowestScore),
                                  static_cast<long>(index.highestScore));
    const double trueScore = 100 + index.reliability * (score - 100);
    out << sum << ';' << score << ';' << percentileText(100 * normalCdf((score - 100) / 15.0)) << ';'
        << std::lround(trueScore - halfWidth) << '-' << std::lround(trueScore + halfWidth) << '\n';
  }
  return out.str();
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) {
    std::cerr << path.string() << ": cannot write\n";
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kelmora_generate_demo_tables <resources folder>\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder / "norms");

  for (std::size_t b = 0; b < kelmora::bandKeys.size(); ++b) {
    const Band band{std::string(kelmora::bandKeys[b]), middleAges[b]};
    std::ostringstream out;
    for (std::size_t t = 0; t < modelledSubtests().size(); ++t) {
      const auto rows = normRows(modelledSubtests()[t], band, rowCounts[b][t]);
      for (const auto& row : rows) {
        out << modelledSubtests()[t].code << ';' << row.scaled << ';' << row.lowest << ';' << row.highest << '\n';
      }
    }
    writeFile(folder / "norms" / (band.key + ".csv"), out.str());
  }
  for (std::size_t i = 0; i < indexModels.size(); ++i) {
    writeFile(folder / (std::string(kelmora::indexes[i].file) + ".csv"),
              conversionTable(indexModels[i], coreSubtestsOf(i)));
  }
  return 0;
}
