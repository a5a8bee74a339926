// Build step: turns resources/norms/<band>.csv into a C++ source that holds the
// rows as constant data. A malformed file stops the build with its path and
// line, in the form compilers use, so editors can jump to it.
//
// Usage: compile_norm_tables <output.cpp> <folder holding the band files>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>

#include "base/file_reading.h"
#include "norms/norm_file.h"

namespace {

std::string literal(std::int64_t value) {
  // The smallest value has no literal of its own: its magnitude does not fit.
  if (value == std::numeric_limits<std::int64_t>::min()) return "(-9223372036854775807 - 1)";
  return std::to_string(value);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: compile_norm_tables <output.cpp> <folder of band files>\n";
    return 2;
  }
  const std::filesystem::path output = argv[1];
  const std::filesystem::path folder = argv[2];

  std::ostringstream code;
  code << "// Generated from the band files in resources/norms by compile_norm_tables.\n"
       << "// Do not edit: change the band files and rebuild.\n"
       << "#include \"norms/norm_table_data.h\"\n\n"
       << "namespace kelmora::detail {\nnamespace {\n";

  bool failed = false;
  for (std::string_view band : kelmora::bandKeys) {
    const auto path = folder / (std::string(band) + ".csv");
    const auto text = kelmora::readWholeFile(path);
    if (const auto* error = std::get_if<kelmora::FileReadError>(&text)) {
      std::cerr << path.string() << ": error: cannot read the norm file of band " << band << ": " << error->description
                << "\n";
      failed = true;
      continue;
    }
    const auto parsed = kelmora::parseNormFile(std::get<std::string>(text));
    if (const auto* error = std::get_if<kelmora::NormFileError>(&parsed)) {
      std::cerr << path.string();
      if (error->line > 0) std::cerr << ":" << error->line;
      std::cerr << ": error: " << error->message << "\n";
      failed = true;
      continue;
    }
    code << "constexpr NormEntry band" << band << "[] = {\n";
    for (const auto& row : std::get<std::vector<kelmora::NormFileRow>>(parsed)) {
      code << "    {\"" << row.code << "\", " << literal(row.scaled) << ", " << literal(row.lowest) << ", "
           << literal(row.highest) << "},\n";
    }
    code << "};\n";
  }
  if (failed) return 1;

  code << "}  // namespace\n\nconst std::array<NormBandData, bandKeys.size()> normBands = {{\n";
  for (std::string_view band : kelmora::bandKeys) {
    code << "    {\"" << band << "\", band" << band << "},\n";
  }
  code << "}};\n\n}  // namespace kelmora::detail\n";

  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out << code.str();
  if (!out) {
    std::cerr << output.string() << ": error: cannot write the generated source\n";
    return 1;
  }
  return 0;
}
