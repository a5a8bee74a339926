#include "norms/conversion_tables.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>
#include <utility>

#include "norms/diagnostics.h"
#include "norms/resource_bundle.h"

namespace kelmora {

ConversionTableMap tables;

namespace {

struct TableResource {
  std::string_view fileName;
  std::string_view tableName;
};

constexpr std::array<TableResource, 5> tableResources = {{
    {"Sheet 1-VFI", "VFI"},
    {"Sheet 2-PRI", "PRI"},
    {"Sheet 3-AMI", "AMI"},
    {"Sheet 4-PHI", "PHI"},
    {"Sheet 5-FSIQ", "FSIQ"},
}};

// Length of the well-formed UTF-8 sequence at `at`, or 0 when it is not one
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view bytes, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > bytes.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return length;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, or the description of why it could not be read.
std::variant<std::string, TextDecodingError> readWholeFile(const std::filesystem::path& path) {
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    return TextDecodingError{"filen kan ikke åpnes (" + std::generic_category().message(errno) + ")"};
  }
  std::string bytes;
  std::array<char, 16384> buffer;
  while (true) {
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file.get());
    bytes.append(buffer.data(), count);
    if (count < buffer.size()) break;
  }
  if (std::ferror(file.get())) {
    return TextDecodingError{"filen kan ikke leses (" + std::generic_category().message(errno) + ")"};
  }
  return bytes;
}

}  // namespace

std::variant<std::string, TextDecodingError> decodeTableText(std::string_view bytes) {
  constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
  if (bytes.starts_with(utf8Mark)) bytes.remove_prefix(utf8Mark.size());
  else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    return TextDecodingError{"teksten er UTF-16; lagre filen som UTF-8"};
  }
  // NUL is valid UTF-8 but never text: it is what UTF-16 without a mark
  // looks like, whose every lookup would then miss in silence.
  if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
    return TextDecodingError{"teksten inneholder en NUL-byte (byte " + std::to_string(nul) +
                             "); er den UTF-16? Lagre filen som UTF-8"};
  }
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = utf8SequenceLength(bytes, at);
    if (length == 0) {
      return TextDecodingError{"teksten er ikke gyldig UTF-8 (byte " + std::to_string(at) + ")"};
    }
    at += length;
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
    printLine("Filen ble ikke funnet");
    return std::nullopt;
  }
  auto bytes = readWholeFile(*path);
  if (auto* error = std::get_if<TextDecodingError>(&bytes)) {
    printLine("Feil ved lesing av fil: " + error->description);
    return std::nullopt;
  }
  const auto text = decodeTableText(std::get<std::string>(bytes));
  if (const auto* error = std::get_if<TextDecodingError>(&text)) {
    printLine("Feil ved lesing av fil: " + error->description);
    return std::nullopt;
  }
  return parseConversionTable(std::get<std::string>(text));
}

void loadTables() {
  if (debugMode) printLine("Tabellene lastes!");
  for (const auto& resource : tableResources) {
    if (auto table = readCSV(resource.fileName)) {
      tables[std::string(resource.tableName)] = std::move(*table);
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
