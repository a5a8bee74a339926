#include "norms/conversion_tables.h"

#include <array>
#include <utility>

#include "base/diagnostics.h"
#include "base/file_reading.h"
#include "base/resource_folder.h"
#include "base/utf8.h"
#include "norms/debug_mode.h"
#include "norms/subtests.h"

namespace kelmora {

ConversionTableMap tables;

std::variant<std::string, TextDecodingError> decodeTableText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return TextDecodingError{"teksten er UTF-16; lagre filen som UTF-8"};
  }
  bytes = withoutByteOrderMark(bytes);
  // NUL is valid UTF-8 but never text: it is what UTF-16 without a mark
  // looks like, whose every lookup would then miss in silence.
  if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    return TextDecodingError{"teksten inneholder en NUL-byte (byte " + std::to_string(nul) +
                             "); er den UTF-16? Lagre filen som UTF-8"};
  }
  if (const auto at = firstIllFormedByte(bytes)) {
    return TextDecodingError{"teksten er ikke gyldig UTF-8 (byte " + std::to_string(*at) + ")"};
  }
  return std::string(bytes);
}

ConversionTable parseConversionTable(std::string_view text) {
  ConversionTable table;
  ConversionRow row;
  std::string field;
  bool lineHasText = false;  // a line of separators only is a row, an empty line is not
  const auto endField = [&] {
    if (!field.empty()) row.push_back(std::move(field));
    field.clear();
  };
  const auto endLine = [&] {
    endField();
    if (lineHasText) table.push_back(std::move(row));
    row.clear();
    lineHasText = false;
  };
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      endLine();
      continue;
    }
    lineHasText = true;
    if (c == ';') endField();
    else field += c;
  }
  endLine();
  return table;
}

std::optional<ConversionTable> readCSV(std::string_view fileName) {
  const auto path = bundle::pathForResource(fileName, "csv");
  if (!path) {
    printLine("Filen ble ikke funnet: " + std::string(fileName) + ".csv");
    return std::nullopt;
  }
  // The file's name first, so that the user knows which table to mend.
  const std::string failure = "Feil ved lesing av fil: " + path->filename().string() + ": ";
  auto bytes = readWholeFile(*path);
  if (auto* error = std::get_if<FileReadError>(&bytes)) {
    printLine(failure + error->description);
    return std::nullopt;
  }
  const auto text = decodeTableText(std::get<std::string>(bytes));
  if (const auto* error = std::get_if<TextDecodingError>(&text)) {
    printLine(failure + error->description);
    return std::nullopt;
  }
  return parseConversionTable(std::get<std::string>(text));
}

void loadTables() {
  if (debugMode) printLine("Tabellene lastes!");
  for (const Index& resource : indexes) {
    if (auto table = readCSV(resource.file)) {
      tables[std::string(resource.table)] = std::move(*table);
    }
  }
}

std::optional<ConversionRow> index(std::string_view name, std::string_view value) {
  const auto found = tables.find(std::string(name));
  if (found == tables.end()) {
    printLine("Tabell " + std::string(name) + " ikke funnet.");
    return std::nullopt;
  }
  const ConversionTable& table = found->second;
  if (debugMode) {
    printItems("Tabellen som ble funnet er: ", table);
    printItems("Det skal slås opp i verdi: ", value);
  }
  ConversionTable filteredArray;
  for (const auto& row : table) {
    if (!row.empty() && row.front() == value) filteredArray.push_back(row);
  }
  if (debugMode) printItems("filteredArray: ", filteredArray);
  if (filteredArray.empty()) return std::nullopt;
  return filteredArray.front();
}

}  // namespace kelmora
