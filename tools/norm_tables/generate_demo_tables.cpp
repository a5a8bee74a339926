// Generates kelmora's demonstration norm and conversion tables.
//
// The publisher's norms cannot be shipped, so kelmora ships tables made here
// from a stated statistical model. The output is deterministic; the committed
// files under resources/ are this program's output, and a test checks that.
//
// Usage: kelmora_generate_demo_tables <resources folder>
//   writes <folder>/norms/<band>.csv and <folder>/Sheet N-<index>.csv
//
// Norm model, for each subtest and age band:
//   - the raw score, as a fraction of the subtest's range, follows a beta
//     distribution whose mean follows the subtest's kind over age (speed
//     subtests fall from the early twenties, perceptual ones from thirty,
//     working-memory ones slowly from thirty-five, verbal ones rise into
//     middle age) and whose spread is the subtest's own;
//   - a raw score's z is the normal quantile of that distribution's
//     cumulative share at the middle of the raw score's cell, its scaled
//     score 10 + 3z rounded and kept within 1 to 19;
//   - the table format fixes how many scaled scores each subtest and band
//     has (the published tables skip scores that no raw score reaches): 1
//     and 19 are kept, and of the others those whose raw-score interval is
//     widest under the model; neighbouring kept scores share the raw scores
//     between them at the midpoint of their scaled values. In band "18" the
//     format fixes which scores are unreached: each keeps a row with both
//     bounds 0 in its place.
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
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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
  const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1.0) / (a + b + 2.0)) return front * betaContinuedFraction(a, b, x) / a;
  return 1.0 - front * betaContinuedFraction(b, a, 1.0 - x) / b;
}

// The x in [0, 1] at which the beta CDF reaches p, by bisection.
double inverseIncompleteBeta(double a, double b, double p) {
  double low = 0.0, high = 1.0;
  for (int i = 0; i < 100; ++i) {
    const double middle = 0.5 * (low + high);
    if (incompleteBeta(a, b, middle) < p) low = middle;
    else high = middle;
  }
  return 0.5 * (low + high);
}

// ---------------------------------------------------------------- norms

enum class Kind { speed, perceptual, memory, verbal };

struct Subtest {
  const char* code;
  Kind kind;
  double mean;    // raw-score mean as a fraction of the range, at age 25
  double spread;  // raw-score deviation as a fraction of the range
};

constexpr std::array<Subtest, 15> subtests = {{
    {"Tm", Kind::perceptual, 0.68, 0.185},
    {"Li", Kind::verbal, 0.66, 0.15},
    {"Th", Kind::memory, 0.58, 0.12},
    {"Mr", Kind::perceptual, 0.66, 0.17},
    {"Of", Kind::verbal, 0.62, 0.16},
    {"Rg", Kind::memory, 0.62, 0.15},
    {"Sl", Kind::speed, 0.55, 0.13},
    {"Vp", Kind::perceptual, 0.60, 0.17},
    {"In", Kind::verbal, 0.50, 0.18},
    {"Kd", Kind::speed, 0.55, 0.12},
    {"Bt", Kind::memory, 0.65, 0.12},
    {"Fv", Kind::perceptual, 0.60, 0.18},
    {"Rs", Kind::verbal, 0.64, 0.14},
    {"Ut", Kind::speed, 0.57, 0.13},
    {"Bu", Kind::perceptual, 0.58, 0.16},
}};

struct Band {
  const char* key;
  double age;  // middle of the band's ages
};

constexpr std::array<Band, 9> bands = {{
    {"16", 16.5}, {"18", 18.5}, {"20", 22.0}, {"25", 27.0}, {"30", 32.0},
    {"35", 39.5}, {"45", 49.5}, {"55", 59.5}, {"65", 70.0},
}};

// Rows per subtest (in the order of `subtests`) and band, as the table format has them.
constexpr int rowCounts[9][15] = {
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

// Highest raw score of each subtest, with the bands that differ.
int highestRaw(const std::string& code, const std::string& band) {
  static const std::map<std::string, int> usual = {
      {"Tm", 66}, {"Li", 36}, {"Th", 48}, {"Mr", 26}, {"Of", 57}, {"Rg", 22}, {"Sl", 60}, {"Vp", 26},
      {"In", 26}, {"Kd", 135}, {"Bt", 30}, {"Fv", 27}, {"Rs", 36}, {"Ut", 72}, {"Bu", 24}};
  static const std::map<std::pair<std::string, std::string>, int> special = {
      {{"Mr", "16"}, 22}, {{"Mr", "20"}, 29}, {{"Rg", "20"}, 28}, {{"Vp", "20"}, 27},
      {{"In", "65"}, 25}, {{"Bt", "16"}, 36}, {{"Bt", "30"}, 39}, {{"Bt", "45"}, 39},
      {{"Fv", "16"}, 36}, {{"Fv", "20"}, 36}, {{"Fv", "30"}, 30}, {{"Fv", "45"}, 30},
      {{"Rs", "25"}, 35}};
  const auto found = special.find({code, band});
  return found != special.end() ? found->second : usual.at(code);
}

// Band "18": the scaled scores that no raw score reaches; each keeps a row
// with both bounds 0.
const std::map<std::string, std::set<int>>& band18Unreached() {
  static const std::map<std::string, std::set<int>> unreached = {
      {"Tm", {18}}, {"Mr", {13, 15, 19}}, {"Rg", {17, 18}}, {"Vp", {18}}, {"Bt", {15}}, {"Fv", {16, 18}}};
  return unreached;
}

// Shift of the mean fraction from its value at age 25.
double ageTrend(Kind kind, double age) {
  switch (kind) {
    case Kind::speed:
      return age < 22 ? -0.008 * (22 - age) : -0.0055 * std::max(0.0, age - 25);
    case Kind::perceptual:
      return age < 20 ? -0.006 * (20 - age) : -0.0045 * std::max(0.0, age - 30);
    case Kind::memory:
      return age < 20 ? -0.005 * (20 - age) : -0.0025 * std::max(0.0, age - 35);
    case Kind::verbal:
      return 0.004 * (std::min(age, 50.0) - 25) - 0.002 * std::max(0.0, age - 60);
  }
  return 0;
}

struct NormRow {
  int scaled, lowest, highest;
};

// The raw scores of one subtest and band, continuous from -0.5 to highest + 0.5.
struct RawModel {
  double a, b;
  int highest;

  // The raw position at which the continuous scaled score reaches `scaled`.
  double rawAtScaled(double scaled) const {
    const double u = inverseIncompleteBeta(a, b, normalCdf((scaled - 10.0) / 3.0));
    return u * (highest + 1) - 0.5;
  }
};

std::vector<NormRow> normRows(const Subtest& subtest, const Band& band, int rowCount) {
  const std::string code = subtest.code;
  const int highest = highestRaw(code, band.key);
  const double mean = std::clamp(subtest.mean + ageTrend(subtest.kind, band.age), 0.15, 0.85);
  const double spread = subtest.spread;
  const double concentration = mean * (1 - mean) / (spread * spread) - 1;
  const RawModel model{mean * concentration, (1 - mean) * concentration, highest};

  // The scaled scores that get a row.
  std::set<int> placeholders;
  std::vector<int> kept;
  if (std::string(band.key) == "18" && band18Unreached().contains(code)) {
    placeholders = band18Unreached().at(code);
    for (int s = 1; s <= 19; ++s) {
      if (!placeholders.contains(s)) kept.push_back(s);
    }
  } else {
    std::vector<std::pair<double, int>> widths;  // (raw width, scaled) of 2 to 18
    for (int s = 2; s <= 18; ++s) {
      widths.push_back({model.rawAtScaled(s + 0.5) - model.rawAtScaled(s - 0.5), s});
    }
    std::stable_sort(widths.begin(), widths.end(),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    kept = {1, 19};
    for (int i = 0; i < rowCount - 2; ++i) kept.push_back(widths[i].second);
    std::sort(kept.begin(), kept.end());
  }
  const int levels = static_cast<int>(kept.size());
  if (levels + static_cast<int>(placeholders.size()) != rowCount || levels > highest + 1) {
    std::cerr << "band " << band.key << " " << code << ": cannot make " << rowCount << " rows\n";
    std::exit(1);
  }

  // first[j]: the lowest raw score of kept level j; level 0 starts at raw 0.
  std::vector<int> first(levels, 0);
  for (int j = 1; j < levels; ++j) {
    const double cut = model.rawAtScaled(0.5 * (kept[j - 1] + kept[j]));
    first[j] = std::clamp(static_cast<int>(std::ceil(cut)), j, highest - (levels - 1 - j));
  }
  for (int j = 1; j < levels; ++j) first[j] = std::max(first[j], first[j - 1] + 1);

  std::vector<NormRow> rows;
  std::size_t j = 0;
  for (int s = 1; s <= 19; ++s) {
    if (placeholders.contains(s)) {
      rows.push_back({s, 0, 0});
    } else if (j < kept.size() && kept[j] == s) {
      const int last = j + 1 < kept.size() ? first[j + 1] - 1 : highest;
      rows.push_back({s, first[j], last});
      ++j;
    }
  }
  return rows;
}

// ---------------------------------------------------------------- conversion

struct IndexModel {
  const char* fileName;
  int subtests;
  double rho;
  double reliability;
  int lowestScore, highestScore;
};

constexpr std::array<IndexModel, 5> indexes = {{
    {"Sheet 1-VFI", 3, 0.70, 0.96, 45, 155},
    {"Sheet 2-PRI", 3, 0.55, 0.95, 45, 155},
    {"Sheet 3-AMI", 2, 0.60, 0.94, 50, 150},
    {"Sheet 4-PHI", 2, 0.55, 0.90, 50, 150},
    {"Sheet 5-FSIQ", 10, 0.45, 0.98, 40, 160},
}};

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

std::string conversionTable(const IndexModel& index) {
  const int n = index.subtests;
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

  for (std::size_t b = 0; b < bands.size(); ++b) {
    std::ostringstream out;
    for (std::size_t t = 0; t < subtests.size(); ++t) {
      const auto rows = normRows(subtests[t], bands[b], rowCounts[b][t]);
      // The format documents two rows of band "16" "Tm"; the model's
      // parameters for that subtest are chosen so that it gives them.
      if (b == 0 && t == 0) {
        const auto& front = rows.front();
        const auto& back = rows.back();
        if (front.scaled != 1 || front.lowest != 0 || front.highest != 8 || back.scaled != 19 ||
            back.lowest != 66 || back.highest != 66) {
          std::cerr << "band 16 Tm does not give the documented rows (1, 0, 8) and (19, 66, 66)\n";
          return 1;
        }
      }
      for (const auto& row : rows) {
        out << subtests[t].code << ';' << row.scaled << ';' << row.lowest << ';' << row.highest << '\n';
      }
    }
    writeFile(folder / "norms" / (std::string(bands[b].key) + ".csv"), out.str());
  }
  for (const auto& index : indexes) {
    writeFile(folder / (std::string(index.fileName) + ".csv"), conversionTable(index));
  }
  return 0;
}
