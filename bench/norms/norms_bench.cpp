// Costs of the subsystem's calls, trace output captured rather than printed.

#include <benchmark/benchmark.h>

#include "base/diagnostics.h"
#include "base/resource_folder.h"
#include "norms/conversion_tables.h"
#include "norms/dates.h"
#include "norms/lookup.h"
#include "norms/norm_tables.h"

namespace kelmora {
namespace {

// The largest code: the raw score in the last of its 19 rows.
void lookupLastRow(benchmark::State& state) {
  rangetables();
  for (auto _ : state) {
    OutputCapture capture;
    benchmark::DoNotOptimize(lookupValue("25", "Kd", 135));
  }
}
BENCHMARK(lookupLastRow);

// The ten lookups of one scoring run, in the client's band.
void lookupTenSubtests(benchmark::State& state) {
  const std::pair<const char*, std::int64_t> raws[] = {{"Tm", 40}, {"Li", 25}, {"Th", 28}, {"Mr", 18}, {"Of", 38},
                                                       {"Rg", 14}, {"Sl", 33}, {"Vp", 16}, {"In", 13}, {"Kd", 75}};
  rangetables();
  for (auto _ : state) {
    OutputCapture capture;
    for (const auto& [code, raw] : raws) benchmark::DoNotOptimize(lookupValue("35", code, raw));
  }
}
BENCHMARK(lookupTenSubtests);

void bandChoice(benchmark::State& state) {
  const auto& tables = rangetables();
  std::int64_t age = 16;
  for (auto _ : state) {
    benchmark::DoNotOptimize(getClosestAgeTableKey(age, tables));
    age = age == 90 ? 16 : age + 1;
  }
}
BENCHMARK(bandChoice);

void loadAllTables(benchmark::State& state) {
  bundle::setResourceDirectory(KELMORA_TEST_RESOURCES);
  for (auto _ : state) {
    OutputCapture capture;
    loadTables();
  }
}
BENCHMARK(loadAllTables);

// The full-scale lookup, whose debug lines dump the whole table.
void fullScaleRow(benchmark::State& state) {
  bundle::setResourceDirectory(KELMORA_TEST_RESOURCES);
  {
    OutputCapture capture;
    loadTables();
  }
  for (auto _ : state) {
    OutputCapture capture;
    benchmark::DoNotOptimize(index("FSIQ", "100"));
  }
}
BENCHMARK(fullScaleRow);

void parseAndAge(benchmark::State& state) {
  for (auto _ : state) {
    const auto birth = konverterDatoFraStreng("15-06-1980");
    const auto test = konverterDatoFraStreng("14-06-2020");
    benchmark::DoNotOptimize(alderPåTestDato(*birth, *test));
  }
}
BENCHMARK(parseAndAge);

}  // namespace
}  // namespace kelmora
