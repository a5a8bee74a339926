#include "support/package_builder.h"

#include <zip.h>

#include <ctime>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <variant>

#include "base/file_reading.h"

namespace kelmora::testing {
namespace {

constexpr std::time_t packageTime = 1704067200;  // 2024-01-01
const std::string xmlHeader = R"(<?xml version="1.0" encoding="UTF-8"?>)";
constexpr const char* mainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* relationshipsNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

}  // namespace

std::string relationship(const std::string& id, const std::string& kind, const std::string& target) {
  return R"(<Relationship Id=")" + id + R"(" Type=")" + relationshipsNamespace + "/" + kind + R"(" Target=")" + target +
         R"("/>)";
}

std::string relationships(const std::string& inner) {
  return xmlHeader + R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" + inner +
         "</Relationships>";
}

void writePackage(const std::filesystem::path& file, const std::vector<Part>& parts) {
  std::filesystem::remove(file);
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
  if (!archive) throw std::runtime_error("cannot create " + file.string());
  std::vector<std::filesystem::path> spilled;  // read by libzip only when it closes the package
  for (const auto& part : parts) {
    zip_source_t* source = nullptr;
    if (part.rest) {
      spilled.push_back(file.string() + ".part" + std::to_string(spilled.size()));
      std::ofstream out(spilled.back(), std::ios::binary);
      part.rest(out << part.content);
      out.close();  // libzip takes the file's size now
      source = zip_source_file(archive, spilled.back().c_str(), 0, 0);
    } else {
      source = zip_source_buffer(archive, part.content.data(), part.content.size(), 0);
    }
    const zip_int64_t index = zip_file_add(archive, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (!source || index < 0) throw std::runtime_error("cannot add " + part.name);
    // A fixed time keeps a package the same byte for byte, and so the seeds made from it.
    zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), packageTime, 0);
    if (part.stored) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    if (part.rest) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
  }
  const bool written = zip_close(archive) == 0;
  for (const auto& path : spilled) std::filesystem::remove(path);
  if (!written) throw std::runtime_error("cannot write " + file.string());
}

std::vector<Part> workbookParts(const WorkbookLayout& layout) {
  // A SpreadsheetML part: the root element, its attributes beyond the namespace, and what it holds.
  const auto part = [](const std::string& root, const std::string& attributes, const std::string& inner) {
    return xmlHeader + "<" + root + R"( xmlns=")" + mainNamespace + "\"" + attributes + ">" + inner + "</" + root + ">";
  };
  std::vector<Part> parts{{"_rels/.rels", relationships(relationship("rId1", "officeDocument", "xl/workbook.xml"))}};
  std::string sheets, sheetRelationships;
  for (std::size_t i = 0; i < layout.sheets.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    sheets += R"(<sheet name="Ark)" + number + R"(" sheetId=")" + number + R"(" r:id="rId)" + number + R"("/>)";
    sheetRelationships += relationship("rId" + number, "worksheet", "worksheets/sheet" + number + ".xml");
    const auto& data = layout.sheets[i];
    parts.push_back({"xl/worksheets/sheet" + number + ".xml",
                     part("worksheet", "", data ? "<sheetData>" + *data + "</sheetData>" : "")});
  }
  parts.push_back(
      {"xl/workbook.xml", part("workbook", R"( xmlns:r=")" + std::string(relationshipsNamespace) + "\"",
                               "<workbookPr " + layout.workbookProperties + "/><sheets>" + sheets + "</sheets>")});
  parts.push_back({"xl/_rels/workbook.xml.rels", relationships(sheetRelationships)});
  if (layout.cellFormats) {
    parts.push_back({"xl/styles.xml", part("styleSheet", "", "<cellXfs>" + *layout.cellFormats + "</cellXfs>")});
  }
  if (layout.sharedStrings) parts.push_back({"xl/sharedStrings.xml", part("sst", "", *layout.sharedStrings)});
  return parts;
}

std::vector<Part> withParts(std::vector<Part> parts, const std::vector<Part>& replacements) {
  for (const auto& part : replacements) {
    std::erase_if(parts, [&](const Part& held) { return held.name == part.name; });
    parts.push_back(part);
  }
  return parts;
}

std::string readFile(const std::filesystem::path& file) {
  auto bytes = readWholeFile(file);
  return std::holds_alternative<std::string>(bytes) ? std::get<std::string>(std::move(bytes)) : std::string();
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kelmora::testing
