#include "support/package_builder.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kelmora::testing {
namespace {

constexpr std::time_t packageTime = 1704067200;  // 2024-01-01
const std::string xmlHeader = R"(<?xml version="1.0" encoding="UTF-8"?>)";
constexpr const char* mainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* relationshipsNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Hands libzip a part's content and then its pieces, made as libzip reads. A
// source that does not answer ZIP_SOURCE_SUPPORTS is taken as read-only.
struct PartSource {
  Part part;
  std::uint64_t size = 0;
  std::string pending = {};  // made but not yet handed over
  std::uint64_t nextPiece = 0;
  bool more = false;

  static zip_int64_t callback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* self = static_cast<PartSource*>(userdata);
    switch (command) {
      case ZIP_SOURCE_OPEN:
        self->pending = self->part.content;
        self->nextPiece = 0;
        self->more = static_cast<bool>(self->part.pieces);
        return 0;
      case ZIP_SOURCE_READ: {
        while (self->pending.size() < length && self->more) {
          const std::string piece = self->part.pieces(self->nextPiece++);
          self->more = !piece.empty();
          self->pending += piece;
        }
        const std::size_t count = std::min<std::size_t>(length, self->pending.size());
        std::memcpy(data, self->pending.data(), count);
        self->pending.erase(0, count);
        return static_cast<zip_int64_t>(count);
      }
      case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = self->size;
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_CLOSE:
        return 0;
      case ZIP_SOURCE_ERROR:
        return 2 * sizeof(int);
      case ZIP_SOURCE_FREE:
        delete self;
        return 0;
      default:
        return -1;
    }
  }
};

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
  for (const auto& part : parts) {
    // libzip wants the size up front; making the pieces twice is cheap.
    auto* source = new PartSource{part, part.content.size()};
    if (part.pieces) {
      for (std::uint64_t i = 0; const auto size = part.pieces(i).size(); ++i) source->size += size;
    }
    const zip_int64_t index = zip_file_add(
        archive, part.name.c_str(), zip_source_function(archive, &PartSource::callback, source), ZIP_FL_ENC_UTF_8);
    if (index < 0) throw std::runtime_error("cannot add " + part.name);
    // A fixed time keeps a package the same byte for byte, and so the seeds made from it.
    zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), packageTime, 0);
    if (part.stored) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    if (part.pieces) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("cannot write " + file.string());
}

std::vector<Part> workbookParts(const WorkbookLayout& layout) {
  std::vector<Part> parts{{"_rels/.rels", relationships(relationship("rId1", "officeDocument", "xl/workbook.xml"))}};
  std::string sheets, sheetRelationships;
  for (std::size_t i = 0; i < layout.sheets.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    sheets += R"(<sheet name="Ark)" + number + R"(" sheetId=")" + number + R"(" r:id="rId)" + number + R"("/>)";
    sheetRelationships += relationship("rId" + number, "worksheet", "worksheets/sheet" + number + ".xml");
    const auto& data = layout.sheets[i];
    parts.push_back({"xl/worksheets/sheet" + number + ".xml",
                     xmlHeader + R"(<worksheet xmlns=")" + mainNamespace + R"(">)" +
                         (data ? "<sheetData>" + *data + "</sheetData>" : "") + "</worksheet>"});
  }
  parts.push_back({"xl/workbook.xml", xmlHeader + R"(<workbook xmlns=")" + mainNamespace + R"(" xmlns:r=")" +
                                          relationshipsNamespace + R"("><workbookPr )" + layout.workbookProperties +
                                          "/><sheets>" + sheets + "</sheets></workbook>"});
  parts.push_back({"xl/_rels/workbook.xml.rels", relationships(sheetRelationships)});
  if (layout.cellFormats) {
    parts.push_back({"xl/styles.xml", xmlHeader + R"(<styleSheet xmlns=")" + mainNamespace + R"("><cellXfs>)" +
                                          *layout.cellFormats + "</cellXfs></styleSheet>"});
  }
  if (layout.sharedStrings) {
    parts.push_back({"xl/sharedStrings.xml",
                     xmlHeader + R"(<sst xmlns=")" + mainNamespace + R"(">)" + *layout.sharedStrings + "</sst>"});
  }
  return parts;
}

std::vector<Part> withPart(std::vector<Part> parts, Part part) {
  parts = withoutPart(std::move(parts), part.name);
  parts.push_back(std::move(part));
  return parts;
}

std::vector<Part> withoutPart(std::vector<Part> parts, const std::string& name) {
  std::erase_if(parts, [&](const Part& part) { return part.name == name; });
  return parts;
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kelmora::testing
