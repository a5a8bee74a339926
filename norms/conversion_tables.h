#pragma once
// The five conversion tables (sum of scaled scores to index score,
// percentile and confidence interval), read from ";"-separated resource files.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kelmora {

using ConversionRow = std::vector<std::string>;
using ConversionTable = std::vector<ConversionRow>;
using ConversionTableMap = std::map<std::string, ConversionTable>;

// Table name ("VFI", "PRI", "AMI", "PHI", "FSIQ") to its rows. Empty at start;
// only loadTables() writes it and a table once read is never removed.
extern ConversionTableMap tables;

// Reads the five resources "Sheet 1-VFI.csv" ... "Sheet 5-FSIQ.csv" and stores
// each table read; a table whose file fails keeps what an earlier load stored.
void loadTables();

// The table in the resource "<fileName>.csv", or no value (with a line saying
// why) when it is missing or cannot be read as text.
std::optional<ConversionTable> readCSV(std::string_view fileName);

// The first row of table `name` whose first field is exactly `value`.
std::optional<ConversionRow> index(std::string_view name, std::string_view value);

// The file's bytes as UTF-8 text without a byte-order mark, or the
// description of why they are not text.
struct TextDecodingError {
  std::string description;
};
std::variant<std::string, TextDecodingError> decodeTableText(std::string_view bytes);

// Carriage returns removed, split at line feeds and at ";", empty lines and
// empty fields dropped; no quoting.
ConversionTable parseConversionTable(std::string_view text);

}  // namespace kelmora
