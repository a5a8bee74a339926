#include "data/package_builder.h"

#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kelmora::testing {
namespace {

constexpr const char* mainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* relationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Produces content followed by the generated pieces, on demand.
struct PieceSource {
  std::string content;
  std::function<std::string(std::uint64_t)> pieces;
  std::uint64_t total = 0;
  std::string pending = {};  // what is made but not yet handed over
  std::uint64_t nextPiece = 0;
  bool done = false;

  static zip_int64_t callback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* self = static_cast<PieceSource*>(userdata);
    switch (command) {
      case ZIP_SOURCE_OPEN:
        self->pending = self->content;
        self->nextPiece = 0;
        self->done = false;
        return 0;
      case ZIP_SOURCE_READ: {
        while (self->pending.size() < length && !self->done) {
          std::string piece = self->pieces(self->nextPiece++);
          if (piece.empty()) self->done = true;
          self->pending += piece;
        }
        const std::size_t count = std::min<std::size_t>(length, self->pending.size());
        std::memcpy(data, self->pending.data(), count);
        self->pending.erase(0, count);
        return static_cast<zip_int64_t>(count);
      }
      case ZIP_SOURCE_CLOSE:
        return 0;
      case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = self->total;
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_ERROR:
        return 2 * sizeof(int);
      case ZIP_SOURCE_FREE:
        delete self;
        return 0;
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
      default:
        return -1;
    }
  }
};

}  // namespace

void writePackage(const std::filesystem::path& file, const std::vector<Part>& parts) {
  std::filesystem::remove(file);
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
  if (!archive) throw std::runtime_error("cannot create " + file.string());
  for (const auto& part : parts) {
    zip_source_t* source = nullptr;
    if (part.pieces) {
      auto* pieces = new PieceSource{part.content, part.pieces};
      // libzip wants the size up front; making the pieces twice is cheap.
      pieces->total = part.content.size();
      for (std::uint64_t i = 0;; ++i) {
        const auto size = part.pieces(i).size();
        if (size == 0) break;
        pieces->total += size;
      }
      source = zip_source_function(archive, &PieceSource::callback, pieces);
    } else {
      // libzip reads the bytes when the archive is closed; keep a copy alive
      // until then by letting libzip free it.
      char* bytes = static_cast<char*>(std::malloc(std::max<std::size_t>(part.content.size(), 1)));
      std::memcpy(bytes, part.content.data(), part.content.size());
      source = zip_source_buffer(archive, bytes, part.content.size(), 1);
    }
    const zip_int64_t index = zip_file_add(archive, part.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) throw std::runtime_error("cannot add " + part.name);
    if (part.stored) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    if (part.pieces) zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 1);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("cannot write " + file.string());
}

std::function<std::string(std::uint64_t)> blanks(std::uint64_t count) {
  static constexpr std::uint64_t pieceSize = 1024 * 1024;
  return [count](std::uint64_t index) {
    const std::uint64_t start = index * pieceSize;
    return start >= count ? std::string() : std::string(std::min(pieceSize, count - start), ' ');
  };
}

std::vector<Part> workbookParts(const WorkbookLayout& layout) {
  const std::string xmlHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  std::vector<Part> parts;
  parts.push_back({"_rels/.rels",
                   xmlHeader + R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                               R"(<Relationship Id="rId1" Type=")" + std::string(relationshipsNamespace) +
                       R"(/officeDocument" Target="xl/workbook.xml"/></Relationships>)"});

  std::string sheets;
  std::string relationships;
  for (std::size_t i = 0; i < layout.sheets.size(); ++i) {
    const std::string number = std::to_string(i + 1);
    sheets += R"(<sheet name="Ark)" + number + R"(" sheetId=")" + number + R"(" r:id="rId)" + number + R"("/>)";
    relationships += R"(<Relationship Id="rId)" + number + R"(" Type=")" + std::string(relationshipsNamespace) +
                     R"(/worksheet" Target="worksheets/sheet)" + number + R"(.xml"/>)";
    const auto& data = layout.sheets[i];
    parts.push_back({"xl/worksheets/sheet" + number + ".xml",
                     xmlHeader + R"(<worksheet xmlns=")" + mainNamespace + R"(">)" +
                         (data ? "<sheetData>" + *data + "</sheetData>" : "") + "</worksheet>"});
  }
  parts.push_back({"xl/workbook.xml", xmlHeader + R"(<workbook xmlns=")" + mainNamespace + R"(" xmlns:r=")" +
                                          relationshipsNamespace + R"("><workbookPr )" + layout.workbookProperties +
                                          "/><sheets>" + sheets + "</sheets></workbook>"});
  parts.push_back({"xl/_rels/workbook.xml.rels",
                   xmlHeader + R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)" +
                       relationships + "</Relationships>"});
  if (layout.cellFormats) {
    parts.push_back({"xl/styles.xml", xmlHeader + R"(<styleSheet xmlns=")" + mainNamespace +
                                          R"("><cellXfs>)" + *layout.cellFormats + "</cellXfs></styleSheet>"});
  }
  if (layout.sharedStrings) {
    parts.push_back({"xl/sharedStrings.xml",
                     xmlHeader + R"(<sst xmlns=")" + mainNamespace + R"(">)" + *layout.sharedStrings + "</sst>"});
  }
  return parts;
}

std::vector<Part> withPart(std::vector<Part> parts, Part part) {
  std::erase_if(parts, [&](const Part& existing) { return existing.name == part.name; });
  parts.push_back(std::move(part));
  return parts;
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kelmora-data-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace kelmora::testing
