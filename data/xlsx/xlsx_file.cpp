#include "data/xlsx/xlsx_file.h"

#include <algorithm>
#include <array>
#include <map>

#include "base/whole_number.h"
#include "data/xlsx/xlsx_error.h"
#include "data/xlsx/xml_reader.h"

namespace kelmora::xlsx {
namespace {

constexpr std::string_view stylesPart = "xl/styles.xml";
constexpr std::string_view sharedStringsPart = "xl/sharedStrings.xml";

// Transitional and strict spellings of the relationship vocabulary.
constexpr std::array<std::string_view, 2> relationshipNamespaces = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://purl.oclc.org/ooxml/officeDocument/relationships",
};

bool isRelationshipType(std::string_view type, std::string_view kind) {
  return std::any_of(relationshipNamespaces.begin(), relationshipNamespaces.end(), [&](std::string_view ns) {
    return type.size() == ns.size() + 1 + kind.size() && type.starts_with(ns) && type[ns.size()] == '/' &&
           type.ends_with(kind);
  });
}

// Attribute values in error descriptions are cut short: they come from the file.
std::string shown(std::string_view value) {
  constexpr std::size_t limit = 40;
  return "\"" + std::string(value.substr(0, limit)) + (value.size() > limit ? "...\"" : "\"");
}

[[noreturn]] void badAttribute(std::string_view part, std::string_view element, std::string_view attribute,
                               std::string_view value, std::string_view expected) {
  throw XlsxError(XlsxError::Kind::badAttribute, std::string(part),
                  std::string(part) + ": the attribute " + std::string(attribute) + " of an element " +
                      std::string(element) + " holds " + shown(value) + ", which is not " + std::string(expected));
}

std::int64_t wholeNumberAttribute(std::string_view part, std::string_view element, std::string_view attribute,
                                  const char* value) {
  const auto number = parseWholeNumber(value);
  if (!number) badAttribute(part, element, attribute, value, "a whole number");
  return *number;
}

bool booleanAttribute(std::string_view part, std::string_view element, std::string_view attribute, const char* value) {
  const std::string_view text(value);
  if (text == "1" || text == "true") return true;
  if (text == "0" || text == "false") return false;
  badAttribute(part, element, attribute, value, "a boolean");
}

std::optional<CellType> cellTypeOf(std::string_view text) {
  // clang-format off
  static const std::map<std::string_view, CellType> types = {
      {"b", CellType::boolean},      {"d", CellType::date},   {"n", CellType::number},
      {"e", CellType::error},        {"s", CellType::sharedString},
      {"str", CellType::string},     {"inlineStr", CellType::inlineStr},
  };
  // clang-format on
  const auto found = types.find(text);
  if (found == types.end()) return std::nullopt;
  return found->second;
}

// Every handler below looks only at elements on the path where the schema
// puts them, the open elements below the part's root (XmlHandler::at), so an
// element of the same name elsewhere is passed over.

struct Relationship {
  std::string type;
  std::string target;
  bool external = false;
};

class RelationshipsHandler : public XmlHandler {
 public:
  explicit RelationshipsHandler(std::string_view part) : part_(part) {}

  void startElement(std::string_view, const XmlAttributes& attributes) override {
    if (!at({"Relationship"})) return;
    const char* id = attributes.find("Id");
    const char* type = attributes.find("Type");
    const char* target = attributes.find("Target");
    if (!id || !type || !target) {
      throw XlsxError(XlsxError::Kind::badRelationship, part_, part_ + ": a relationship lacks its Id, Type or Target");
    }
    const char* mode = attributes.find("TargetMode");
    Relationship relationship{type, target, mode && std::string_view(mode) == "External"};
    order.push_back(id);
    byId.emplace(id, std::move(relationship));
  }

  std::vector<std::string> order;  // ids in document order
  std::map<std::string, Relationship> byId;

 private:
  std::string part_;
};

RelationshipsHandler readRelationships(const ZipPackage& package, std::string_view part) {
  RelationshipsHandler handler(part);
  readXmlPart(package, part, handler);
  return handler;
}

class StylesHandler : public XmlHandler {
 public:
  void startElement(std::string_view, const XmlAttributes& attributes) override {
    if (at({"cellXfs"})) {
      if (!styles.cellFormats) styles.cellFormats.emplace();
    } else if (at({"cellXfs", "xf"})) {
      Format format;
      // numFmtId is optional in the schema, with 0 (General) as its default.
      if (const char* id = attributes.find("numFmtId")) {
        format.numberFormatId = wholeNumberAttribute(stylesPart, "xf", "numFmtId", id);
      }
      styles.cellFormats->items.push_back(format);
    }
  }
  Styles styles;
};

class SharedStringsHandler : public XmlHandler {
 public:
  void startElement(std::string_view, const XmlAttributes&) override {
    if (at({"si"})) {
      strings.items.emplace_back();
    } else if (at({"si", "t"}) && !strings.items.back().text) {
      // Only the item's own plain text; the "t" inside rich-text runs and
      // phonetic runs sits one level deeper and is not the item's text.
      strings.items.back().text.emplace();
      inText_ = true;
    }
  }
  void endElement(std::string_view) override { inText_ = false; }
  void characters(std::string_view text) override {
    if (inText_) strings.items.back().text->append(text);
  }

  SharedStrings strings;

 private:
  bool inText_ = false;  // in the item's first "t", the one that is its text
};

class WorkbookHandler : public XmlHandler {
 public:
  explicit WorkbookHandler(std::string_view part) { workbook.path = part; }

  void startElement(std::string_view, const XmlAttributes& attributes) override {
    if (at({"workbookPr"})) {
      if (const char* value = attributes.find("date1904")) {
        workbook.date1904 = booleanAttribute(workbook.path, "workbookPr", "date1904", value);
      }
    } else if (at({"sheets", "sheet"})) {
      const char* id = nullptr;
      for (std::string_view ns : relationshipNamespaces) {
        if ((id = attributes.find(ns, "id"))) break;
      }
      // A sheet without a relationship cannot be found, like a chart sheet.
      if (!id) return;
      Workbook::Sheet sheet;
      if (const char* sheetName = attributes.find("name")) sheet.name = sheetName;
      sheet.relationship = id;
      workbook.sheets.push_back(std::move(sheet));
    }
  }
  Workbook workbook;
};

class WorksheetHandler : public XmlHandler {
 public:
  WorksheetHandler(std::string_view part, std::size_t rowsToKeep) : part_(part), rowsToKeep_(rowsToKeep) {}

  void startElement(std::string_view, const XmlAttributes& attributes) override {
    if (at({"sheetData"})) {
      if (!sheet.data) sheet.data.emplace();
    } else if (at({"sheetData", "row"})) {
      keepingRow_ = keptRows_ < rowsToKeep_;
      if (keepingRow_) {
        sheet.data->rows.emplace_back();
        ++keptRows_;
      }
    } else if (at({"sheetData", "row", "c"})) {
      // Attributes are checked in every row, kept or not, so that a sheet
      // with a bad cell anywhere fails as a whole.
      Cell cell;
      if (const char* type = attributes.find("t")) {
        cell.type = cellTypeOf(type);
        if (!cell.type) badAttribute(part_, "c", "t", type, "a cell type");
      }
      if (const char* style = attributes.find("s")) {
        cell.styleIndex = wholeNumberAttribute(part_, "c", "s", style);
      }
      if (keepingRow_) sheet.data->rows.back().cells.push_back(std::move(cell));
    } else if (at({"sheetData", "row", "c", "v"}) && keepingRow_) {
      sheet.data->rows.back().cells.back().value.emplace();
    }
  }
  void characters(std::string_view text) override {
    if (keepingRow_ && at({"sheetData", "row", "c", "v"})) sheet.data->rows.back().cells.back().value->append(text);
  }

  Worksheet sheet;

 private:
  std::string part_;
  std::size_t rowsToKeep_;
  std::size_t keptRows_ = 0;
  bool keepingRow_ = false;  // the row being read is one of those kept
};

std::string directoryOf(std::string_view part) {
  const auto slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

// A package path names a part only as a plain list of segments.
bool isPlainPartName(std::string_view path) {
  if (path.empty() || path.front() == '/') return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    const auto slash = std::min(path.find('/', start), path.size());
    const auto segment = path.substr(start, slash - start);
    if (segment.empty() || segment == "." || segment == "..") return false;
    start = slash + 1;
  }
  return true;
}

}  // namespace

std::string relationshipsPartOf(std::string_view partName) {
  const std::string directory = directoryOf(partName);
  return directory + "_rels/" + std::string(partName.substr(directory.size())) + ".rels";
}

std::optional<std::string> resolveTarget(std::string_view sourcePart, std::string_view target) {
  std::string joined =
      target.starts_with('/') ? std::string(target.substr(1)) : directoryOf(sourcePart) + std::string(target);
  std::vector<std::string_view> segments;
  std::string_view rest(joined);
  while (!rest.empty()) {
    const auto slash = std::min(rest.find('/'), rest.size());
    const auto segment = rest.substr(0, slash);
    rest.remove_prefix(std::min(slash + 1, rest.size()));
    if (segment.empty() || segment == ".") continue;
    if (segment == "..") {
      if (segments.empty()) return std::nullopt;
      segments.pop_back();
    } else {
      segments.push_back(segment);
    }
  }
  std::string path;
  for (const auto segment : segments) {
    if (!path.empty()) path += '/';
    path += segment;
  }
  if (path.empty()) return std::nullopt;
  return path;
}

std::optional<XLSXFile> XLSXFile::open(const std::filesystem::path& file) {
  auto package = ZipPackage::open(file);
  if (!package) return std::nullopt;
  return XLSXFile(std::move(*package));
}

std::optional<XLSXFile> XLSXFile::openBuffer(std::string_view bytes) {
  auto package = ZipPackage::openBuffer(bytes);
  if (!package) return std::nullopt;
  return XLSXFile(std::move(*package));
}

Styles XLSXFile::parseStyles() const {
  StylesHandler handler;
  readXmlPart(package_, stylesPart, handler);
  return std::move(handler.styles);
}

std::optional<SharedStrings> XLSXFile::parseSharedStrings() const {
  if (!package_.hasPart(sharedStringsPart)) return std::nullopt;
  SharedStringsHandler handler;
  readXmlPart(package_, sharedStringsPart, handler);
  return std::move(handler.strings);
}

std::vector<Workbook> XLSXFile::parseWorkbooks() const {
  const std::string packageRelationships = relationshipsPartOf("");
  const auto relationships = readRelationships(package_, packageRelationships);
  std::vector<Workbook> workbooks;
  for (const auto& id : relationships.order) {
    const Relationship& relationship = relationships.byId.at(id);
    if (!isRelationshipType(relationship.type, "officeDocument")) continue;
    const auto path = relationship.external ? std::nullopt : resolveTarget("", relationship.target);
    if (!path) {
      throw XlsxError(
          XlsxError::Kind::outsidePackage, packageRelationships,
          packageRelationships + ": the workbook " + shown(relationship.target) + " is not a part of the package");
    }
    WorkbookHandler handler(*path);
    readXmlPart(package_, *path, handler);
    workbooks.push_back(std::move(handler.workbook));
  }
  return workbooks;
}

std::vector<WorksheetPathAndName> XLSXFile::parseWorksheetPathsAndNames(const Workbook& workbook) const {
  const auto relationships = readRelationships(package_, relationshipsPartOf(workbook.path));
  std::vector<WorksheetPathAndName> worksheets;
  for (const auto& sheet : workbook.sheets) {
    const auto found = relationships.byId.find(sheet.relationship);
    if (found == relationships.byId.end() || !isRelationshipType(found->second.type, "worksheet")) continue;
    const Relationship& relationship = found->second;
    // A target outside the package keeps its unresolved form: reading it then
    // fails, described like a part the package does not hold.
    auto path = relationship.external ? std::nullopt : resolveTarget(workbook.path, relationship.target);
    worksheets.emplace_back(sheet.name, path ? *path : relationship.target);
  }
  return worksheets;
}

Worksheet XLSXFile::parseWorksheet(std::string_view path, std::size_t rowsToKeep) const {
  // Such a path is never looked up, since an entry may carry it literally.
  if (!isPlainPartName(path)) {
    throw XlsxError(XlsxError::Kind::outsidePackage, std::string(path), "the package has no part " + std::string(path));
  }
  WorksheetHandler handler(path, rowsToKeep);
  readXmlPart(package_, path, handler);
  return std::move(handler.sheet);
}

}  // namespace kelmora::xlsx
